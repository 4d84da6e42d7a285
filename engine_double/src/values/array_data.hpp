#pragma once

// What an Array handle points at: the shared elements, the element type and the read-only
// flag. Arrays are shared by reference, never copied on write.

#include "container_type.hpp"

#include <engine_double/write_epoch.hpp>

#include <atomic>
#include <memory>
#include <vector>

namespace engine_double::internal {

struct ArrayData {
	std::atomic<uint32_t> refcount { 1 };
	// For the write epoch: writes count only on what was born before its mark.
	uint64_t birth = engine_double::internal::next_birth();
	std::vector<godot::Variant> array;
	// Set once read-only: writes through operator[] land here and are lost, as in the engine.
	std::unique_ptr<godot::Variant> read_only;
	ContainerType typed;
};

} // namespace engine_double::internal
