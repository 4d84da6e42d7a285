#pragma once

// The root of every engine and plug-in class, and the GDCLASS macro.

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/godot.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>

namespace godot {

class ClassDB;
class Variant;

class ENGINE_DOUBLE_API Wrapped {
	friend class ClassDB;

protected:
	// Defaults of the optional hooks a GDCLASS may redeclare with the same shapes.
	void _notification(int p_what) {}
	bool _set(const StringName &p_name, const Variant &p_property) { return false; }
	bool _get(const StringName &p_name, Variant &r_property) const { return false; }
	bool _property_can_revert(const StringName &p_name) const { return false; }
	bool _property_get_revert(const StringName &p_name, Variant &r_property) const { return false; }
	String _to_string() const { return "<Wrapped#0>"; }

	virtual bool _is_extension_class() const { return false; }

	using _ToStringMethod = String (Wrapped::*)() const;
	static _ToStringMethod _default_to_string() { return &Wrapped::_to_string; }

	// The engine reaches the hooks above of the most derived GDCLASS through these.
	virtual bool _double_set_hook(const StringName &p_name, const Variant &p_value) { return false; }
	virtual bool _double_get_hook(const StringName &p_name, Variant &r_value) const { return false; }
	virtual bool _double_to_string_hook(String &r_text) const { return false; }

	Wrapped() = default;

public:
	virtual ~Wrapped();

	Wrapped(const Wrapped &) = delete;
	Wrapped &operator=(const Wrapped &) = delete;

	static const StringName &get_class_static();
	static bool _is_class_static(const StringName &p_name) { return false; }
	virtual bool _is_classv(const StringName &p_name) const { return false; }
	virtual const StringName &_get_class_namev() const { return get_class_static(); }
};

} // namespace godot

// The part common to engine classes and plug-in classes.
#define GDE_DOUBLE_CLASS_COMMON(m_class, m_inherits)                                 \
public:                                                                              \
	typedef m_class self_type;                                                       \
	typedef m_inherits parent_type;                                                  \
	static const ::godot::StringName &get_parent_class_static() {                    \
		return m_inherits::get_class_static();                                       \
	}                                                                                \
	static bool _is_class_static(const ::godot::StringName &p_name) {                \
		return p_name == get_class_static() || m_inherits::_is_class_static(p_name); \
	}                                                                                \
	bool _is_classv(const ::godot::StringName &p_name) const override {              \
		return _is_class_static(p_name);                                             \
	}                                                                                \
	const ::godot::StringName &_get_class_namev() const override {                   \
		return get_class_static();                                                   \
	}

// Use this on top of your own classes. Like godot-cpp's, it ends in a private section.
#define GDCLASS(m_class, m_inherits)                                                                     \
private:                                                                                                 \
	void operator=(const m_class & /*p_rval*/) {}                                                        \
	friend class ::godot::ClassDB;                                                                       \
	friend class ::godot::Wrapped;                                                                       \
	GDE_DOUBLE_CLASS_COMMON(m_class, m_inherits)                                                         \
	static const ::godot::StringName &get_class_static() {                                               \
		static const ::godot::StringName string_name = ::godot::StringName(#m_class);                    \
		return string_name;                                                                              \
	}                                                                                                    \
                                                                                                         \
protected:                                                                                               \
	bool _is_extension_class() const override {                                                          \
		return true;                                                                                     \
	}                                                                                                    \
	static void (*_get_bind_methods())() {                                                               \
		return &m_class::_bind_methods;                                                                  \
	}                                                                                                    \
	static void (*_get_parent_bind_methods())() {                                                        \
		return &m_inherits::_bind_methods;                                                               \
	}                                                                                                    \
	bool _double_set_hook(const ::godot::StringName &p_name, const ::godot::Variant &p_value) override { \
		return m_class::_set(p_name, p_value);                                                           \
	}                                                                                                    \
	bool _double_get_hook(const ::godot::StringName &p_name, ::godot::Variant &r_value) const override { \
		return m_class::_get(p_name, r_value);                                                           \
	}                                                                                                    \
	bool _double_to_string_hook(::godot::String &r_text) const override {                                \
		if (static_cast<_ToStringMethod>(&m_class::_to_string) == _default_to_string()) {                \
			return false;                                                                                \
		}                                                                                                \
		r_text = m_class::_to_string();                                                                  \
		return true;                                                                                     \
	}                                                                                                    \
                                                                                                         \
private:

// Engine classes of the double: their names and bindings live in the library.
#define GDE_DOUBLE_ENGINE_CLASS(m_class, m_inherits)      \
	GDE_DOUBLE_CLASS_COMMON(m_class, m_inherits)          \
	static const ::godot::StringName &get_class_static(); \
	static void _bind_methods();                          \
                                                          \
private:
