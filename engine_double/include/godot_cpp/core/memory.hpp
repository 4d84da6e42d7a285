#pragma once

// memnew / memdelete as godot-cpp spells them. Objects register themselves with the
// ObjectDB in their constructor, so plain new and delete are all that is needed.

#include <godot_cpp/core/defs.hpp>

#include <type_traits>

namespace godot {

template <typename T>
T *_post_initialize(T *p_object) {
	return p_object;
}

template <typename T>
void memdelete(T *p_class) {
	static_assert(!std::is_void_v<T>, "memdelete needs a complete type");
	delete p_class;
}

} // namespace godot

#define memnew(m_class) ::godot::_post_initialize(new m_class)
