#pragma once

// An object a bound call keeps using across its calls into script. Any of those scripts may
// free it (a node, say), so it is never kept as a raw pointer: every use reaches it again
// through the Variant, which knows whether it still exists. One freed since it was taken
// throws ObjectGone, which ends the call with its decline (guarded_call) before anything
// else is read or written. A RefCounted object is the exception: the Variant holds a
// reference to it, so no script can free it while the LiveObject lives, and its pointer is
// kept rather than looked up again at every use (an ObjectDB look-up each).

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/object_id.hpp>
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
	// The object while value's reference keeps it alive (a RefCounted one), else null.
	godot::Object *pinned = nullptr;

	void release() {
		value = godot::Variant();
		held = false;
		pinned = nullptr;
	}

	void take() {
		godot::Object *object = value.get_validated_object();
		held = object != nullptr;
		if (held && godot::ObjectID(object->get_instance_id()).is_ref_counted()) {
			pinned = object;
		}
	}

public:
	LiveObject() = default;
	explicit LiveObject(const godot::Variant &p_value) :
	        value(p_value) { take(); }
	// Takes over a value the caller no longer needs (a call's answer): no copy.
	explicit LiveObject(godot::Variant &&p_value) :
	        value(std::move(p_value)) { take(); }
	LiveObject(const LiveObject &) = default;
	LiveObject &operator=(const LiveObject &) = default;
	// A value moved from holds no reference any more: its pointer goes with it.
	LiveObject(LiveObject &&p_other) noexcept :
	        value(std::move(p_other.value)), held(p_other.held), pinned(p_other.pinned) {
		p_other.release();
	}
	LiveObject &operator=(LiveObject &&p_other) noexcept {
		if (this != &p_other) {
			value = std::move(p_other.value);
			held = p_other.held;
			pinned = p_other.pinned;
			p_other.release();
		}
		return *this;
	}

	// The value as read (keeps a reference-counted object alive for the call).
	const godot::Variant &variant() const { return value; }
	// No live object when it was taken: nil, another type, or already freed.
	bool is_null() const { return !held; }
	// The object, null when it never was one; throws ObjectGone once it has been freed.
	godot::Object *get() const {
		if (pinned != nullptr) {
			return pinned;
		}
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
	godot::Object *alive() const { return pinned != nullptr ? pinned : value.get_validated_object(); }
};

} // namespace veltrin
