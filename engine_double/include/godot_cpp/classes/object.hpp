#pragma once

// The engine's Object: properties, calls and signals by name, scripts, instance ids.

#include <engine_double/internal/crossing.hpp>
#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/classes/wrapped.hpp>
#include <godot_cpp/core/object_id.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>

namespace engine_double::internal {
struct ObjectState;
struct ObjectAccess;
} // namespace engine_double::internal

namespace godot {

class ENGINE_DOUBLE_API Object : public Wrapped {
	GDE_DOUBLE_ENGINE_CLASS(Object, Wrapped)

	uint64_t _instance_id = 0;
	engine_double::internal::ObjectState *_state = nullptr;

	friend struct engine_double::internal::ObjectAccess;

	Variant _call_variadic(const StringName &p_method, const Variant **p_args, int p_argcount);
	void _call_deferred_variadic(const StringName &p_method, const Variant **p_args, int p_argcount);
	Error _emit_signal_variadic(const StringName &p_signal, const Variant **p_args, int p_argcount);

protected:
	// RefCounted passes true: its instance ids carry the reference bit.
	explicit Object(bool p_ref_counted);

public:
	enum ConnectFlags {
		CONNECT_DEFERRED = 1,
		CONNECT_PERSIST = 2,
		CONNECT_ONE_SHOT = 4,
		CONNECT_REFERENCE_COUNTED = 8,
		CONNECT_APPEND_SOURCE_OBJECT = 16,
	};

	static constexpr int NOTIFICATION_POSTINITIALIZE = 0;
	static constexpr int NOTIFICATION_PREDELETE = 1;

	Object();
	~Object() override;

	Variant get(const StringName &p_property) const;
	void set(const StringName &p_property, const Variant &p_value);

	template <typename... Args>
	Variant call(const StringName &p_method, const Args &...p_args) {
		const Variant arguments[sizeof...(Args) + 1] = { Variant(p_args)..., Variant() };
		const Variant *pointers[sizeof...(Args) + 1];
		// Not "<": with no arguments GCC 10 warns that "i < 0" is always false.
		for (size_t i = 0; i != sizeof...(Args); i++) {
			pointers[i] = &arguments[i];
		}
		return _call_variadic(p_method, pointers, int(sizeof...(Args)));
	}

	template <typename... Args>
	Variant call_deferred(const StringName &p_method, const Args &...p_args) {
		const Variant arguments[sizeof...(Args) + 1] = { Variant(p_args)..., Variant() };
		const Variant *pointers[sizeof...(Args) + 1];
		// Not "<": with no arguments GCC 10 warns that "i < 0" is always false.
		for (size_t i = 0; i != sizeof...(Args); i++) {
			pointers[i] = &arguments[i];
		}
		_call_deferred_variadic(p_method, pointers, int(sizeof...(Args)));
		return Variant();
	}

	Variant callv(const StringName &p_method, const Array &p_arg_array);
	bool has_method(const StringName &p_method) const;
	int64_t get_method_argument_count(const StringName &p_method) const;

	// A NIL Variant when the object has no script.
	Variant get_script() const;
	void set_script(const Variant &p_script);

	template <typename... Args>
	Error emit_signal(const StringName &p_signal, const Args &...p_args) {
		const Variant arguments[sizeof...(Args) + 1] = { Variant(p_args)..., Variant() };
		const Variant *pointers[sizeof...(Args) + 1];
		// Not "<": with no arguments GCC 10 warns that "i < 0" is always false.
		for (size_t i = 0; i != sizeof...(Args); i++) {
			pointers[i] = &arguments[i];
		}
		return _emit_signal_variadic(p_signal, pointers, int(sizeof...(Args)));
	}

	Error connect(const StringName &p_signal, const Callable &p_callable, uint32_t p_flags = 0);
	void disconnect(const StringName &p_signal, const Callable &p_callable);
	bool is_connected(const StringName &p_signal, const Callable &p_callable) const;
	bool has_signal(const StringName &p_signal) const;

	bool is_class(const String &p_class) const;
	String get_class() const;
	uint64_t get_instance_id() const;
	String to_string();

	Variant get_meta(const StringName &p_name, const Variant &p_default = nullptr) const;
	void set_meta(const StringName &p_name, const Variant &p_value);
	void remove_meta(const StringName &p_name);
	bool has_meta(const StringName &p_name) const;

	TypedArray<Dictionary> get_method_list() const;
	TypedArray<Dictionary> get_signal_list() const;

	// Checks the class chain by name, so it works on objects made in any library.
	template <typename T>
	static T *cast_to(Object *p_object) {
		ENGINE_DOUBLE_CROSSING;
		if (p_object == nullptr || !p_object->_is_classv(T::get_class_static())) {
			return nullptr;
		}
		return static_cast<T *>(p_object);
	}

	template <typename T>
	static const T *cast_to(const Object *p_object) {
		ENGINE_DOUBLE_CROSSING;
		if (p_object == nullptr || !p_object->_is_classv(T::get_class_static())) {
			return nullptr;
		}
		return static_cast<const T *>(p_object);
	}
};

} // namespace godot
