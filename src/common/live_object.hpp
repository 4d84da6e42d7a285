#pragma once

// An object a bound call keeps using across its calls into script. Any of those scripts may
// free it (a node, say), so it is never kept as a raw pointer: every use reaches it again
// through the Variant, which knows whether it still exists. One freed since it was taken
// throws ObjectGone, which ends the call with its decline (guarded_call) before anything
// else is read or written.

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

struct ObjectGone {};

class LiveObject {
	godot::Variant value;
	bool held = false;

public:
	LiveObject() = default;
	explicit LiveObject(const godot::Variant &p_value) :
	        value(p_value), held(p_value.get_validated_object() != nullptr) {}

	// The value as read (keeps a reference-counted object alive for the call).
	const godot::Variant &variant() const { return value; }
	// No live object when it was taken: nil, another type, or already freed.
	bool is_null() const { return !held; }
	// The object, null when it never was one; throws ObjectGone once it has been freed.
	godot::Object *get() const {
		godot::Object *object = value.get_validated_object();
		if (object == nullptr && held) {
			throw ObjectGone();
		}
		return object;
	}
	godot::Object *operator->() const { return get(); }
	// The object, or null once freed: for clean-up that must not throw.
	godot::Object *alive() const { return value.get_validated_object(); }
};

} // namespace veltrin
