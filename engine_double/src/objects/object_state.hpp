#pragma once

// What the engine keeps beside each object: its script instance, signal connections,
// metadata and the cached class record.

#include "string_name_hasher.hpp"

#include <engine_double/write_epoch.hpp>

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace engine_double::internal {

class ScriptInstance;
struct ClassRecord;

struct Connection {
	godot::Callable callable;
	uint32_t flags = 0;
	int reference_count = 1;
};

struct ObjectState {
	std::unique_ptr<ScriptInstance> script_instance;
	// The attached script resource; NIL when there is none.
	godot::Variant script;
	std::unordered_map<godot::StringName, std::vector<Connection>, StringNameHasher> connections;
	godot::Dictionary metadata;
	// Property reads, writes, calls and emissions on this object go to the call log.
	bool logged = false;
	godot::String log_label;
	const ClassRecord *class_record = nullptr;
	// For the write epoch: writes count only on objects born before its mark.
	uint64_t birth = engine_double::internal::next_birth();
	uint64_t class_record_generation = 0;

	ObjectState();
	~ObjectState();
};

// The engine side of godot::Object, for the rest of the double.
struct ObjectAccess {
	static ObjectState &state(const godot::Object *p_object) { return *p_object->_state; }
	static uint64_t id(const godot::Object *p_object) { return p_object->_instance_id; }
	// The class record of the object's class, or nullptr if that class is not registered.
	static const ClassRecord *class_record(const godot::Object *p_object);
	// The engine's Object::callp: script first, then the class's bound methods.
	static godot::Variant callp(godot::Object *p_object, const godot::StringName &p_method, const godot::Variant **p_args, int p_argcount, GDExtensionCallError &r_error);
	static godot::Error emit_signal(godot::Object *p_object, const godot::StringName &p_signal, const godot::Variant **p_args, int p_argcount) {
		return p_object->_emit_signal_variadic(p_signal, p_args, p_argcount);
	}
	static bool to_string_hook(const godot::Object *p_object, godot::String &r_text) { return p_object->_double_to_string_hook(r_text); }
	// Marks the object as one whose accesses are logged, under p_label.
	static void set_logged(godot::Object *p_object, const godot::String &p_label);
};

} // namespace engine_double::internal
