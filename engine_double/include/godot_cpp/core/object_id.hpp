#pragma once

#include <godot_cpp/core/defs.hpp>

#include <cstdint>

namespace godot {

// An object's instance id. Ids of RefCounted objects carry the top bit, as in the engine.
class ObjectID {
	uint64_t id = 0;

public:
	bool is_ref_counted() const { return (id & (uint64_t(1) << 63)) != 0; }
	bool is_valid() const { return id != 0; }
	bool is_null() const { return id == 0; }
	operator uint64_t() const { return id; }
	operator int64_t() const { return int64_t(id); }

	bool operator==(const ObjectID &p_id) const { return id == p_id.id; }
	bool operator!=(const ObjectID &p_id) const { return id != p_id.id; }
	bool operator<(const ObjectID &p_id) const { return id < p_id.id; }

	void operator=(int64_t p_int64) { id = uint64_t(p_int64); }
	void operator=(uint64_t p_uint64) { id = p_uint64; }

	ObjectID() = default;
	explicit ObjectID(const uint64_t p_id) :
	        id(p_id) {}
	explicit ObjectID(const int64_t p_id) :
	        id(uint64_t(p_id)) {}
};

} // namespace godot
