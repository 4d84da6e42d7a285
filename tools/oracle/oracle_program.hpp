#pragma once

#include "oracle/differential_check.hpp"

#include <ostream>

namespace veltrin_oracle {

constexpr int EXIT_ALL_IDENTICAL = 0;
constexpr int EXIT_DIFFERENCE = 1;
constexpr int EXIT_BAD_USAGE_OR_FILE = 98;

// The whole program: argv[1] names the output file (created or truncated),
// every case is checked with p_candidate against the reference search, and the
// verdict goes to p_console. Returns the exit status. With a wrong argument
// count or a file that cannot be opened or written, nothing is printed.
int run_oracle(int p_argc, const char *const *p_argv, std::ostream &p_console, RecordRunner p_candidate);

} // namespace veltrin_oracle
