// The library entry, as a godot-cpp plug-in writes it.

#include "sample_counter.hpp"

#include <gdextension_interface.h>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/godot.hpp>

namespace {

void initialize_sample(godot::ModuleInitializationLevel p_level) {
	sample::SampleCounter::record_level(int64_t(p_level));
	if (p_level != godot::MODULE_INITIALIZATION_LEVEL_SCENE) {
		return;
	}
	GDREGISTER_CLASS(sample::SampleCounter);
}

void uninitialize_sample(godot::ModuleInitializationLevel p_level) {
	sample::SampleCounter::record_level(-(int64_t(p_level) + 1));
}

} // namespace

extern "C" {

GDExtensionBool GDE_EXPORT sample_library_init(GDExtensionInterfaceGetProcAddress p_get_proc_address, GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization) {
	godot::GDExtensionBinding::InitObject init_object(p_get_proc_address, p_library, r_initialization);
	init_object.register_initializer(&initialize_sample);
	init_object.register_terminator(&uninitialize_sample);
	init_object.set_minimum_library_initialization_level(godot::MODULE_INITIALIZATION_LEVEL_SCENE);
	return init_object.init();
}

} // extern "C"
