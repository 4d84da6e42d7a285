#include "demo_resort.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/typed_array.hpp>

#include <algorithm>
#include <random>
#include <utility>

using namespace godot;
using veltrin_test::FacilityValues;
using veltrin_test::GuestDefinitionValues;
using veltrin_test::GuestValues;

namespace veltrin_demo {

namespace {

struct KindTraits {
	const char *name;
	std::vector<const char *> tags;
	std::vector<std::pair<const char *, int64_t>> inputs;
	int64_t base_price;
};

enum Kind {
	GATE,
	CAFE,
	BAKERY,
	NOODLE_BAR,
	CASINO,
	LOUNGE,
	KARAOKE,
	STAFF_ROOM,
	INN,
	CAPSULE_HOTEL,
	BATHHOUSE,
	SPA,
	KIND_COUNT,
};

const KindTraits KINDS[KIND_COUNT] = {
	{ "gate", { "entrance" }, {}, 0 },
	{ "cafe", { "dining", "social" }, { { "coffee", 1 } }, 12 },
	{ "bakery", { "dining" }, { { "flour", 2 } }, 6 },
	{ "noodle_bar", { "dining" }, {}, 8 },
	{ "casino", { "gambling", "adult_only" }, { { "chips", 2 }, { "cards", 1 } }, 60 },
	{ "lounge", { "social", "leisure" }, {}, 20 },
	{ "karaoke", { "social", "entertainment" }, {}, 15 },
	{ "staff_room", { "staff_only" }, {}, 0 },
	{ "inn", { "lodging", "bath" }, {}, 90 },
	{ "capsule_hotel", { "lodging" }, {}, 25 },
	{ "bathhouse", { "bath" }, {}, 15 },
	{ "spa", { "wellness", "bath" }, {}, 40 },
};

struct FacilityPlan {
	std::string id;
	Kind kind;
	int64_t price;
	int64_t quality;
	int64_t queue;
	int64_t capacity;
	int64_t service_minutes;
	int64_t state;
	// On hand, per input of the kind, in the kind's order.
	std::vector<int64_t> stock;
};

// The built-in resort, in placement order: entrance and food on the ground floor, evening
// entertainment above, rooms and baths at the top. Each one shows the guests something:
// the bakery is out of flour, the noodle bar's queue is too long, the karaoke bar is closed.
const FacilityPlan BUILT_IN[] = {
	{ "gate", GATE, 0, 50, 0, 4, 5, veltrin_test::FACILITY_OPEN, {} },
	{ "cafe", CAFE, 12, 60, 3, 2, 10, veltrin_test::FACILITY_OPEN, { 5 } },
	{ "bakery", BAKERY, 6, 55, 0, 2, 8, veltrin_test::FACILITY_OPEN, { 1 } },
	{ "noodle_bar", NOODLE_BAR, 8, 65, 8, 1, 20, veltrin_test::FACILITY_OPEN, {} },
	{ "casino", CASINO, 60, 70, 2, 4, 15, veltrin_test::FACILITY_OPEN, { 10, 4 } },
	{ "lounge", LOUNGE, 20, 60, 1, 3, 12, veltrin_test::FACILITY_DEGRADED, {} },
	{ "karaoke", KARAOKE, 15, 55, 0, 2, 10, veltrin_test::FACILITY_CLOSED, {} },
	{ "staff_room", STAFF_ROOM, 0, 50, 0, 2, 10, veltrin_test::FACILITY_OPEN, {} },
	{ "inn", INN, 90, 80, 0, 6, 10, veltrin_test::FACILITY_OPEN, {} },
	{ "capsule_hotel", CAPSULE_HOTEL, 25, 30, 0, 8, 10, veltrin_test::FACILITY_OPEN, {} },
	{ "bathhouse", BATHHOUSE, 15, 50, 2, 4, 10, veltrin_test::FACILITY_OPEN, {} },
	{ "spa", SPA, 40, 75, 1, 2, 15, veltrin_test::FACILITY_OPEN, {} },
};
constexpr int64_t BUILT_IN_COUNT = int64_t(sizeof(BUILT_IN) / sizeof(BUILT_IN[0]));

struct GuestType {
	const char *id;
	std::vector<const char *> tags;
	std::vector<std::pair<const char *, int64_t>> preferences;
	int64_t minimum_quality;
	int64_t risk_tolerance;
};

const GuestType GUEST_TYPES[] = {
	{ "tourist", {}, { { "dining", 3 }, { "social", 2 } }, 0, 50 },
	{ "high_roller", { "spendthrift" }, { { "gambling", 8 }, { "social", 3 } }, 50, 80 },
	{ "backpacker", { "frugal" }, { { "bath", 4 }, { "lodging", 2 } }, 40, 30 },
};
constexpr int64_t GUEST_TYPE_COUNT = int64_t(sizeof(GUEST_TYPES) / sizeof(GUEST_TYPES[0]));

struct GuestPlan {
	std::string id;
	int64_t type;
	std::string profile;
	// hunger, sleep, hygiene, medical, leisure, intimacy
	int64_t needs[6];
	int64_t wallet;
	int64_t credit;
	int64_t planned_exit;
	std::vector<const char *> visited;
};

// Slots per floor alternate between the front and the back layer and leave every third
// column free on both, so that each floor stays walkable end to end.
struct Floorplan {
	int32_t floors = 3;
	int32_t slots = 4;
	int32_t width() const { return 3 * slots + 3; }
	Vector3i slot_origin(int64_t p_index) const {
		const int32_t slot = int32_t(p_index % slots);
		return Vector3i(2 + 3 * slot, int32_t(p_index / slots), slot % 2);
	}
	// A column free on both layers.
	int32_t free_column(int64_t p_index) const { return 1 + 3 * int32_t(p_index % (slots + 1)); }
};

Floorplan plan_for(int64_t p_facilities) {
	Floorplan plan;
	while (plan.floors < 24 && int64_t(plan.floors) * plan.floors * 2 < p_facilities) {
		plan.floors++;
	}
	plan.slots = int32_t(std::max<int64_t>(4, (p_facilities + plan.floors - 1) / plan.floors));
	return plan;
}

TypedArray<StringName> names_of(const std::vector<const char *> &p_names) {
	TypedArray<StringName> names;
	for (const char *name : p_names) {
		names.append(StringName(name));
	}
	return names;
}

Dictionary needs_of(const int64_t (&p_needs)[6]) {
	return veltrin_test::guest_needs(p_needs[0], p_needs[1], p_needs[2], p_needs[3], p_needs[4], p_needs[5]);
}

// Draws are taken as remainders of the generator's raw output, which the standard fixes,
// so a seed gives the same resort with every standard library.
class Draw {
	std::mt19937_64 engine;

public:
	explicit Draw(uint64_t p_seed) :
	        engine(p_seed) {}
	int64_t below(int64_t p_bound) { return int64_t(engine() % uint64_t(p_bound)); }
	int64_t between(int64_t p_low, int64_t p_high) { return p_low + below(p_high - p_low + 1); }
};

FacilityPlan generated_facility(Draw &r_draw, int64_t p_index) {
	static const Kind OFFERED[] = { CAFE, BAKERY, NOODLE_BAR, CASINO, LOUNGE, KARAOKE, INN, CAPSULE_HOTEL, BATHHOUSE, SPA };
	FacilityPlan item;
	item.kind = r_draw.below(40) == 0 ? STAFF_ROOM : OFFERED[r_draw.below(int64_t(sizeof(OFFERED) / sizeof(OFFERED[0])))];
	item.id = std::string(KINDS[item.kind].name) + "_" + std::to_string(p_index + 1);
	item.price = KINDS[item.kind].base_price * r_draw.between(50, 150) / 100;
	item.quality = r_draw.between(20, 100);
	item.queue = r_draw.below(7);
	item.capacity = r_draw.between(1, 6);
	item.service_minutes = r_draw.between(5, 25);
	const int64_t roll = r_draw.below(20);
	item.state = roll == 0 ? veltrin_test::FACILITY_CLOSED : roll == 1 ? veltrin_test::FACILITY_DEGRADED
	                                                                   : veltrin_test::FACILITY_OPEN;
	for (size_t i = 0; i < KINDS[item.kind].inputs.size(); i++) {
		item.stock.push_back(r_draw.below(6));
	}
	return item;
}

std::vector<GuestPlan> built_in_guests() {
	return {
		{ "ada", 0, "tourist, hungry and curious, 150 gold", { 85, 30, 40, 10, 55, 5 }, 150, 0, 900, { "cafe" } },
		{ "bruno", 1, "high roller, 600 gold and 200 on credit, here for the tables", { 30, 20, 30, 0, 90, 40 }, 600, 200, 1200, {} },
		{ "chiyo", 2, "frugal backpacker, worn out, 40 gold, leaves in 12 minutes", { 40, 90, 75, 20, 20, 0 }, 40, 0, DEMO_NOW_MINUTE + 12, {} },
	};
}

Vector3i built_in_guest_cell(const Floorplan &p_plan, int64_t p_index) {
	switch (p_index) {
		case 0:
			return Vector3i(1, 0, 0);
		case 1:
			return Vector3i(p_plan.free_column(p_plan.slots), std::min(1, p_plan.floors - 1), 1);
		default:
			return Vector3i(4, p_plan.floors - 1, 0);
	}
}

GuestPlan generated_guest(Draw &r_draw, int64_t p_index) {
	GuestPlan item;
	item.id = "guest_" + std::to_string(p_index + 1);
	item.type = r_draw.below(GUEST_TYPE_COUNT);
	for (int64_t &need : item.needs) {
		need = r_draw.below(101);
	}
	item.wallet = r_draw.between(20, 800);
	item.credit = r_draw.below(2) == 0 ? 0 : r_draw.below(300);
	item.planned_exit = DEMO_NOW_MINUTE + r_draw.between(15, 400);
	item.profile = std::string(GUEST_TYPES[item.type].id) + ", " + std::to_string(item.wallet) + " gold";
	return item;
}

} // namespace

DemoResort::DemoResort(int64_t p_facilities, int64_t p_guests, uint64_t p_seed) {
	const Floorplan plan = plan_for(p_facilities);
	veltrin_test::ResortLayout layout;
	layout.width = plan.width();
	layout.floors = plan.floors;
	resort = std::make_unique<veltrin_test::ResortFixture>(layout);
	// The guests are past the gate: entrances are not offered to them.
	resort->options().guest_checked_in = true;

	for (const KindTraits &kind : KINDS) {
		Dictionary inputs;
		for (const auto &input : kind.inputs) {
			inputs[StringName(input.first)] = input.second;
		}
		resort->add_definition(StringName(String(kind.name) + "_kind"), names_of(kind.tags), inputs);
	}

	Draw draw(p_seed);
	for (int64_t i = 0; i < p_facilities; i++) {
		const FacilityPlan item = i < BUILT_IN_COUNT ? BUILT_IN[i] : generated_facility(draw, i);
		const KindTraits &kind = KINDS[item.kind];
		const Vector3i origin = plan.slot_origin(i);
		FacilityValues values = veltrin_test::facility_values(item.id.c_str(), (std::string(kind.name) + "_kind").c_str(), origin, 2);
		values.price = item.price;
		values.base_quality = item.quality;
		values.queue_entries = veltrin_test::queue_of(item.queue);
		values.capacity = item.capacity;
		values.base_service_minutes = item.service_minutes;
		values.state = item.state;
		resort->add_facility(values);
		for (size_t input = 0; input < kind.inputs.size(); input++) {
			resort->set_stock(StringName(String(item.id.c_str()) + "_stock"), kind.inputs[input].first, item.stock[input]);
		}
		placed.push_back(FacilityOnMap { item.id, kind.name, MapCell { origin.x, origin.y, origin.z }, 2, item.state != veltrin_test::FACILITY_CLOSED });
	}

	for (const GuestType &type : GUEST_TYPES) {
		GuestDefinitionValues definition;
		definition.tags = names_of(type.tags);
		Dictionary weights;
		for (const auto &preference : type.preferences) {
			weights[StringName(preference.first)] = preference.second;
		}
		definition.preference_weights = weights;
		definition.minimum_quality = type.minimum_quality;
		definition.risk_tolerance = type.risk_tolerance;
		resort->guests().add_definition(type.id, definition);
	}
	const std::vector<GuestPlan> built_in = built_in_guests();
	for (int64_t i = 0; i < p_guests; i++) {
		const GuestPlan item = i < int64_t(built_in.size()) ? built_in[size_t(i)] : generated_guest(draw, i);
		const Vector3i cell = i < int64_t(built_in.size()) ? built_in_guest_cell(plan, i) : Vector3i(plan.free_column(draw.below(plan.slots + 1)), int32_t(draw.below(plan.floors)), int32_t(draw.below(2)));
		GuestValues values = veltrin_test::guest_values_at(cell);
		values.guest_type_id = StringName(GUEST_TYPES[item.type].id);
		values.needs = needs_of(item.needs);
		values.wallet_gold = item.wallet;
		values.credit_limit_gold = item.credit;
		values.planned_exit_at = item.planned_exit;
		values.visited_facility_ids = names_of(item.visited);
		resort->guests().add_guest(StringName(item.id.c_str()), values);
		guest_list.push_back(DemoGuest { StringName(item.id.c_str()), item.profile, cell });
	}

	walk = resort->walk_graph();
	resort->warm_step_memo();
}

} // namespace veltrin_demo
