#pragma once

// Hash mixing used by Variant, Array and Dictionary (MurmurHash3's 32-bit steps and a
// 64-to-32-bit integer mix).

#include <cstdint>
#include <cstring>

namespace engine_double::internal {

const uint32_t HASH_SEED = 0x7f07c65;

inline uint32_t rotate_left(uint32_t p_value, int p_shift) {
	return (p_value << p_shift) | (p_value >> (32 - p_shift));
}

inline uint32_t hash_mix_32(uint32_t p_value, uint32_t p_seed = HASH_SEED) {
	p_value *= 0xcc9e2d51u;
	p_value = rotate_left(p_value, 15);
	p_value *= 0x1b873593u;
	p_seed ^= p_value;
	p_seed = rotate_left(p_seed, 13);
	return p_seed * 5 + 0xe6546b64u;
}

inline uint32_t hash_finish_32(uint32_t p_hash) {
	p_hash ^= p_hash >> 16;
	p_hash *= 0x85ebca6bu;
	p_hash ^= p_hash >> 13;
	p_hash *= 0xc2b2ae35u;
	p_hash ^= p_hash >> 16;
	return p_hash;
}

inline uint32_t hash_uint64(uint64_t p_value) {
	p_value = (~p_value) + (p_value << 18);
	p_value ^= p_value >> 31;
	p_value *= 21;
	p_value ^= p_value >> 11;
	p_value += p_value << 6;
	p_value ^= p_value >> 22;
	return uint32_t(p_value);
}

// MurmurHash3's 64-bit finalizer, cut to 32 bits: every input bit reaches the low bits that
// pick a table position.
inline uint32_t hash_mix_64(uint64_t p_value) {
	p_value ^= p_value >> 33;
	p_value *= 0xff51afd7ed558ccdull;
	p_value ^= p_value >> 33;
	p_value *= 0xc4ceb9fe1a85ec53ull;
	p_value ^= p_value >> 33;
	return uint32_t(p_value);
}

// +0.0 and -0.0 hash alike, and every NaN hashes alike, so equal keys find each other.
inline uint32_t hash_double(double p_value, uint32_t p_seed = HASH_SEED) {
	if (p_value == 0.0) {
		p_value = 0.0;
	} else if (p_value != p_value) {
		p_value = __builtin_nan("");
	}
	uint64_t bits;
	std::memcpy(&bits, &p_value, sizeof(bits));
	return hash_mix_32(uint32_t(bits >> 32), hash_mix_32(uint32_t(bits), p_seed));
}

inline bool same_float(double p_a, double p_b, bool p_semantic) {
	return p_a == p_b || (p_semantic && p_a != p_a && p_b != p_b);
}

} // namespace engine_double::internal
