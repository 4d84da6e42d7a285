#include "extension/register_types.hpp"

#include "extension/veltrin_numeric_core.hpp"

#include <godot_cpp/core/class_db.hpp>

void initialize_veltrin_numeric_core(godot::ModuleInitializationLevel p_level) {
	if (p_level != godot::MODULE_INITIALIZATION_LEVEL_SCENE) {
		return;
	}
	godot::ClassDB::register_class<VeltrinNumericCore>();
}

void uninitialize_veltrin_numeric_core(godot::ModuleInitializationLevel p_level) {
}
