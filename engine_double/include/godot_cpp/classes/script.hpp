#pragma once

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/resource.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>

namespace godot {

// The engine's abstract script resource. The double's scripts (engine_double::ScriptDouble)
// implement the queries through the virtual hooks below.
class ENGINE_DOUBLE_API Script : public Resource {
	GDE_DOUBLE_ENGINE_CLASS(Script, Resource)

protected:
	virtual Dictionary _double_constant_map() const { return Dictionary(); }
	virtual bool _double_has_script_method(const StringName &p_method) const { return false; }
	virtual bool _double_has_script_signal(const StringName &p_signal) const { return false; }
	virtual StringName _double_instance_base_type() const { return StringName(); }
	virtual StringName _double_global_name() const { return StringName(); }
	virtual Ref<Script> _double_base_script() const { return Ref<Script>(); }

public:
	Script() = default;

	// This script's own constants, keyed by StringName (base scripts' are not included).
	Dictionary get_script_constant_map();
	bool has_script_method(const StringName &p_method) const;
	bool has_script_signal(const StringName &p_signal) const;
	StringName get_instance_base_type() const;
	StringName get_global_name() const;
	Ref<Script> get_base_script() const;
	bool can_instantiate() const;
};

} // namespace godot
