#pragma once

// What a Dictionary handle points at. Dictionaries are shared by reference.

#include "container_type.hpp"

#include "variant_map.hpp"
#include <engine_double/write_epoch.hpp>

#include <atomic>
#include <memory>

namespace engine_double::internal {

struct ENGINE_DOUBLE_LOCAL DictionaryData {
	std::atomic<uint32_t> refcount { 1 };
	// For the write epoch: writes count only on what was born before its mark.
	uint64_t birth = engine_double::internal::next_birth();
	VariantMap map;
	// Next to the map: every lookup checks the key type first.
	ContainerType typed_key;
	ContainerType typed_value;
	// Set once read-only: non-const operator[] hands out this scratch copy.
	std::unique_ptr<godot::Variant> read_only;
	// Returned by operator[] for a key of the wrong type in a typed dictionary.
	std::unique_ptr<godot::Variant> typed_fallback;
};

} // namespace engine_double::internal
