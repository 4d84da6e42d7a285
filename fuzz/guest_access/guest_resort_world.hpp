#pragma once

// The simulation runtime and its services for the projection fuzzer, around a
// GuestPathWorld: elevator, facility, registry and inventory services, the guest service of
// the tests with guest g1, facility instances and definitions like the tests' small resort
// (a cafe, an inn, a spa, a casino short of chips, a staff room, an entrance gate), each
// mutated by the input. What the runtime's and the services' methods answer is decoded too.

#include "guest_fuzz_values.hpp"
#include "guest_path_world.hpp"

#include <guest_service_fixture.hpp>

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <memory>
#include <vector>

namespace veltrin_fuzz {

// What the runtime's and the services' methods answer, for one input.
struct ResortPlan {
	godot::Variant can_select = true;
	godot::Variant checked_in = false;
	// _find_facility_access_path: a route to the facility's origin when NIL.
	godot::Variant access_answer;
	godot::Variant relief_answer;
	godot::Variant category_answer = godot::String("scripted");
	godot::Variant sorted_keys_answer;
	godot::Variant owns_connector_answer;
	// get_instances from its second call on, when not NIL.
	godot::Variant later_instances;
	int64_t instance_calls = 0;
	godot::Dictionary definitions;
	godot::Dictionary stock;
	godot::Dictionary prices;
};

class GuestResortWorld {
public:
	// p_plain: the guests, definitions and facility instances are plain Objects, which a
	// misbehaving script may free.
	GuestResortWorld(GuestBytes &r_in, GuestObjectKeeper &r_keeper, GuestPathWorld &r_path, bool p_plain = false);
	~GuestResortWorld();
	GuestResortWorld(const GuestResortWorld &) = delete;
	GuestResortWorld &operator=(const GuestResortWorld &) = delete;

	godot::Object *runtime() const { return runtime_object.ptr(); }
	ResortPlan plan;
	GuestPathWorld &path;
	std::unique_ptr<veltrin_test::GuestServiceFixture> guests;
	godot::Array instances;
	// Every object of the resort, for snapshots; reference-counted ones live through these.
	std::vector<godot::Variant> objects;

private:
	godot::Ref<godot::RefCounted> runtime_object;
	bool plain = false;
	void decode_facilities(GuestBytes &r_in, GuestObjectKeeper &r_keeper);
	void decode_services(GuestBytes &r_in, GuestObjectKeeper &r_keeper);
};

ResortPlan *&current_resort_plan();

} // namespace veltrin_fuzz
