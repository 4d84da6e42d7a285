#pragma once

// A loaded plug-in's initialization state: the callbacks its entry registered through
// GDExtensionBinding::InitObject.

#include <godot_cpp/godot.hpp>

namespace engine_double::internal {

struct ExtensionInitData {
	GDExtensionClassLibraryPtr library = nullptr;
	godot::GDExtensionBinding::Callback initializer = nullptr;
	godot::GDExtensionBinding::Callback terminator = nullptr;
	godot::ModuleInitializationLevel minimum_level = godot::MODULE_INITIALIZATION_LEVEL_CORE;
};

// The init data of the library handle the host passed to the entry, or nullptr.
ExtensionInitData *extension_init_data_for(GDExtensionClassLibraryPtr p_library);
void extension_init_data_release(GDExtensionClassLibraryPtr p_library);

} // namespace engine_double::internal
