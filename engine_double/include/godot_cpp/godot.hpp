#pragma once

// The plug-in's entry helper: an InitObject fills the engine's initialization record with
// the plug-in's initializer, terminator and minimum level.

#include <gdextension_interface.h>
#include <godot_cpp/core/defs.hpp>

namespace engine_double::internal {
struct ExtensionInitData;
} // namespace engine_double::internal

namespace godot {

enum ModuleInitializationLevel {
	MODULE_INITIALIZATION_LEVEL_CORE = GDEXTENSION_INITIALIZATION_CORE,
	MODULE_INITIALIZATION_LEVEL_SERVERS = GDEXTENSION_INITIALIZATION_SERVERS,
	MODULE_INITIALIZATION_LEVEL_SCENE = GDEXTENSION_INITIALIZATION_SCENE,
	MODULE_INITIALIZATION_LEVEL_EDITOR = GDEXTENSION_INITIALIZATION_EDITOR,
	MODULE_INITIALIZATION_LEVEL_MAX
};

class ENGINE_DOUBLE_API GDExtensionBinding {
public:
	using Callback = void (*)(ModuleInitializationLevel p_level);

	class ENGINE_DOUBLE_API InitObject {
		GDExtensionInterfaceGetProcAddress get_proc_address;
		GDExtensionClassLibraryPtr library;
		GDExtensionInitialization *initialization;
		engine_double::internal::ExtensionInitData *init_data;

	public:
		InitObject(GDExtensionInterfaceGetProcAddress p_get_proc_address, GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization);

		void register_initializer(Callback p_init) const;
		void register_terminator(Callback p_terminate) const;
		void set_minimum_library_initialization_level(ModuleInitializationLevel p_level) const;

		GDExtensionBool init() const;
	};
};

} // namespace godot
