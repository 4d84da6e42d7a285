#include "guest_resort_world.hpp"

#include <resort_fixture.hpp>

#include <engine_double/script_double.hpp>

#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <algorithm>
#include <utility>

using namespace godot;
using veltrin_test::ResortFixture;

namespace veltrin_fuzz {

namespace {

const std::vector<const char *> RESORT_NAMES = {
	"dining",
	"social",
	"lodging",
	"bath",
	"wellness",
	"medical",
	"hygiene",
	"leisure",
	"gambling",
	"adult_only",
	"restricted_service",
	"staff_only",
	"entrance",
	"coffee",
	"chips",
	"cards",
	"cafe",
	"inn",
	"spa",
	"casino",
	"g1",
	"",
};

struct FacilityProfile {
	const char *id;
	std::vector<const char *> tags;
	std::vector<std::pair<const char *, int64_t>> inputs;
	std::vector<std::pair<const char *, int64_t>> stock;
};

const FacilityProfile PROFILES[] = {
	{ "cafe", { "dining", "social" }, { { "coffee", 1 } }, { { "coffee", 5 } } },
	{ "inn", { "lodging", "bath" }, {}, {} },
	{ "spa", { "wellness", "bath" }, {}, {} },
	{ "casino", { "gambling", "adult_only" }, { { "chips", 2 }, { "cards", 1 } }, { { "cards", 4 }, { "chips", 0 } } },
	{ "staff_room", { "staff_only" }, {}, {} },
	{ "gate", { "entrance" }, {}, {} },
};

const char *const INSTANCE_MEMBERS[] = { "instance_id", "definition_id", "local_inventory_id", "occupied_cells", "origin", "state", "queue_entries", "capacity", "base_service_minutes", "base_quality" };
const char *const RUNTIME_MEMBERS[] = { "path_service", "elevators", "facility_service", "definition_registry", "inventory_service", "guest_service" };

struct ResortScripts {
	Ref<engine_double::ScriptDouble> runtime;
	Ref<engine_double::ScriptDouble> elevators;
	Ref<engine_double::ScriptDouble> facilities;
	Ref<engine_double::ScriptDouble> registry;
	Ref<engine_double::ScriptDouble> inventory;
	Ref<engine_double::ScriptDouble> instance;
	Ref<engine_double::ScriptDouble> definition;
};

ResortScripts &resort_scripts() {
	static ResortScripts scripts = [] {
		ResortScripts made;
		made.elevators = engine_double::ScriptDouble::create("res://scripts/transport/elevator_service.gd");
		made.elevators->method("owns_connector", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
			const ResortPlan &plan = *current_resort_plan();
			if (plan.owns_connector_answer.get_type() != Variant::NIL) {
				return plan.owns_connector_answer;
			}
			return String(p_call[0]).begins_with("elevator.");
		});
		made.facilities = engine_double::ScriptDouble::create("res://scripts/facility/facility_service.gd");
		made.facilities->member("instances").method("get_instances", 0, [](const engine_double::ScriptCall &p_call) -> Variant {
			ResortPlan &plan = *current_resort_plan();
			plan.instance_calls++;
			if (plan.instance_calls > 1 && plan.later_instances.get_type() != Variant::NIL) {
				return plan.later_instances;
			}
			return p_call.member("instances");
		});
		made.registry = engine_double::ScriptDouble::create("res://scripts/core/definition_registry.gd");
		made.registry->method("get_facility", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
			return current_resort_plan()->definitions.get(p_call[0], Variant());
		});
		made.inventory = engine_double::ScriptDouble::create("res://scripts/inventory/inventory_service.gd");
		made.inventory->method("available_quantity", 2, [](const engine_double::ScriptCall &p_call) -> Variant {
			const Dictionary items = current_resort_plan()->stock.get(p_call[0], Dictionary());
			return items.get(p_call[1], int64_t(0));
		});
		made.instance = engine_double::ScriptDouble::create("res://scripts/facility/facility_instance.gd");
		for (const char *member : INSTANCE_MEMBERS) {
			made.instance->member(member);
		}
		made.definition = engine_double::ScriptDouble::create("res://scripts/data/facility_definition.gd");
		made.definition->member("tags").member("inventory_inputs");

		made.runtime = engine_double::ScriptDouble::create("res://autoload/simulation_runtime.gd");
		for (const char *member : RUNTIME_MEMBERS) {
			made.runtime->member(member);
		}
		made.runtime->method("_guest_access_batch_can_select", 0, [](const engine_double::ScriptCall &) -> Variant {
			return current_resort_plan()->can_select;
		});
		made.runtime->method("_guest_has_checked_in", 1, [](const engine_double::ScriptCall &) -> Variant {
			return current_resort_plan()->checked_in;
		});
		made.runtime->method("_find_facility_access_path", 2, [](const engine_double::ScriptCall &p_call) -> Variant {
			const ResortPlan &plan = *current_resort_plan();
			if (plan.access_answer.get_type() != Variant::NIL) {
				return plan.access_answer;
			}
			Dictionary answer;
			answer["path"] = Array();
			answer["reachable"] = false;
			answer["target_cell"] = p_call[0];
			return answer;
		});
		made.runtime->method("get_facility_business_price", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
			const Object *facility = p_call[0].get_validated_object();
			return current_resort_plan()->prices.get(int64_t(facility == nullptr ? 0 : facility->get_instance_id()), Variant());
		});
		made.runtime->method("_need_relief_for_facility_tags", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
			const ResortPlan &plan = *current_resort_plan();
			if (plan.relief_answer.get_type() != Variant::NIL) {
				return plan.relief_answer;
			}
			Dictionary relief;
			relief[StringName("leisure")] = Array(p_call[0]).size();
			return relief;
		});
		made.runtime->method("_service_category_for_tags", 1, [](const engine_double::ScriptCall &) -> Variant {
			return current_resort_plan()->category_answer;
		});
		made.runtime->method("_sorted_name_keys", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
			const ResortPlan &plan = *current_resort_plan();
			if (plan.sorted_keys_answer.get_type() != Variant::NIL) {
				return plan.sorted_keys_answer;
			}
			return veltrin_test::sorted_name_keys(p_call[0]);
		});
		return made;
	}();
	return scripts;
}

Variant replacement_object(GuestBytes &r_in, GuestObjectKeeper &r_keeper) {
	switch (r_in.below(4)) {
		case 0:
			return Variant();
		case 1:
			return r_keeper.freed_object();
		case 2:
			return r_keeper.plain_object();
		default:
			return r_keeper.script_object("res://scripts/facility/facility_instance.gd ");
	}
}

Variant instance_value(GuestBytes &r_in, GuestObjectKeeper &r_keeper, const GuestPathWorld &p_path, uint32_t p_member) {
	if (r_in.chance(48)) {
		return junk_value(r_in, r_keeper, RESORT_NAMES);
	}
	switch (p_member) {
		case 0:
		case 1:
		case 2:
			return name_value(r_in, RESORT_NAMES, r_in.chance(64));
		case 3: {
			Array cells;
			const uint32_t count = r_in.below(4);
			for (uint32_t i = 0; i < count; i++) {
				cells.append(p_path.cell(r_in));
			}
			return cells;
		}
		case 4:
			return p_path.cell(r_in);
		case 6: {
			Array queue;
			const uint32_t count = r_in.below(6);
			for (uint32_t i = 0; i < count; i++) {
				queue.append(StringName("waiting_guest"));
			}
			return queue;
		}
		default:
			return r_in.edge_int();
	}
}

} // namespace

ResortPlan *&current_resort_plan() {
	static ResortPlan *plan = nullptr;
	return plan;
}

GuestResortWorld::GuestResortWorld(GuestBytes &r_in, GuestObjectKeeper &r_keeper, GuestPathWorld &r_path, bool p_plain) :
        path(r_path), plain(p_plain) {
	current_resort_plan() = &plan;
	ResortScripts &scripts = resort_scripts();
	guests = std::make_unique<veltrin_test::GuestServiceFixture>(int64_t(100));
	guests->use_plain_objects(p_plain);
	runtime_object = scripts.runtime->instantiate();
	objects.push_back(Variant(runtime_object.ptr()));
	const Variant services[] = {
		path.object_variant(),
		Variant(scripts.elevators->instantiate().ptr()),
		Variant(scripts.facilities->instantiate().ptr()),
		Variant(scripts.registry->instantiate().ptr()),
		Variant(scripts.inventory->instantiate().ptr()),
		guests->service_variant(),
	};
	for (int i = 0; i < 6; i++) {
		objects.push_back(services[i]);
		ResortFixture::set_member(runtime_object.ptr(), RUNTIME_MEMBERS[i], services[i]);
	}
	ResortFixture::set_member(services[2].get_validated_object(), "instances", instances);
	decode_facilities(r_in, r_keeper);
	decode_services(r_in, r_keeper);
}

GuestResortWorld::~GuestResortWorld() {
	// The services' answers hold objects that hold nothing back; drop them first.
	plan.definitions.clear();
	plan.later_instances = Variant();
	if (current_resort_plan() == &plan) {
		current_resort_plan() = nullptr;
	}
}

void GuestResortWorld::decode_facilities(GuestBytes &r_in, GuestObjectKeeper &r_keeper) {
	ResortScripts &scripts = resort_scripts();
	const int32_t span = std::max(path.width - 2, 1);
	const uint32_t count = (r_in.byte() + 3) % 7;
	for (uint32_t i = 0; i < count; i++) {
		const FacilityProfile &profile = PROFILES[(r_in.below(8) + i) % 6];
		const StringName kind = String(profile.id) + "_kind";
		const Vector3i origin(2 + int32_t(i) % span, int32_t(i) % path.floors, int32_t(i / 2) % 2);

		const Variant definition = r_keeper.instance_of(scripts.definition, plain);
		Array tags = TypedArray<StringName>();
		for (const char *tag : profile.tags) {
			tags.append(StringName(tag));
		}
		Dictionary inputs;
		for (const auto &input : profile.inputs) {
			inputs[StringName(input.first)] = input.second;
		}
		const StringName inventory_id = String(profile.id) + "_stock";
		Dictionary stock;
		for (const auto &item : profile.stock) {
			stock[StringName(item.first)] = item.second;
		}
		plan.stock[inventory_id] = stock;

		const Variant instance = r_keeper.instance_of(scripts.instance, plain);
		Object *object = instance.get_validated_object();
		Array occupied;
		occupied.append(origin);
		const Variant values[] = { StringName(profile.id), kind, inventory_id, occupied, origin, int64_t(1), Array(), int64_t(2), int64_t(10), int64_t(50) };
		for (int m = 0; m < 10; m++) {
			ResortFixture::set_member(object, INSTANCE_MEMBERS[m], values[m]);
		}
		path.passable.erase(origin);
		plan.prices[int64_t(object->get_instance_id())] = int64_t(20 + 10 * int64_t(i));

		const uint32_t mutations = r_in.below(4);
		for (uint32_t m = 0; m < mutations; m++) {
			const uint32_t member = r_in.below(12);
			if (member == 10) {
				tags = r_in.chance(128) ? Array(name_list(r_in, RESORT_NAMES)) : Array();
				if (r_in.chance(32)) {
					ResortFixture::set_member(definition.get_validated_object(), "tags", junk_value(r_in, r_keeper, RESORT_NAMES));
				}
			} else if (member == 11) {
				Dictionary changed;
				const uint32_t entries = r_in.below(4);
				for (uint32_t e = 0; e < entries; e++) {
					const Variant key = name_value(r_in, { "coffee", "chips", "cards", "Water", "ale" }, r_in.chance(64));
					changed[key] = r_in.chance(32) ? junk_value(r_in, r_keeper, RESORT_NAMES, 0) : Variant(r_in.edge_int());
				}
				inputs = changed;
			} else {
				ResortFixture::set_member(object, INSTANCE_MEMBERS[member], instance_value(r_in, r_keeper, path, member));
			}
		}
		ResortFixture::set_member(definition.get_validated_object(), "tags", tags);
		ResortFixture::set_member(definition.get_validated_object(), "inventory_inputs", inputs);
		plan.definitions[kind] = r_in.chance(12) ? replacement_object(r_in, r_keeper) : definition;
		objects.push_back(definition);
		objects.push_back(instance);
		instances.append(r_in.chance(10) ? replacement_object(r_in, r_keeper) : instance);
	}
}

void GuestResortWorld::decode_services(GuestBytes &r_in, GuestObjectKeeper &r_keeper) {
	veltrin_test::GuestValues guest;
	guest.current_cell = Vector3i(1, 0, 0);
	if (r_in.chance(32)) {
		guest.current_cell = r_in.chance(200) ? Variant(path.cell(r_in)) : junk_value(r_in, r_keeper, RESORT_NAMES, 0);
	}
	objects.push_back(Variant(guests->add_guest("g1", guest)));
	const uint32_t guest_answer = r_in.below(16);
	if (guest_answer >= 13) {
		guests->set_guest_answer("g1", guest_answer == 13 ? Variant() : replacement_object(r_in, r_keeper));
	}
	if (r_in.chance(16)) {
		const uint32_t member = r_in.below(6);
		const Variant replacement = r_in.chance(128) ? replacement_object(r_in, r_keeper) : objects[1 + r_in.below(6)];
		ResortFixture::set_member(runtime_object.ptr(), RUNTIME_MEMBERS[member], replacement);
	}
	const std::vector<const char *> &names = RESORT_NAMES;
	if (r_in.chance(16)) {
		plan.can_select = r_in.chance(128) ? Variant(false) : junk_value(r_in, r_keeper, names, 0);
	}
	if (r_in.chance(24)) {
		plan.checked_in = r_in.chance(128) ? Variant(true) : junk_value(r_in, r_keeper, names, 0);
	}
	if (r_in.chance(24)) {
		plan.access_answer = junk_value(r_in, r_keeper, names);
	}
	if (r_in.chance(16)) {
		plan.relief_answer = junk_value(r_in, r_keeper, names);
	}
	if (r_in.chance(16)) {
		plan.category_answer = junk_value(r_in, r_keeper, names, 0);
	}
	if (r_in.chance(16)) {
		plan.sorted_keys_answer = junk_value(r_in, r_keeper, names);
	}
	if (r_in.chance(16)) {
		plan.owns_connector_answer = junk_value(r_in, r_keeper, names, 0);
	}
	if (r_in.chance(16)) {
		plan.later_instances = junk_value(r_in, r_keeper, names);
	}
	if (r_in.chance(16)) {
		path.plan.route_cost = r_in.chance(128) ? Variant(r_in.edge_int()) : junk_value(r_in, r_keeper, names, 0);
	}
	if (r_in.chance(16)) {
		path.plan.connector_record = junk_value(r_in, r_keeper, names);
	}
}

} // namespace veltrin_fuzz
