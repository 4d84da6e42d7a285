#pragma once

// The engine's class table, shared by every plug-in: engine classes of the double and
// extension classes, their bound methods, properties, signals and integer constants.
// Registration runs while nothing else calls in (the engine's initialization levels);
// lookups take no lock.

#include "string_name_hasher.hpp"

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/method_bind.hpp>
#include <godot_cpp/core/object.hpp>

#include <atomic>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace engine_double::internal {

struct ExtensionInitData;

struct PropertyRecord {
	godot::PropertyInfo info;
	godot::StringName setter;
	godot::StringName getter;
};

struct ClassRecord {
	godot::StringName name;
	godot::StringName parent_name;
	ClassRecord *parent = nullptr;
	// Records are never freed: an unregistered class keeps its record, emptied, so
	// pointers cached in objects stay safe.
	bool registered = false;
	bool is_engine_class = false;
	bool is_virtual = false;
	bool is_abstract = false;
	bool is_exposed = true;
	bool is_runtime = false;
	godot::ModuleInitializationLevel level = godot::MODULE_INITIALIZATION_LEVEL_CORE;
	ExtensionInitData *extension = nullptr;
	godot::Object *(*creator)() = nullptr;

	std::vector<std::unique_ptr<godot::MethodBind>> method_order;
	std::unordered_map<godot::StringName, godot::MethodBind *, StringNameHasher> methods;
	std::vector<PropertyRecord> properties;
	std::unordered_map<godot::StringName, size_t, StringNameHasher> property_index;
	std::vector<godot::MethodInfo> signals;
	std::unordered_map<godot::StringName, size_t, StringNameHasher> signal_index;
	std::vector<godot::StringName> constant_order;
	std::unordered_map<godot::StringName, int64_t, StringNameHasher> constants;

	void clear_members();
};

// nullptr when the class was never registered or has been removed.
ClassRecord *class_find(const godot::StringName &p_name);
// The record to fill for a new registration (reused if the name was registered before).
ClassRecord *class_record_for_registration(const godot::StringName &p_name);
void class_append_order(ClassRecord *p_record);
// Every registered class, in registration order.
std::vector<ClassRecord *> class_records_all();
// Bumped whenever a class is removed, so cached lookups know to look again.
uint64_t class_generation();

godot::MethodBind *class_find_method(const ClassRecord *p_record, const godot::StringName &p_method);
// The methods of the engine's own classes, marked as they are bound: their work runs inside
// the engine, under the crossing that reached it, and counts for no side.
void class_mark_engine_method(const godot::MethodBind *p_bind);
bool class_is_engine_method(const godot::MethodBind *p_bind);
const PropertyRecord *class_find_property(const ClassRecord *p_record, const godot::StringName &p_property);
const godot::MethodInfo *class_find_signal(const ClassRecord *p_record, const godot::StringName &p_signal);
bool class_find_constant(const ClassRecord *p_record, const godot::StringName &p_name, int64_t &r_value);

// Extension classes of one plug-in, in registration order.
std::vector<ClassRecord *> class_records_of(const ExtensionInitData *p_extension);
// Removes the plug-in's classes registered at p_level, newest first.
void class_remove_level(const ExtensionInitData *p_extension, godot::ModuleInitializationLevel p_level);
// Removes every class the plug-in still has.
void class_remove_extension(const ExtensionInitData *p_extension);

// The extension and level whose initializer is running, for new registrations.
void class_set_registration_context(ExtensionInitData *p_extension, godot::ModuleInitializationLevel p_level);
ExtensionInitData *class_registration_extension();
godot::ModuleInitializationLevel class_registration_level();

// Registers the engine's own classes (Object, RefCounted, Resource, Script, GDScript) on
// first use.
void ensure_engine_classes();

} // namespace engine_double::internal
