#pragma once

// The double's one random source (randi, randf, shuffle, pick_random).

#include <cstdint>

namespace engine_double::internal {

uint32_t random_u32();
void random_seed(uint64_t p_seed);

} // namespace engine_double::internal
