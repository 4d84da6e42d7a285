#pragma once

// Shared, reference-counted UTF-32 text behind String. Copies share the buffer; a write
// copies it first when it is shared, as Godot's CowData does.

#include <godot_cpp/core/defs.hpp>

#include <atomic>
#include <cstdint>

namespace engine_double::internal {

struct StringBuffer {
	std::atomic<uint32_t> refcount;
	int64_t length; // code points, without the terminating zero
	char32_t *data() { return reinterpret_cast<char32_t *>(this + 1); }
	const char32_t *data() const { return reinterpret_cast<const char32_t *>(this + 1); }
};

// A buffer of p_length code points (plus the terminator), refcount 1, contents zeroed.
ENGINE_DOUBLE_API StringBuffer *string_buffer_allocate(int64_t p_length);
ENGINE_DOUBLE_API void string_buffer_free(StringBuffer *p_buffer);

inline void string_buffer_ref(StringBuffer *p_buffer) {
	if (p_buffer) {
		p_buffer->refcount.fetch_add(1, std::memory_order_relaxed);
	}
}

inline void string_buffer_unref(StringBuffer *p_buffer) {
	if (p_buffer && p_buffer->refcount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
		string_buffer_free(p_buffer);
	}
}

} // namespace engine_double::internal
