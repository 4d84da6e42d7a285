#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/class_db.hpp>

#include <atomic>
#include <cstdint>

namespace godot {

// Freed when the last Ref or Variant holding it lets go. A new instance starts with
// one "initial" reference that the first holder takes over, as in the engine.
class ENGINE_DOUBLE_API RefCounted : public Object {
	GDE_DOUBLE_ENGINE_CLASS(RefCounted, Object)

	std::atomic<int32_t> _refcount { 1 };
	std::atomic<int32_t> _refcount_init { 1 };

public:
	RefCounted();
	~RefCounted() override;

	bool init_ref();
	bool reference();
	bool unreference();
	int32_t get_reference_count() const;
};

} // namespace godot
