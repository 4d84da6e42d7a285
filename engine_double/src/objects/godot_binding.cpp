// GDExtensionBinding::InitObject: what a plug-in's entry fills in, and the initialize /
// deinitialize functions the engine calls per level.

#include "class_registry.hpp"
#include "extension_init.hpp"

#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/godot.hpp>

#include <memory>
#include <mutex>
#include <unordered_map>

namespace engine_double::internal {

namespace {

struct InitDataTable {
	std::mutex mutex;
	std::unordered_map<GDExtensionClassLibraryPtr, std::unique_ptr<ExtensionInitData>> entries;
};

InitDataTable &init_data_table() {
	static InitDataTable *instance = new InitDataTable();
	return *instance;
}

ExtensionInitData *create_init_data(GDExtensionClassLibraryPtr p_library) {
	InitDataTable &table = init_data_table();
	std::lock_guard<std::mutex> lock(table.mutex);
	std::unique_ptr<ExtensionInitData> &slot = table.entries[p_library];
	// A second entry call for the same library starts over, as a fresh load would.
	slot = std::make_unique<ExtensionInitData>();
	slot->library = p_library;
	return slot.get();
}

void initialize_level(void *p_userdata, GDExtensionInitializationLevel p_level) {
	ERR_FAIL_COND(p_level < GDEXTENSION_INITIALIZATION_CORE || p_level >= GDEXTENSION_MAX_INITIALIZATION_LEVEL);
	ExtensionInitData *data = static_cast<ExtensionInitData *>(p_userdata);
	const godot::ModuleInitializationLevel level = godot::ModuleInitializationLevel(p_level);
	class_set_registration_context(data, level);
	if (data != nullptr && data->initializer != nullptr) {
		data->initializer(level);
	}
	class_set_registration_context(nullptr, godot::MODULE_INITIALIZATION_LEVEL_CORE);
}

void deinitialize_level(void *p_userdata, GDExtensionInitializationLevel p_level) {
	ERR_FAIL_COND(p_level < GDEXTENSION_INITIALIZATION_CORE || p_level >= GDEXTENSION_MAX_INITIALIZATION_LEVEL);
	ExtensionInitData *data = static_cast<ExtensionInitData *>(p_userdata);
	const godot::ModuleInitializationLevel level = godot::ModuleInitializationLevel(p_level);
	class_set_registration_context(data, level);
	if (data != nullptr && data->terminator != nullptr) {
		data->terminator(level);
	}
	// As godot-cpp's ClassDB::deinitialize: the classes registered at this level go.
	if (data != nullptr) {
		class_remove_level(data, level);
	}
	class_set_registration_context(nullptr, godot::MODULE_INITIALIZATION_LEVEL_CORE);
}

} // namespace

ExtensionInitData *extension_init_data_for(GDExtensionClassLibraryPtr p_library) {
	InitDataTable &table = init_data_table();
	std::lock_guard<std::mutex> lock(table.mutex);
	auto it = table.entries.find(p_library);
	return it != table.entries.end() ? it->second.get() : nullptr;
}

void extension_init_data_release(GDExtensionClassLibraryPtr p_library) {
	InitDataTable &table = init_data_table();
	std::lock_guard<std::mutex> lock(table.mutex);
	table.entries.erase(p_library);
}

} // namespace engine_double::internal

namespace godot {

GDExtensionBinding::InitObject::InitObject(GDExtensionInterfaceGetProcAddress p_get_proc_address, GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization) :
        get_proc_address(p_get_proc_address),
        library(p_library),
        initialization(r_initialization),
        init_data(engine_double::internal::create_init_data(p_library)) {}

void GDExtensionBinding::InitObject::register_initializer(Callback p_init) const {
	init_data->initializer = p_init;
}

void GDExtensionBinding::InitObject::register_terminator(Callback p_terminate) const {
	init_data->terminator = p_terminate;
}

void GDExtensionBinding::InitObject::set_minimum_library_initialization_level(ModuleInitializationLevel p_level) const {
	init_data->minimum_level = p_level;
}

GDExtensionBool GDExtensionBinding::InitObject::init() const {
	// godot-cpp needs the engine's function lookup and a record to fill.
	if (get_proc_address == nullptr || initialization == nullptr) {
		ERR_PRINT("Unable to initialize GDExtension: the engine passed no interface.");
		return false;
	}
	initialization->initialize = &engine_double::internal::initialize_level;
	initialization->deinitialize = &engine_double::internal::deinitialize_level;
	initialization->userdata = init_data;
	initialization->minimum_initialization_level = GDExtensionInitializationLevel(init_data->minimum_level);
	return true;
}

} // namespace godot
