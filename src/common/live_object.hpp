#pragma once

// An object a bound call keeps using across its calls into script. Any of those scripts may
// free it (a node, say), so it is never kept as a raw pointer: every use reaches it again
// through the Variant, which knows whether it still exists. One freed since it was taken
// throws ObjectGone, which ends the call with its decline (guarded_call) before anything
// else is read or written.

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <type_traits>
#include <utility>

namespace veltrin {

struct ObjectGone {};

class LiveObject {
	// Mutable for callp, which the engine declares non-const; a call changes the object, not
	// the value that refers to it.
	mutable godot::Variant value;
	bool held = false;

public:
	LiveObject() = default;
	explicit LiveObject(const godot::Variant &p_value) :
	        value(p_value), held(p_value.get_validated_object() != nullptr) {}
	// Takes over a value the caller no longer needs (a call's answer): no copy.
	explicit LiveObject(godot::Variant &&p_value) :
	        value(std::move(p_value)), held(value.get_validated_object() != nullptr) {}

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
	// Calls p_method with arguments the caller already holds as Variants, none of them
	// copied (Object::call makes a Variant of each argument and of the name). Reaches the
	// object first, as every use does.
	template <typename... Args>
	godot::Variant call_held(const godot::StringName &p_method, const Args &...p_args) const {
		static_assert((std::is_same<Args, godot::Variant>::value && ...), "the arguments are held as Variants");
		get();
		const godot::Variant *arguments[] = { &p_args..., nullptr };
		godot::Variant result;
		GDExtensionCallError error;
		value.callp(p_method, arguments, static_cast<int>(sizeof...(Args)), result, error);
		return result;
	}
	// The object, or null once freed: for clean-up that must not throw.
	godot::Object *alive() const { return value.get_validated_object(); }
};

} // namespace veltrin
