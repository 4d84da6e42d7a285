#pragma once

#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace godot {

// A counted reference to a RefCounted object.
template <typename T>
class Ref {
	T *reference = nullptr;

	void ref(const Ref &p_from) {
		if (p_from.reference == reference) {
			return;
		}
		unref();
		reference = p_from.reference;
		if (reference) {
			reference->reference();
		}
	}

	void ref_pointer(T *p_ref) {
		ERR_FAIL_NULL(p_ref);
		if (p_ref->init_ref()) {
			reference = p_ref;
		}
	}

	template <typename U>
	friend class Ref;

public:
	Ref() = default;
	Ref(const Ref &p_from) {
		ref(p_from);
	}
	Ref(Ref &&p_from) noexcept {
		reference = p_from.reference;
		p_from.reference = nullptr;
	}
	template <typename T_Other>
	Ref(const Ref<T_Other> &p_from) {
		T *target = Object::cast_to<T>(p_from.ptr());
		if (target && target->reference()) {
			reference = target;
		}
	}
	Ref(T *p_reference) {
		if (p_reference) {
			ref_pointer(p_reference);
		}
	}
	Ref(const Variant &p_variant) {
		T *target = Object::cast_to<T>(p_variant.get_validated_object());
		if (target && target->reference()) {
			reference = target;
		}
	}
	~Ref() {
		unref();
	}

	Ref &operator=(const Ref &p_from) {
		ref(p_from);
		return *this;
	}
	Ref &operator=(Ref &&p_from) noexcept {
		if (this != &p_from) {
			unref();
			reference = p_from.reference;
			p_from.reference = nullptr;
		}
		return *this;
	}
	template <typename T_Other>
	Ref &operator=(const Ref<T_Other> &p_from) {
		*this = Ref(p_from);
		return *this;
	}
	Ref &operator=(T *p_from) {
		if (p_from == reference) {
			return *this;
		}
		unref();
		if (p_from) {
			ref_pointer(p_from);
		}
		return *this;
	}
	Ref &operator=(const Variant &p_variant) {
		*this = Ref(p_variant);
		return *this;
	}

	bool operator==(const T *p_ptr) const { return reference == p_ptr; }
	bool operator!=(const T *p_ptr) const { return reference != p_ptr; }
	bool operator<(const Ref<T> &p_r) const { return reference < p_r.reference; }
	bool operator==(const Ref<T> &p_r) const { return reference == p_r.reference; }
	bool operator!=(const Ref<T> &p_r) const { return reference != p_r.reference; }

	T *operator*() const { return reference; }
	T *operator->() const { return reference; }
	T *ptr() const { return reference; }

	operator Variant() const { return Variant(static_cast<const Object *>(reference)); }

	bool is_valid() const { return reference != nullptr; }
	bool is_null() const { return reference == nullptr; }

	void unref() {
		if (reference && reference->unreference()) {
			memdelete(reference);
		}
		reference = nullptr;
	}

	template <typename... VarArgs>
	void instantiate(VarArgs... p_params) {
		ref(Ref(memnew(T(p_params...))));
	}
};

} // namespace godot
