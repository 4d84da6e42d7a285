// PluginHost: loading a plug-in library as the engine does, and a script's view of it.

#include "call_error_text.hpp"
#include "class_registry.hpp"
#include "extension_init.hpp"
#include "object_db.hpp"
#include "object_state.hpp"
#include "shared_library.hpp"

#include <engine_double/error_log.hpp>
#include <engine_double/host.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>

#include <cstring>

namespace engine_double {

namespace internal {

struct ExtensionRecord {
	void *handle = nullptr;
	std::string path;
	std::string entry;
	GDExtensionInitialization initialization {};
	int level = -1;
	std::vector<std::string> level_calls;
};

namespace {

void host_godot_version(GDExtensionGodotVersion *r_version) {
	r_version->major = 4;
	r_version->minor = 7;
	r_version->patch = 2;
	r_version->string = "Godot Engine v4.7.2.stable (engine double)";
}

// The engine's function lookup: the double needs none of it, but a plug-in may ask.
GDExtensionInterfaceFunctionPtr host_get_proc_address(const char *p_name) {
	if (p_name != nullptr && std::strcmp(p_name, "get_godot_version") == 0) {
		return reinterpret_cast<GDExtensionInterfaceFunctionPtr>(&host_godot_version);
	}
	return nullptr;
}

MethodListing describe_method(const godot::MethodBind &p_bind) {
	MethodListing listing;
	listing.name = p_bind.get_name();
	listing.arguments = p_bind._arguments();
	listing.return_value = p_bind.get_return_info();
	listing.has_return = p_bind.has_return();
	listing.is_const = p_bind.is_const();
	listing.is_static = p_bind.is_static();
	listing.is_vararg = p_bind.is_vararg();
	listing.flags = p_bind.get_hint_flags();
	listing.default_arguments = p_bind.get_default_arguments();
	return listing;
}

ClassListing describe_record(const ClassRecord &p_record) {
	ClassListing listing;
	listing.name = p_record.name;
	listing.parent = p_record.parent_name;
	listing.level = p_record.level;
	listing.is_virtual = p_record.is_virtual;
	listing.is_abstract = p_record.is_abstract;
	listing.is_exposed = p_record.is_exposed;
	listing.is_runtime = p_record.is_runtime;
	for (const std::unique_ptr<godot::MethodBind> &bind : p_record.method_order) {
		listing.methods.push_back(describe_method(*bind));
	}
	for (const godot::MethodInfo &signal : p_record.signals) {
		listing.signals.push_back(signal.name);
	}
	listing.constants = p_record.constant_order;
	return listing;
}

std::string to_std(const godot::String &p_text) {
	return p_text.utf8().get_data();
}

} // namespace

} // namespace internal

ClassListing describe_class(const godot::StringName &p_class) {
	const internal::ClassRecord *record = internal::class_find(p_class);
	return record != nullptr ? internal::describe_record(*record) : ClassListing();
}

PluginHost::PluginHost() :
        _record(std::make_unique<internal::ExtensionRecord>()) {}

PluginHost::~PluginHost() {
	unload();
}

bool PluginHost::load(const std::string &p_library_path, const std::string &p_entry_symbol) {
	if (is_loaded()) {
		error_log_record("Cannot load '" + p_library_path + "': this host already has a plug-in loaded.");
		return false;
	}
	internal::ExtensionRecord &record = *_record;
	record = internal::ExtensionRecord();
	std::string reason;
	void *handle = internal::shared_library_open(p_library_path, reason);
	if (handle == nullptr) {
		error_log_record("Can't open dynamic library: " + p_library_path + ". Error: " + reason + ".");
		return false;
	}
	void *symbol = internal::shared_library_symbol(handle, p_entry_symbol);
	if (symbol == nullptr) {
		error_log_record("GDExtension entry point '" + p_entry_symbol + "' not found in library " + p_library_path + ".");
		internal::shared_library_close(handle);
		return false;
	}
	GDExtensionInitializationFunction entry = reinterpret_cast<GDExtensionInitializationFunction>(symbol);
	GDExtensionBool accepted = false;
	try {
		accepted = entry(&internal::host_get_proc_address, &record, &record.initialization);
	} catch (...) {
		error_log_record("Exception thrown by GDExtension entry point '" + p_entry_symbol + "' (the engine would terminate).");
	}
	if (!accepted) {
		error_log_record("GDExtension initialization function '" + p_entry_symbol + "' returned an error.");
		internal::extension_init_data_release(&record);
		internal::shared_library_close(handle);
		record = internal::ExtensionRecord();
		return false;
	}
	record.handle = handle;
	record.path = p_library_path;
	record.entry = p_entry_symbol;
	return true;
}

bool PluginHost::is_loaded() const {
	return _record->handle != nullptr;
}

void PluginHost::initialize(godot::ModuleInitializationLevel p_level) {
	internal::ExtensionRecord &record = *_record;
	if (!is_loaded()) {
		error_log_record("Cannot initialize: no plug-in is loaded.");
		return;
	}
	const int target = std::min(int(p_level), int(godot::MODULE_INITIALIZATION_LEVEL_EDITOR));
	for (int level = record.level + 1; level <= target; level++) {
		record.level = level;
		if (level < int(record.initialization.minimum_initialization_level) || record.initialization.initialize == nullptr) {
			continue;
		}
		record.level_calls.push_back("initialize " + std::to_string(level));
		record.initialization.initialize(record.initialization.userdata, GDExtensionInitializationLevel(level));
	}
}

int PluginHost::initialized_level() const {
	return _record->level;
}

godot::ModuleInitializationLevel PluginHost::minimum_level() const {
	return godot::ModuleInitializationLevel(_record->initialization.minimum_initialization_level);
}

void PluginHost::unload() {
	internal::ExtensionRecord &record = *_record;
	if (!is_loaded()) {
		return;
	}
	// A hand-written entry may skip InitObject: it then registered nothing of its own, and
	// classes without an extension (registered by the host side) must stay.
	internal::ExtensionInitData *data = internal::extension_init_data_for(&record);
	std::vector<godot::StringName> class_names;
	if (data != nullptr) {
		for (const internal::ClassRecord *entry : internal::class_records_of(data)) {
			class_names.push_back(entry->name);
		}
	}
	for (int level = record.level; level >= 0; level--) {
		if (level < int(record.initialization.minimum_initialization_level) || record.initialization.deinitialize == nullptr) {
			continue;
		}
		record.level_calls.push_back("deinitialize " + std::to_string(level));
		record.initialization.deinitialize(record.initialization.userdata, GDExtensionInitializationLevel(level));
	}
	record.level = -1;
	if (data != nullptr) {
		internal::class_remove_extension(data);
	}

	// Objects of the plug-in's classes run code in the library: it must stay mapped for them.
	size_t alive = 0;
	for (godot::Object *object : internal::object_db_snapshot()) {
		for (const godot::StringName &name : class_names) {
			if (object->_get_class_namev() == name) {
				alive++;
				break;
			}
		}
	}
	internal::extension_init_data_release(&record);
	if (alive > 0) {
		error_log_record("Plug-in " + record.path + " unloaded while " + std::to_string(alive) + " instance(s) of its classes are alive; the library stays mapped.");
	} else {
		internal::shared_library_close(record.handle);
	}
	record.handle = nullptr;
}

const std::vector<std::string> &PluginHost::level_calls() const {
	return _record->level_calls;
}

std::vector<ClassListing> PluginHost::classes() const {
	std::vector<ClassListing> listings;
	if (!is_loaded()) {
		return listings;
	}
	const internal::ExtensionInitData *data = internal::extension_init_data_for(_record.get());
	if (data == nullptr) {
		return listings;
	}
	for (const internal::ClassRecord *record : internal::class_records_of(data)) {
		listings.push_back(internal::describe_record(*record));
	}
	return listings;
}

godot::Variant PluginHost::instantiate(const godot::StringName &p_class) const {
	return godot::ClassDB::instantiate(p_class);
}

godot::Variant PluginHost::call(const godot::Variant &p_object, const godot::StringName &p_method, const std::vector<godot::Variant> &p_arguments, GDExtensionCallError *r_error) const {
	std::vector<const godot::Variant *> pointers(p_arguments.size() + 1);
	for (size_t i = 0; i < p_arguments.size(); i++) {
		pointers[i] = &p_arguments[i];
	}
	const int count = int(p_arguments.size());
	GDExtensionCallError error {};
	godot::Variant result;
	godot::Object *object = p_object.get_type() == godot::Variant::OBJECT ? p_object.get_validated_object() : nullptr;
	if (p_object.get_type() != godot::Variant::OBJECT) {
		error.error = GDEXTENSION_CALL_ERROR_INVALID_METHOD;
	} else if (object == nullptr) {
		error.error = GDEXTENSION_CALL_ERROR_INSTANCE_IS_NULL;
	} else {
		result = internal::ObjectAccess::callp(object, p_method, pointers.data(), count, error);
	}
	if (error.error != GDEXTENSION_CALL_OK) {
		// A script aborts the calling function: it never sees a result.
		error_log_record(internal::to_std(internal::script_call_error_text(p_object, p_method, pointers.data(), count, error)));
		result = godot::Variant();
	}
	if (r_error != nullptr) {
		*r_error = error;
	}
	return result;
}

} // namespace engine_double
