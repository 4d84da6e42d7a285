#pragma once

#include <cstddef>
#include <cstdint>

// Symbols of the double must stay visible to plug-ins built with -fvisibility=hidden. A DLL
// of the double exports everything (its link says so), and a marked symbol would stop that.
#ifdef _WIN32
#define ENGINE_DOUBLE_API
#else
#define ENGINE_DOUBLE_API __attribute__((visibility("default")))
#endif

// godot-cpp's builtin classes compare with a Variant through the engine's evaluator for a nil
// right-hand side, whatever the Variant holds: == is always false and != always true. The
// double marks those operators so that a warning (an error under -Werror) names every use.
#define ENGINE_DOUBLE_NIL_COMPARISON [[deprecated("compares with a nil, not with the Variant's value: always false for ==, always true for !=; convert the Variant after a type test, or compare two Variants")]]

// Per-thread plain data of the double, reached without a TLS wrapper from any module (the
// double is loaded with its host, so its thread-local block is static).
#if defined(__GNUC__) || defined(__clang__)
#define ENGINE_DOUBLE_THREAD_LOCAL __thread __attribute__((tls_model("initial-exec")))
#else
#define ENGINE_DOUBLE_THREAD_LOCAL thread_local
#endif

#ifndef GDE_EXPORT
#ifdef _WIN32
#define GDE_EXPORT __declspec(dllexport)
#else
#define GDE_EXPORT __attribute__((visibility("default")))
#endif
#endif

#ifndef _FORCE_INLINE_
#define _FORCE_INLINE_ inline __attribute__((always_inline))
#endif

#ifndef _ALWAYS_INLINE_
#define _ALWAYS_INLINE_ inline __attribute__((always_inline))
#endif

#ifndef _NO_DISCARD_
#define _NO_DISCARD_ [[nodiscard]]
#endif

#ifndef likely
#define likely(x) __builtin_expect(!!(x), 1)
#define unlikely(x) __builtin_expect(!!(x), 0)
#endif

namespace godot {

using real_t = float;

} // namespace godot
