#pragma once

// A reader over a fuzzer's input bytes. Every read is bounded and never goes past the end:
// once the bytes run out, reads return their defaults (0, false, the first choice, empty),
// so any input decodes to some complete value.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace veltrin_fuzz {

class FuzzInput {
public:
	FuzzInput(const uint8_t *p_data, size_t p_size) :
	        data(p_data), size(p_size) {}

	bool exhausted() const { return position >= size; }
	size_t remaining() const { return size - position; }

	uint8_t byte();
	// Little-endian, missing bytes read as 0.
	uint64_t u64();
	bool boolean() { return (byte() & 1) != 0; }
	// Uniform-ish in [p_low, p_high] (inclusive); p_low when p_high < p_low.
	int64_t range(int64_t p_low, int64_t p_high);
	// An index in [0, p_count); 0 when p_count is 0.
	size_t pick(size_t p_count);
	// One element of p_choices by reference; p_choices must not be empty.
	template <typename T>
	const T &pick_one(const std::vector<T> &p_choices) { return p_choices[pick(p_choices.size())]; }
	template <typename T, size_t N>
	const T &pick_one(const T (&p_choices)[N]) { return p_choices[pick(N)]; }
	// True about p_numerator times in 256.
	bool chance(uint8_t p_numerator) { return byte() < p_numerator; }

	// Any 64-bit value, half the time one of the edges arithmetic breaks on: 0, ±1, ±2,
	// INT64_MIN/MAX and their neighbours, ±2^31, ±2^32, 2^62, 2^63-1 - small.
	int64_t edgy_int64();
	// Small non-negative values most of the time (sizes, costs, indices), sometimes edgy.
	int64_t small_int64(int64_t p_high);
	// Any double, often NaN (both signs and payloads), ±inf, ±0, subnormals, ±1, 2^63.
	double edgy_double();
	// Up to p_max_length raw bytes.
	std::string raw_bytes(size_t p_max_length);
	// One of p_names, or (sometimes) raw bytes, or the empty text.
	std::string name_from(const std::vector<std::string> &p_names);

private:
	const uint8_t *data;
	size_t size;
	size_t position = 0;
};

} // namespace veltrin_fuzz
