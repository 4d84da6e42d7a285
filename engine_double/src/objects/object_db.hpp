#pragma once

#include <godot_cpp/classes/object.hpp>

#include <cstdint>
#include <vector>

namespace engine_double::internal {

// The registry of live objects by instance id. Lookups take no lock; a freed object's id
// never comes back, since each reuse of a slot gets a new validator.
uint64_t object_db_add(godot::Object *p_object, bool p_ref_counted);
void object_db_remove(uint64_t p_id);
godot::Object *object_db_get(uint64_t p_id);
std::vector<godot::Object *> object_db_snapshot();
size_t object_db_count();

} // namespace engine_double::internal
