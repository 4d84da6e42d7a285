#pragma once

// Argument conversion for bound methods, as godot-cpp's binder does it: each Variant goes
// through the engine's normal conversion to the parameter type; in debug builds a type
// that does not convert strictly is reported as INVALID_ARGUMENT, yet the method still
// runs with the converted value.

#include <gdextension_interface.h>
#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/type_info.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <type_traits>
#include <utility>

namespace godot {

namespace internal {

template <typename T, typename = void>
struct HasVariantOperator : std::false_type {};

template <typename T>
struct HasVariantOperator<T, std::void_t<decltype(std::declval<const Variant &>().operator T())>> : std::true_type {};

template <typename T>
struct IsObjectPointer : std::false_type {};

template <typename T>
struct IsObjectPointer<T *> : std::is_base_of<Object, std::remove_const_t<T>> {};

} // namespace internal

template <typename T>
struct VariantCaster {
	static T cast(const Variant &p_variant) {
		if constexpr (std::is_same_v<T, Variant>) {
			return p_variant;
		} else if constexpr (internal::IsObjectPointer<T>::value) {
			using Class = std::remove_const_t<std::remove_pointer_t<T>>;
			return Object::cast_to<Class>(p_variant.operator Object *());
		} else if constexpr (std::is_enum_v<T>) {
			return static_cast<T>(p_variant.operator int64_t());
		} else if constexpr (internal::HasVariantOperator<T>::value) {
			return p_variant.operator T();
		} else {
			return T(p_variant);
		}
	}
};

template <typename T>
struct VariantObjectClassChecker {
	static bool check(const Variant &p_variant) {
		if constexpr (internal::IsObjectPointer<T>::value) {
			using Class = std::remove_const_t<std::remove_pointer_t<T>>;
			Object *object = p_variant.get_validated_object();
			return object == nullptr || Object::cast_to<Class>(object) != nullptr;
		} else {
			return true;
		}
	}
};

namespace internal {

// Records the argument's type error the way the engine's binder does; the first failing
// argument is the one reported.
template <typename P>
void validate_argument(const Variant &p_argument, int p_index, GDExtensionCallError &r_error) {
	using Decayed = std::decay_t<P>;
	const Variant::Type expected = GetTypeInfo<Decayed>::VARIANT_TYPE;
	if (!Variant::can_convert_strict(p_argument.get_type(), expected) || !VariantObjectClassChecker<Decayed>::check(p_argument)) {
		r_error.error = GDEXTENSION_CALL_ERROR_INVALID_ARGUMENT;
		r_error.argument = p_index;
		r_error.expected = int32_t(expected);
	}
}

template <typename... P>
void validate_arguments(const Variant **p_args, GDExtensionCallError &r_error) {
	constexpr size_t COUNT = sizeof...(P);
	if constexpr (COUNT > 0) {
		// Back to front, so that the lowest failing index wins.
		using Validator = void (*)(const Variant &, int, GDExtensionCallError &);
		const Validator validators[COUNT] = { &validate_argument<P>... };
		for (size_t i = COUNT; i-- > 0;) {
			validators[i](*p_args[i], int(i), r_error);
		}
	}
	(void)p_args;
	(void)r_error;
}

template <typename R>
Variant return_to_variant(R &&p_value) {
	using Decayed = std::decay_t<R>;
	if constexpr (IsObjectPointer<Decayed>::value) {
		return Variant(static_cast<const Object *>(p_value));
	} else if constexpr (std::is_enum_v<Decayed>) {
		return Variant(int64_t(p_value));
	} else {
		return Variant(std::forward<R>(p_value));
	}
}

} // namespace internal

} // namespace godot
