#pragma once

#include <cstddef>

// Heap accounting for memory figures: this executable replaces the global
// operator new and delete with versions that count the bytes live on the heap.
namespace counting_allocator {

size_t live_bytes();
size_t peak_bytes();
// Starts a new peak at the current live bytes.
void reset_peak();

} // namespace counting_allocator
