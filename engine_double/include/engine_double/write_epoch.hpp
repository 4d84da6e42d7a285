#pragma once

// A counter the double advances on every operation that may change state that existed when
// the counter was last marked: a container write (including every non-const element access,
// which hands out a writable reference), an object's property, script, metadata or
// connections, and freeing an object. Containers and objects made after the mark (a
// method's own answer, its scratch values) do not count. Fuzzers mark it before a call and
// read it after: an unchanged count proves the call changed nothing that was there before,
// so the deep before/after comparison is needed only when it moved. It over-counts (a
// non-const access that only reads still counts) and never under-counts.

#include <godot_cpp/core/defs.hpp>

#include <cstdint>

namespace engine_double {

ENGINE_DOUBLE_API uint64_t write_epoch();
// From now on, only writes to what exists now advance the count.
ENGINE_DOUBLE_API void write_epoch_mark();

namespace internal {
// The birth number of a new container or object.
ENGINE_DOUBLE_API uint64_t next_birth();
// A write to what was born as p_birth.
ENGINE_DOUBLE_API void note_write(uint64_t p_birth);
} // namespace internal

} // namespace engine_double
