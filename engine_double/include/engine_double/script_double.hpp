#pragma once

// Scripted service objects for tests: a ScriptDouble stands for a GDScript at a resource
// path, with constants, member variables, methods written as C++ lambdas and declared
// signals. Objects that run it behave as instances of that script towards the engine API
// (get/set/call/callv/has_method/emit_signal/get_script), and every property read, write,
// method call and signal emission on them goes into the call log (engine_double/call_log.hpp).
// As in the engine, a read or write runs script when the member has a getter or setter, and
// a name the script does not declare is asked of its `_get(name)` / `_set(name, value)`
// methods if it has them; each such run is logged as a call, after the read or write.
//
//     Ref<ScriptDouble> script = ScriptDouble::create("res://scripts/world/path_service.gd");
//     script->constant("FRONT", 0).member("_path_cache", Dictionary());
//     script->method("two_args", { { "a", Variant::INT }, { "b", Variant::INT } }, Variant::INT,
//             [](const ScriptCall &p_call) { return int64_t(p_call[0]) + int64_t(p_call[1]); });
//     script->signal("path_query_measured", { "elapsed" });
//     Ref<RefCounted> service = script->instantiate();

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/classes/script.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <functional>
#include <memory>
#include <vector>

namespace engine_double {

namespace internal {
struct ScriptDefinition;
} // namespace internal

// What a scripted method receives: the object it runs on and its arguments (defaults
// already filled in, typed parameters already converted). As in the engine, a method that
// frees its own object must not touch it afterwards.
struct ENGINE_DOUBLE_API ScriptCall {
	godot::Object *self = nullptr;
	const godot::Variant *const *arguments = nullptr;
	int argument_count = 0;

	const godot::Variant &operator[](int p_index) const { return *arguments[p_index]; }
	// The script's own access to its members: not logged, as a script reading `self.x`
	// is not the plug-in asking.
	godot::Variant member(const godot::StringName &p_name) const;
	void set_member(const godot::StringName &p_name, const godot::Variant &p_value) const;
};

using ScriptFunction = std::function<godot::Variant(const ScriptCall &p_call)>;

// A declared parameter. NIL leaves it untyped; a typed one converts what it can
// (Variant::can_convert_strict) and otherwise fails the call with INVALID_ARGUMENT before
// the body runs, as GDScript does.
struct ScriptParameter {
	godot::StringName name;
	godot::Variant::Type type = godot::Variant::NIL;
};

class ENGINE_DOUBLE_API ScriptDouble : public godot::Script {
	GDE_DOUBLE_ENGINE_CLASS(ScriptDouble, godot::Script)

	std::unique_ptr<internal::ScriptDefinition> _definition;

	friend struct internal::ScriptDefinition;

protected:
	godot::Dictionary _double_constant_map() const override;
	bool _double_has_script_method(const godot::StringName &p_method) const override;
	bool _double_has_script_signal(const godot::StringName &p_signal) const override;
	godot::StringName _double_instance_base_type() const override;
	godot::StringName _double_global_name() const override;
	godot::Ref<godot::Script> _double_base_script() const override;

public:
	ScriptDouble();
	~ScriptDouble() override;

	// A script file at p_resource_path ("res://..."); "" makes a script built at runtime.
	static godot::Ref<ScriptDouble> create(const godot::String &p_resource_path);

	// Declarations. Each returns the script for chaining; redeclaring a name replaces it.
	ScriptDouble &constant(const godot::StringName &p_name, const godot::Variant &p_value);
	// Each instance starts with its own deep copy of p_initial (as `var x = {}` makes a new
	// dictionary per instance). Declare members before instantiating.
	ScriptDouble &member(const godot::StringName &p_name, const godot::Variant &p_initial = godot::Variant());
	// `var name: get = p_getter, set = p_setter`: a read of the member through the engine API
	// runs the method p_getter (its answer is the value; nil when the call fails) and a write
	// runs p_setter with the value; an empty name leaves that side a plain member access.
	// Both are methods of this script (declare them with method()); the script's own
	// ScriptCall::member and set_member reach the stored value without them.
	ScriptDouble &accessors(const godot::StringName &p_member, const godot::StringName &p_getter, const godot::StringName &p_setter = godot::StringName());
	// An untyped method with p_argument_count parameters.
	ScriptDouble &method(const godot::StringName &p_name, int p_argument_count, ScriptFunction p_function);
	// A method with declared parameters, return type (NIL: untyped) and defaults for the
	// trailing parameters.
	ScriptDouble &method(const godot::StringName &p_name, std::vector<ScriptParameter> p_parameters, godot::Variant::Type p_return_type, ScriptFunction p_function, std::vector<godot::Variant> p_defaults = {});
	ScriptDouble &signal(const godot::StringName &p_name, std::vector<godot::StringName> p_argument_names = {});
	// The script's `class_name`, which then names it in error texts instead of the file.
	ScriptDouble &global_name(const godot::StringName &p_name);
	// `extends` another script: its members, constants, methods and signals are inherited
	// (get_script_constant_map still lists only this script's own constants).
	ScriptDouble &extends(const godot::Ref<ScriptDouble> &p_base);

	// A RefCounted running this script.
	godot::Ref<godot::RefCounted> instantiate();
	// A plain Object running this script; free it with memdelete.
	godot::Object *instantiate_object();

	const internal::ScriptDefinition &_get_definition() const { return *_definition; }
};

// Members of a script object by declaration order, each deep-copied: compare two snapshots
// to prove a call changed nothing in the object or in the containers it holds.
ENGINE_DOUBLE_API godot::Dictionary script_state_snapshot(const godot::Object *p_object);
// The names of the members script_state_snapshot() would hold, in the same order, copying
// nothing: for walks that read the members themselves.
ENGINE_DOUBLE_API std::vector<godot::StringName> script_member_names(const godot::Object *p_object);

} // namespace engine_double
