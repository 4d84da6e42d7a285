#include "class_registry.hpp"

#include <atomic>
#include <mutex>
#include <unordered_set>

namespace engine_double::internal {

namespace {

struct Registry {
	std::unordered_map<godot::StringName, std::unique_ptr<ClassRecord>, StringNameHasher> records;
	std::vector<ClassRecord *> order;
	std::atomic<uint64_t> generation { 1 };
	ExtensionInitData *current_extension = nullptr;
	godot::ModuleInitializationLevel current_level = godot::MODULE_INITIALIZATION_LEVEL_CORE;
};

Registry &registry() {
	// Never destroyed: objects and plug-ins may outlive static destruction.
	static Registry *instance = new Registry();
	return *instance;
}

void remove_record(ClassRecord *p_record) {
	p_record->registered = false;
	p_record->clear_members();
	p_record->parent = nullptr;
	p_record->creator = nullptr;
	p_record->extension = nullptr;
	Registry &reg = registry();
	for (auto it = reg.order.begin(); it != reg.order.end(); ++it) {
		if (*it == p_record) {
			reg.order.erase(it);
			break;
		}
	}
	// Children keep pointing at a removed parent's record; they lose its members, as the
	// engine would refuse them.
	reg.generation.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

void ClassRecord::clear_members() {
	methods.clear();
	method_order.clear();
	properties.clear();
	property_index.clear();
	signals.clear();
	signal_index.clear();
	constant_order.clear();
	constants.clear();
}

ClassRecord *class_find(const godot::StringName &p_name) {
	ensure_engine_classes();
	Registry &reg = registry();
	auto it = reg.records.find(p_name);
	if (it == reg.records.end() || !it->second->registered) {
		return nullptr;
	}
	return it->second.get();
}

ClassRecord *class_record_for_registration(const godot::StringName &p_name) {
	Registry &reg = registry();
	std::unique_ptr<ClassRecord> &slot = reg.records[p_name];
	if (!slot) {
		slot = std::make_unique<ClassRecord>();
		slot->name = p_name;
	}
	return slot.get();
}

void class_append_order(ClassRecord *p_record) {
	registry().order.push_back(p_record);
}

uint64_t class_generation() {
	return registry().generation.load(std::memory_order_relaxed);
}

godot::MethodBind *class_find_method(const ClassRecord *p_record, const godot::StringName &p_method) {
	for (const ClassRecord *record = p_record; record != nullptr; record = record->parent) {
		auto it = record->methods.find(p_method);
		if (it != record->methods.end()) {
			return it->second;
		}
	}
	return nullptr;
}

const PropertyRecord *class_find_property(const ClassRecord *p_record, const godot::StringName &p_property) {
	for (const ClassRecord *record = p_record; record != nullptr; record = record->parent) {
		auto it = record->property_index.find(p_property);
		if (it != record->property_index.end()) {
			return &record->properties[it->second];
		}
	}
	return nullptr;
}

const godot::MethodInfo *class_find_signal(const ClassRecord *p_record, const godot::StringName &p_signal) {
	for (const ClassRecord *record = p_record; record != nullptr; record = record->parent) {
		auto it = record->signal_index.find(p_signal);
		if (it != record->signal_index.end()) {
			return &record->signals[it->second];
		}
	}
	return nullptr;
}

bool class_find_constant(const ClassRecord *p_record, const godot::StringName &p_name, int64_t &r_value) {
	for (const ClassRecord *record = p_record; record != nullptr; record = record->parent) {
		auto it = record->constants.find(p_name);
		if (it != record->constants.end()) {
			r_value = it->second;
			return true;
		}
	}
	return false;
}

std::vector<ClassRecord *> class_records_all() {
	ensure_engine_classes();
	return registry().order;
}

std::vector<ClassRecord *> class_records_of(const ExtensionInitData *p_extension) {
	std::vector<ClassRecord *> result;
	for (ClassRecord *record : registry().order) {
		if (record->extension == p_extension && !record->is_engine_class) {
			result.push_back(record);
		}
	}
	return result;
}

void class_remove_level(const ExtensionInitData *p_extension, godot::ModuleInitializationLevel p_level) {
	std::vector<ClassRecord *> records = class_records_of(p_extension);
	for (auto it = records.rbegin(); it != records.rend(); ++it) {
		if ((*it)->level == p_level) {
			remove_record(*it);
		}
	}
}

void class_remove_extension(const ExtensionInitData *p_extension) {
	std::vector<ClassRecord *> records = class_records_of(p_extension);
	for (auto it = records.rbegin(); it != records.rend(); ++it) {
		remove_record(*it);
	}
}

void class_set_registration_context(ExtensionInitData *p_extension, godot::ModuleInitializationLevel p_level) {
	Registry &reg = registry();
	reg.current_extension = p_extension;
	reg.current_level = p_level;
}

ExtensionInitData *class_registration_extension() {
	return registry().current_extension;
}

godot::ModuleInitializationLevel class_registration_level() {
	return registry().current_level;
}

namespace {

std::mutex engine_methods_lock;
std::unordered_set<const godot::MethodBind *> engine_methods;

} // namespace

void class_mark_engine_method(const godot::MethodBind *p_bind) {
	const std::lock_guard<std::mutex> guard(engine_methods_lock);
	engine_methods.insert(p_bind);
}

bool class_is_engine_method(const godot::MethodBind *p_bind) {
	const std::lock_guard<std::mutex> guard(engine_methods_lock);
	return engine_methods.count(p_bind) != 0;
}

} // namespace engine_double::internal
