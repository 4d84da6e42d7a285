#include "performance/window_bytes.hpp"

namespace veltrin {

namespace {

constexpr uint32_t TYPE_INT = 2;
constexpr uint32_t TYPE_ARRAY = 28;
constexpr uint32_t TYPE_MASK = 0xFF;
constexpr uint32_t FLAG_64 = 1u << 16;
constexpr uint32_t ARRAY_ELEMENT_KIND_SHIFT = 16;
constexpr uint32_t ARRAY_ELEMENT_KIND_MASK = 3;
constexpr uint32_t ARRAY_ELEMENT_BUILTIN = 1;
constexpr uint32_t COUNT_MASK = 0x7FFFFFFF;

// Little-endian, as the engine writes it on every platform.
bool read_u32(const uint8_t *p_bytes, size_t p_size, size_t &r_at, uint32_t &r_value) {
	if (p_size - r_at < 4) {
		return false;
	}
	const uint8_t *at = p_bytes + r_at;
	r_value = uint32_t(at[0]) | (uint32_t(at[1]) << 8) | (uint32_t(at[2]) << 16) | (uint32_t(at[3]) << 24);
	r_at += 4;
	return true;
}

} // namespace

bool bytes_hold_ints_only(const godot::PackedByteArray &p_bytes, int64_t p_count) {
	const int64_t size = p_bytes.size();
	if (size < 8 || p_count < 0) {
		return false;
	}
	const uint8_t *bytes = p_bytes.ptr();
	const size_t end = static_cast<size_t>(size);
	size_t at = 0;
	uint32_t header = 0;
	read_u32(bytes, end, at, header);
	if ((header & TYPE_MASK) != TYPE_ARRAY) {
		return false;
	}
	const uint32_t kind = (header >> ARRAY_ELEMENT_KIND_SHIFT) & ARRAY_ELEMENT_KIND_MASK;
	if ((header & ~(TYPE_MASK | (ARRAY_ELEMENT_KIND_MASK << ARRAY_ELEMENT_KIND_SHIFT))) != 0) {
		return false;
	}
	if (kind != 0) {
		uint32_t element_type = 0;
		if (kind != ARRAY_ELEMENT_BUILTIN || !read_u32(bytes, end, at, element_type) || element_type != TYPE_INT) {
			return false;
		}
	}
	uint32_t count = 0;
	if (!read_u32(bytes, end, at, count) || int64_t(count & COUNT_MASK) != p_count) {
		return false;
	}
	for (int64_t i = 0; i < p_count; i++) {
		if (!read_u32(bytes, end, at, header)) {
			return false;
		}
		// An int, with nothing but the wide-payload flag set.
		if ((header & ~FLAG_64) != TYPE_INT) {
			return false;
		}
		const size_t payload = (header & FLAG_64) != 0 ? 8 : 4;
		if (end - at < payload) {
			return false;
		}
		at += payload;
	}
	return at == end;
}

} // namespace veltrin
