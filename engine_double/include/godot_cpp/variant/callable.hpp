#pragma once

#include <engine_double/internal/crossing.hpp>
#include <gdextension_interface.h>
#include <godot_cpp/core/defs.hpp>

#include <cstdint>
#include <memory>
#include <utility>

namespace engine_double::internal {
struct CallableData;
} // namespace engine_double::internal

namespace godot {

class Array;
class CallableCustom;
class Object;
class StringName;
class Variant;

// A handle to shared, immutable call data; a null pointer is the null Callable.
// Standard callables name an object by id and a method; custom ones wrap a CallableCustom
// (bind() and unbind() make engine-side custom callables, as in Godot).
class ENGINE_DOUBLE_API Callable {
	std::shared_ptr<engine_double::internal::CallableData> _data;

	void _call_deferredp(const Variant **p_arguments, int p_argcount) const;

public:
	// Crossings as in godot-cpp: construction, copy and destruction call the engine, a move
	// swaps bytes; a copy assignment is a destruction and a copy.
	Callable() { engine_double::internal::count_crossings(1); }
	Callable(const Callable &p_other) :
	        _data(p_other._data) { engine_double::internal::count_crossings(1); }
	Callable(Callable &&p_other) noexcept :
	        _data(std::move(p_other._data)) {}
	Callable &operator=(const Callable &p_other) {
		ENGINE_DOUBLE_CROSSINGS(2);
		_data = p_other._data;
		return *this;
	}
	Callable &operator=(Callable &&p_other) noexcept {
		ENGINE_DOUBLE_CROSSINGS(0);
		_data = std::move(p_other._data);
		return *this;
	}
	~Callable() {
		ENGINE_DOUBLE_CROSSING;
		_data.reset();
	}

	explicit Callable(std::shared_ptr<engine_double::internal::CallableData> p_data) :
	        _data(std::move(p_data)) {}
	Callable(Object *p_object, const StringName &p_method);
	// Takes ownership of p_custom.
	Callable(CallableCustom *p_custom);

	static Callable create(const Variant &p_variant, const StringName &p_method);

	bool is_null() const {
		engine_double::internal::count_crossings(1);
		return !_data;
	}
	bool is_valid() const;
	bool is_custom() const;
	bool is_standard() const;

	// Defined in variant.hpp, where Variant is complete.
	template <typename... Args>
	Variant call(const Args &...p_args) const;
	// Errors are dropped, as godot-cpp's calls drop them.
	Variant callp(const Variant **p_arguments, int p_argcount) const;
	// The engine's call with its error report.
	void callp(const Variant **p_arguments, int p_argcount, Variant &r_return_value, GDExtensionCallError &r_call_error) const;
	Variant callv(const Array &p_arguments) const;

	// Defined in variant.hpp, where Variant is complete.
	template <typename... Args>
	void call_deferred(const Args &...p_args) const;

	// Defined in variant.hpp, where Array is complete.
	template <typename... Args>
	Callable bind(const Args &...p_args) const;
	// Always wraps, even with no arguments.
	Callable bindp(const Variant **p_arguments, int p_argcount) const;
	// An empty array returns this callable unchanged.
	Callable bindv(const Array &p_arguments);
	Callable unbind(int64_t p_argcount) const;

	StringName get_method() const;
	Object *get_object() const;
	int64_t get_object_id() const;
	int64_t get_argument_count() const;
	int64_t get_bound_arguments_count() const;
	Array get_bound_arguments() const;
	int64_t get_unbound_arguments_count() const;

	int64_t hash() const;
	bool operator==(const Callable &p_other) const;
	bool operator!=(const Callable &p_other) const;
	ENGINE_DOUBLE_NIL_COMPARISON bool operator==(const Variant &p_other) const;
	ENGINE_DOUBLE_NIL_COMPARISON bool operator!=(const Variant &p_other) const;
	bool operator!() const;

	// For the object layer of the double.
	const std::shared_ptr<engine_double::internal::CallableData> &_get_data() const { return _data; }
};

} // namespace godot
