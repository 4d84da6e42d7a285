#pragma once

#include <godot_cpp/godot.hpp>

// Registers VeltrinNumericCore when the engine reaches the SCENE level.
void initialize_veltrin_numeric_core(godot::ModuleInitializationLevel p_level);
// Nothing to undo: the engine removes the extension's class itself.
void uninitialize_veltrin_numeric_core(godot::ModuleInitializationLevel p_level);
