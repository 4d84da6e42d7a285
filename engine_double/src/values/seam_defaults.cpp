// Stand-ins for the object layer, used only until it provides the real definitions: there
// are no objects, and callables are only compared and hashed.

#include <engine_double/internal/object_seam.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace engine_double::internal {

uint64_t object_instance_id(const godot::Object *p_object) {
	return p_object ? uint64_t(reinterpret_cast<uintptr_t>(p_object)) : 0;
}

godot::Object *object_from_instance_id(uint64_t p_id) {
	return nullptr;
}

godot::String object_text(const godot::Object *p_object) {
	return "<Object#" + godot::itos(int64_t(object_instance_id(p_object))) + ">";
}

godot::String callable_text(const godot::Callable &p_callable) {
	return p_callable.is_null() ? "null::null" : "Callable";
}

void object_variant_acquire(godot::Object *p_object) {
}

void object_variant_release(uint64_t p_id) {
}

} // namespace engine_double::internal

namespace godot {

bool Callable::operator==(const Callable &p_other) const {
	return _data == p_other._data;
}

bool Callable::operator!=(const Callable &p_other) const {
	return _data != p_other._data;
}

int64_t Callable::hash() const {
	return int64_t(reinterpret_cast<uintptr_t>(_data.get()) >> 4);
}

Variant Callable::callp(const Variant **p_arguments, int p_argcount) const {
	return Variant();
}

} // namespace godot
