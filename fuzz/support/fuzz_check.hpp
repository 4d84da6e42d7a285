#pragma once

// A failed property check in a fuzzer: print why and abort, so libFuzzer records a crash
// with the input that caused it.

#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(m_condition, m_message)                                                                 \
	do {                                                                                                   \
		if (!(m_condition)) {                                                                              \
			std::fprintf(stderr, "FUZZ_CHECK failed at %s:%d: %s\n%s\n", __FILE__, __LINE__, #m_condition, \
			        std::string(m_message).c_str());                                                       \
			std::fflush(stderr);                                                                           \
			std::abort();                                                                                  \
		}                                                                                                  \
	} while (false)
