#pragma once

// The declarations behind a ScriptDouble, and the per-object instance that runs it.

#include "string_name_hasher.hpp"

#include <engine_double/script_double.hpp>
#include <engine_double/script_hook.hpp>
#include <godot_cpp/variant/dictionary.hpp>

#include <unordered_map>
#include <vector>

namespace engine_double::internal {

struct ScriptMethod {
	godot::StringName name;
	std::vector<ScriptParameter> parameters;
	godot::Variant::Type return_type = godot::Variant::NIL;
	std::vector<godot::Variant> defaults;
	ScriptFunction function;
};

struct ScriptSignal {
	godot::StringName name;
	std::vector<godot::StringName> argument_names;
};

struct ScriptAccessors {
	godot::StringName getter;
	godot::StringName setter;
};

struct ScriptDefinition {
	godot::StringName global_name;
	godot::Ref<ScriptDouble> base;
	// Constants keep declaration order: get_script_constant_map follows it.
	godot::Dictionary constants;
	std::vector<godot::StringName> member_order;
	std::unordered_map<godot::StringName, godot::Variant, StringNameHasher> members;
	std::unordered_map<godot::StringName, ScriptMethod, StringNameHasher> methods;
	std::vector<godot::StringName> method_order;
	std::unordered_map<godot::StringName, ScriptSignal, StringNameHasher> signals;
	std::vector<godot::StringName> signal_order;
	std::unordered_map<godot::StringName, ScriptAccessors, StringNameHasher> accessors;

	// Lookups walk the base scripts.
	const ScriptMethod *find_method(const godot::StringName &p_name) const;
	const ScriptSignal *find_signal(const godot::StringName &p_name) const;
	bool find_constant(const godot::StringName &p_name, godot::Variant &r_value) const;
	// The getter and setter of a member, by the script nearest the instance that names any.
	const ScriptAccessors *find_accessors(const godot::StringName &p_member) const;
	// Members of the whole chain, base first.
	void collect_members(std::vector<std::pair<godot::StringName, godot::Variant>> &r_members) const;
	void collect_member_names(std::vector<godot::StringName> &r_names) const;
};

// "path_service.gd" for "res://scripts/world/path_service.gd"; "" for a runtime script.
godot::String script_file_name(const godot::String &p_path);
// The name a script goes by in engine texts: its class_name, else its file name.
godot::String script_display_name(const ScriptDouble *p_script);

class ScriptInstance {
	godot::Ref<ScriptDouble> _script;
	godot::Object *_owner;
	std::unordered_map<godot::StringName, godot::Variant, StringNameHasher> _members;

public:
	ScriptInstance(const godot::Ref<ScriptDouble> &p_script, godot::Object *p_owner);

	const godot::Ref<ScriptDouble> &script() const { return _script; }
	const ScriptDefinition &definition() const { return _script->_get_definition(); }

	bool get(const godot::StringName &p_name, godot::Variant &r_value) const;
	bool set(const godot::StringName &p_name, const godot::Variant &p_value);
	// Direct member access, no script hooks.
	godot::Variant *member(const godot::StringName &p_name);
	bool has_method(const godot::StringName &p_name) const;
	bool get_method_argument_count(const godot::StringName &p_name, int64_t &r_count) const;
	// Leaves r_error INVALID_METHOD when the script has no such method.
	godot::Variant callp(const godot::StringName &p_name, const godot::Variant **p_args, int p_argcount, GDExtensionCallError &r_error);
	godot::Variant callp(const godot::StringName &p_name, const godot::Variant **p_args, int p_argcount, GDExtensionCallError &r_error, ScriptHookAccess p_access, const godot::StringName &p_property);
	bool has_signal(const godot::StringName &p_name) const;
	// A getter, setter, _get or _set run for a read or write of p_property: logged as a call,
	// and the script hook is told which access runs it.
	// A plain member's read (p_value null) or write under script_hook_every_member.
	godot::Variant hooked_member(const godot::StringName &p_name, ScriptHookAccess p_access, const godot::Variant *p_value);
	godot::Variant run_accessor(const godot::StringName &p_method, const godot::Variant **p_args, int p_argcount, ScriptHookAccess p_access, const godot::StringName &p_property, GDExtensionCallError &r_error);
	bool to_string(godot::String &r_text);
	godot::Dictionary snapshot() const;
	std::vector<godot::StringName> member_names() const;
};

} // namespace engine_double::internal
