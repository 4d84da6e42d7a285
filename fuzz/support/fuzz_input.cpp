#include "fuzz_input.hpp"

#include <cstring>
#include <limits>

namespace veltrin_fuzz {

namespace {

const int64_t EDGE_VALUES[] = {
	0,
	1,
	-1,
	2,
	-2,
	std::numeric_limits<int64_t>::max(),
	std::numeric_limits<int64_t>::max() - 1,
	std::numeric_limits<int64_t>::max() - 7,
	std::numeric_limits<int64_t>::min(),
	std::numeric_limits<int64_t>::min() + 1,
	int64_t(1) << 62,
	(int64_t(1) << 62) - 1,
	-(int64_t(1) << 62),
	int64_t(1) << 31,
	-(int64_t(1) << 31),
	(int64_t(1) << 31) - 1,
	int64_t(1) << 32,
	int64_t(1) << 53,
	std::numeric_limits<int64_t>::max() / 2 + 1,
	std::numeric_limits<int64_t>::max() - 100,
	100,
	10,
	95,
	99,
};

} // namespace

uint8_t FuzzInput::byte() {
	if (position >= size) {
		return 0;
	}
	return data[position++];
}

uint64_t FuzzInput::u64() {
	uint64_t value = 0;
	for (int i = 0; i < 8; i++) {
		value |= uint64_t(byte()) << (8 * i);
	}
	return value;
}

int64_t FuzzInput::range(int64_t p_low, int64_t p_high) {
	if (p_high <= p_low) {
		return p_low;
	}
	const uint64_t span = uint64_t(p_high) - uint64_t(p_low);
	uint64_t raw = 0;
	// Only as many bytes as the span needs, so small choices stay one byte long.
	for (uint64_t covered = span; covered != 0; covered >>= 8) {
		raw = (raw << 8) | byte();
	}
	const uint64_t offset = span == std::numeric_limits<uint64_t>::max() ? raw : raw % (span + 1);
	return int64_t(uint64_t(p_low) + offset);
}

size_t FuzzInput::pick(size_t p_count) {
	if (p_count <= 1) {
		return 0;
	}
	return size_t(range(0, int64_t(p_count) - 1));
}

int64_t FuzzInput::edgy_int64() {
	const uint8_t mode = byte() % 4;
	if (mode == 0) {
		return pick_one(EDGE_VALUES);
	}
	if (mode == 1) {
		return int64_t(int8_t(byte()));
	}
	if (mode == 2) {
		// Wrapping: a neighbour of INT64_MAX may well be INT64_MIN.
		return int64_t(uint64_t(pick_one(EDGE_VALUES)) + uint64_t(int64_t(int8_t(byte()) % 4)));
	}
	return int64_t(u64());
}

int64_t FuzzInput::small_int64(int64_t p_high) {
	if (chance(24)) {
		return edgy_int64();
	}
	return range(0, p_high);
}

double FuzzInput::edgy_double() {
	static const double SPECIAL[] = {
		0.0,
		-0.0,
		1.0,
		-1.0,
		2.5,
		std::numeric_limits<double>::infinity(),
		-std::numeric_limits<double>::infinity(),
		std::numeric_limits<double>::quiet_NaN(),
		-std::numeric_limits<double>::quiet_NaN(),
		std::numeric_limits<double>::denorm_min(),
		std::numeric_limits<double>::max(),
		9223372036854775807.0,
		-9223372036854775808.0,
		4294967296.0,
	};
	const uint8_t mode = byte() % 3;
	if (mode == 0) {
		return pick_one(SPECIAL);
	}
	if (mode == 1) {
		return double(int8_t(byte()));
	}
	const uint64_t bits = u64();
	double value = 0;
	std::memcpy(&value, &bits, sizeof(value));
	return value;
}

std::string FuzzInput::raw_bytes(size_t p_max_length) {
	const size_t length = pick(p_max_length + 1);
	std::string text;
	for (size_t i = 0; i < length && !exhausted(); i++) {
		text.push_back(char(byte()));
	}
	return text;
}

std::string FuzzInput::name_from(const std::vector<std::string> &p_names) {
	const uint8_t mode = byte();
	if (p_names.empty() || mode >= 240) {
		return raw_bytes(12);
	}
	if (mode >= 230) {
		return std::string();
	}
	return pick_one(p_names);
}

} // namespace veltrin_fuzz
