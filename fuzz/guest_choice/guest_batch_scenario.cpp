#include "guest_batch_scenario.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/typed_dictionary.hpp>

using namespace godot;

namespace veltrin_fuzz {

namespace {

const std::vector<const char *> INTEGER_KEYS = {
	"travel_minutes",
	"wait_minutes",
	"expected_wait",
	"wait_hard_limit",
	"risk_level",
	"risk",
	"illegal_level",
	"expected_quality",
	"quality",
	"minimum_quality",
	"estimated_total_gold",
	"price_gold",
	"quoted_price",
	"need_priority",
	"preference",
	"novelty",
	"group_fit",
	"price_burden",
	"risk_sensitivity",
	"repetition_penalty",
	"urgency",
};

const std::vector<const char *> SWITCH_KEYS = {
	"inputs_available",
	"adult_only",
	"requires_adult_verified",
	"is_open",
	"open",
	"open_at_arrival",
	"reachable",
	"credit_allowed",
	"allow_credit",
	"discretionary",
	"respect_survival_reserve",
	"legal_permission_override",
	"ok",
};

const std::vector<const char *> TEXT_KEYS = { "facility_id", "instance_id", "service_category" };
const std::vector<const char *> LIST_KEYS = { "required_guest_tags", "forbidden_guest_tags", "allowed_guest_types", "facility_tags", "tags" };
const std::vector<const char *> NEED_MAP_KEYS = { "need_relief", "need_effects" };
const std::vector<const char *> NEEDS = { "hunger", "sleep", "hygiene", "medical", "leisure", "intimacy" };
const std::vector<const char *> TAGS = { "dining", "gambling", "leisure", "adult", "intimacy", "tourism", "entertainment", "spendthrift", "frugal", "vip", "tourist", "" };
const std::vector<const char *> CATEGORIES = { "food", "leisure", "entertainment", "gambling", "intimacy", "tourism", "adult", "service" };
const std::vector<const char *> IDS = { "f0", "f1", "a9", "a10", "", "cafe", "spa" };
const std::vector<const char *> CONTEXT_KEYS = { "absolute_minute", "wait_hard_limit", "adult_content_enabled", "exit_threshold", "exit_reason", "unknown_key" };

const std::vector<const char *> GUEST_MEMBERS = { "guest_type_id", "wallet_gold", "credit_limit_gold", "debt_gold", "planned_exit_at", "needs", "addiction_by_tag", "visited_facility_ids" };
const std::vector<const char *> DEFINITION_MEMBERS = { "risk_tolerance", "legal_sensitivity", "minimum_quality", "adult_verified", "tags", "preference_weights" };

Variant flag_value(GuestBytes &r_in) {
	switch (r_in.below(4)) {
		case 0:
			return true;
		case 1:
			return false;
		case 2:
			return int64_t(r_in.below(3));
		default:
			return r_in.edge_int();
	}
}

Variant need_map(GuestBytes &r_in, GuestObjectKeeper &r_keeper) {
	Dictionary map;
	const uint32_t shape = r_in.below(16);
	if (shape == 14) {
		map = TypedDictionary<StringName, int64_t>();
	}
	const uint32_t count = r_in.below(8);
	for (uint32_t i = 0; i < count; i++) {
		const Variant key = r_in.chance(16) ? junk_value(r_in, r_keeper, NEEDS, 0) : name_value(r_in, NEEDS, r_in.chance(64));
		const Variant level = r_in.chance(24) ? junk_value(r_in, r_keeper, NEEDS, 0) : Variant(r_in.edge_int());
		map[key] = level;
	}
	if (shape == 15) {
		map.make_read_only();
	}
	return map;
}

// A value for a candidate key, of the kind the key holds, sometimes anything at all.
Variant candidate_value(GuestBytes &r_in, GuestObjectKeeper &r_keeper, const char *p_key, uint32_t p_kind) {
	if (r_in.chance(20)) {
		return junk_value(r_in, r_keeper, TAGS);
	}
	switch (p_kind) {
		case 0:
			return r_in.edge_int();
		case 1:
			return flag_value(r_in);
		case 2:
			return name_value(r_in, std::string(p_key) == "service_category" ? CATEGORIES : IDS, r_in.chance(100));
		case 3:
			return name_list(r_in, TAGS);
		default:
			return r_in.chance(40) ? Variant(r_in.edge_int()) : need_map(r_in, r_keeper);
	}
}

Dictionary baseline_candidate(uint32_t p_profile, int p_index) {
	Dictionary row;
	const StringName id(String("f") + String::num_int64(p_index));
	if (p_profile == 2) {
		row[StringName("instance_id")] = id;
		return row;
	}
	row[StringName("facility_id")] = id;
	if (p_profile == 1) {
		return row;
	}
	// The shape of a projection row.
	row[StringName("facility_tags")] = Array();
	row[StringName("is_open")] = true;
	row[StringName("reachable")] = true;
	row[StringName("travel_minutes")] = int64_t(5 + p_index);
	row[StringName("expected_wait")] = int64_t(3);
	row[StringName("estimated_total_gold")] = int64_t(10 * (p_index + 1));
	row[StringName("expected_quality")] = int64_t(50);
	Dictionary relief;
	relief[StringName("hunger")] = int64_t(80);
	relief[StringName("leisure")] = int64_t(10);
	row[StringName("need_relief")] = relief;
	row[StringName("risk_level")] = int64_t(0);
	row[StringName("illegal_level")] = int64_t(0);
	row[StringName("group_fit")] = int64_t(10);
	row[StringName("service_category")] = StringName(p_profile == 3 ? "gambling" : "food");
	row[StringName("inputs_available")] = true;
	if (p_profile == 3) {
		row[StringName("credit_allowed")] = true;
		row[StringName("urgency")] = int64_t(40);
		row[StringName("need_effects")] = Dictionary();
	}
	return row;
}

Variant guest_member_value(GuestBytes &r_in, GuestObjectKeeper &r_keeper, const std::string &p_member) {
	if (r_in.chance(32)) {
		return junk_value(r_in, r_keeper, TAGS);
	}
	if (p_member == "guest_type_id") {
		return name_value(r_in, { "tourist", "vip", "" }, r_in.chance(100));
	}
	if (p_member == "needs") {
		Dictionary needs = veltrin_test::guest_needs(r_in.edge_int(), r_in.edge_int(), 50, 50, r_in.edge_int(), 50);
		if (r_in.chance(64)) {
			needs.erase(StringName(NEEDS[r_in.below(6)]));
		}
		if (r_in.chance(64)) {
			needs[String(NEEDS[r_in.below(6)])] = junk_value(r_in, r_keeper, NEEDS, 0);
		}
		return needs;
	}
	if (p_member == "addiction_by_tag" || p_member == "preference_weights") {
		Dictionary map;
		const uint32_t count = r_in.below(4);
		for (uint32_t i = 0; i < count; i++) {
			const Variant key = name_value(r_in, TAGS, r_in.chance(100));
			const Variant value = r_in.chance(20) ? junk_value(r_in, r_keeper, TAGS, 0) : Variant(r_in.edge_int());
			map[key] = value;
		}
		if (r_in.chance(20)) {
			map.make_read_only();
		}
		return map;
	}
	if (p_member == "visited_facility_ids" || p_member == "tags") {
		return name_list(r_in, p_member == "tags" ? TAGS : IDS);
	}
	if (p_member == "adult_verified") {
		return flag_value(r_in);
	}
	return r_in.edge_int();
}

} // namespace

const std::vector<const char *> &guest_batch_fuzz_names() {
	static const std::vector<const char *> names = [] {
		std::vector<const char *> all;
		for (const std::vector<const char *> *list : { &INTEGER_KEYS, &SWITCH_KEYS, &TEXT_KEYS, &LIST_KEYS, &NEED_MAP_KEYS, &NEEDS, &TAGS, &CATEGORIES, &CONTEXT_KEYS, &GUEST_MEMBERS, &DEFINITION_MEMBERS }) {
			all.insert(all.end(), list->begin(), list->end());
		}
		for (const char *name : { "get_guest", "get_definition", "current_minute", "supported", "ordered", "accepted", "rejected", "ranked", "reason", "utility", "utility_terms" }) {
			all.push_back(name);
		}
		return all;
	}();
	return names;
}

GuestBatchScenario::GuestBatchScenario(GuestBytes &r_in, GuestObjectKeeper &r_keeper, bool p_plain_objects) {
	const uint32_t service_shape = r_in.below(16);
	const Variant current_minute = service_shape == 1 ? junk_value(r_in, r_keeper, TAGS) : Variant(int64_t(100));
	service = std::make_unique<veltrin_test::GuestServiceFixture>(current_minute, service_shape == 2 ? String("res://scripts/guest/guest_service.gd ") : String(veltrin_test::GUEST_SERVICE_SCRIPT_PATH));
	service->use_plain_objects(p_plain_objects);
	objects.push_back(service->service_variant());
	decode_guest(r_in, r_keeper);
	decode_facilities(r_in, r_keeper);
	decode_context(r_in, r_keeper);
	decode_arguments(r_in, r_keeper);
}

void GuestBatchScenario::decode_guest(GuestBytes &r_in, GuestObjectKeeper &r_keeper) {
	veltrin_test::GuestValues guest;
	veltrin_test::GuestDefinitionValues definition;
	Array visited;
	visited.append(String("f1"));
	guest.visited_facility_ids = visited;
	Dictionary weights;
	weights[StringName("dining")] = int64_t(3);
	definition.preference_weights = weights;

	const uint32_t mutations = r_in.below(6);
	for (uint32_t i = 0; i < mutations; i++) {
		const uint32_t target = r_in.below(uint32_t(GUEST_MEMBERS.size() + DEFINITION_MEMBERS.size()));
		if (target < GUEST_MEMBERS.size()) {
			const std::string member = GUEST_MEMBERS[target];
			const Variant value = guest_member_value(r_in, r_keeper, member);
			Variant *slots[] = { &guest.guest_type_id, &guest.wallet_gold, &guest.credit_limit_gold, &guest.debt_gold, &guest.planned_exit_at, &guest.needs, &guest.addiction_by_tag, &guest.visited_facility_ids };
			*slots[target] = value;
		} else {
			const uint32_t index = target - uint32_t(GUEST_MEMBERS.size());
			const Variant value = guest_member_value(r_in, r_keeper, DEFINITION_MEMBERS[index]);
			Variant *slots[] = { &definition.risk_tolerance, &definition.legal_sensitivity, &definition.minimum_quality, &definition.adult_verified, &definition.tags, &definition.preference_weights };
			*slots[index] = value;
		}
	}
	objects.push_back(Variant(service->add_guest("g1", guest)));
	const StringName type_id = guest.guest_type_id.get_type() == Variant::STRING || guest.guest_type_id.get_type() == Variant::STRING_NAME ? StringName(guest.guest_type_id) : StringName("tourist");
	objects.push_back(Variant(service->add_definition(type_id, definition)));

	// What get_guest and get_definition answer instead of the objects.
	const uint32_t answers = r_in.below(16);
	if (answers >= 12) {
		Variant answer;
		switch (answers) {
			case 12:
				answer = r_keeper.freed_object();
				break;
			case 13:
				answer = r_keeper.plain_object();
				break;
			case 14:
				answer = objects[2];
				break;
			default:
				answer = junk_value(r_in, r_keeper, TAGS);
				break;
		}
		if (r_in.chance(128)) {
			service->set_guest_answer("g1", answer);
		} else {
			service->set_definition_answer(type_id, answer);
		}
	}
}

void GuestBatchScenario::decode_facilities(GuestBytes &r_in, GuestObjectKeeper &r_keeper) {
	const uint32_t shape = r_in.below(32);
	Array list;
	if (shape == 1) {
		list = TypedArray<Dictionary>();
	}
	const uint32_t count = (r_in.byte() + 3) % 9;
	for (uint32_t i = 0; i < count; i++) {
		const uint32_t element = r_in.below(16);
		if (element == 14) {
			list.append(junk_value(r_in, r_keeper, TAGS));
			continue;
		}
		if (element == 15 && !list.is_empty()) {
			// The same candidate twice: one shared Dictionary.
			list.append(list[r_in.below(uint32_t(list.size()))]);
			continue;
		}
		Dictionary row = baseline_candidate(element % 4, int(i));
		const uint32_t mutations = r_in.below(5);
		for (uint32_t m = 0; m < mutations; m++) {
			const uint32_t kind = r_in.below(5);
			const std::vector<const char *> *keys[] = { &INTEGER_KEYS, &SWITCH_KEYS, &TEXT_KEYS, &LIST_KEYS, &NEED_MAP_KEYS };
			const char *key = (*keys[kind])[r_in.below(uint32_t(keys[kind]->size()))];
			const uint32_t action = r_in.below(8);
			if (action == 7) {
				row.erase(StringName(key));
				continue;
			}
			const Variant value = candidate_value(r_in, r_keeper, key, kind);
			if (action == 6) {
				// The same entry under the String form of its key.
				row.erase(StringName(key));
				row[String(key)] = value;
			} else {
				row[StringName(key)] = value;
			}
		}
		if (r_in.chance(8)) {
			Dictionary typed = TypedDictionary<StringName, Variant>();
			typed.merge(row);
			row = typed;
		}
		if (r_in.chance(16)) {
			row.make_read_only();
		}
		list.append(row);
	}
	if (shape == 2) {
		list.make_read_only();
	}
	facilities = list;
}

void GuestBatchScenario::decode_context(GuestBytes &r_in, GuestObjectKeeper &r_keeper) {
	Dictionary map;
	const uint32_t count = r_in.below(4);
	for (uint32_t i = 0; i < count; i++) {
		const uint32_t index = r_in.below(uint32_t(CONTEXT_KEYS.size()));
		const std::string key = CONTEXT_KEYS[index];
		Variant value;
		if (r_in.chance(40)) {
			value = junk_value(r_in, r_keeper, TAGS, 1);
		} else if (key == "adult_content_enabled") {
			value = flag_value(r_in);
		} else if (key == "exit_reason") {
			value = name_value(r_in, { "tired", "broke" }, r_in.chance(128));
		} else {
			value = r_in.edge_int();
		}
		const Variant name = r_in.chance(24) ? junk_value(r_in, r_keeper, CONTEXT_KEYS, 0) : name_value(r_in, { CONTEXT_KEYS[index] }, r_in.chance(100));
		map[name] = value;
	}
	if (r_in.chance(16)) {
		map.make_read_only();
	}
	context = map;
}

void GuestBatchScenario::decode_arguments(GuestBytes &r_in, GuestObjectKeeper &r_keeper) {
	owner = service->service_variant();
	switch (r_in.below(24)) {
		case 20:
			owner = Variant(static_cast<Object *>(nullptr));
			break;
		case 21:
			owner = r_keeper.freed_object();
			freed_argument_count++;
			break;
		case 22:
			owner = objects[1];
			break;
		case 23:
			owner = r_keeper.script_object("res://scripts/guest/guest_service.gd");
			break;
		default:
			break;
	}
	guest_id = StringName("g1");
	switch (r_in.below(16)) {
		case 13:
			guest_id = StringName("nobody");
			break;
		case 14:
			guest_id = String("g1");
			break;
		case 15:
			guest_id = argument_of(junk_value(r_in, r_keeper, TAGS, 0), Variant::STRING_NAME, guest_id);
			break;
		default:
			break;
	}
	// Arguments of the wrong type reach the method converted by the engine.
	if (r_in.chance(6)) {
		facilities = argument_of(junk_value(r_in, r_keeper, TAGS), Variant::ARRAY, facilities);
	}
	if (r_in.chance(6)) {
		context = argument_of(junk_value(r_in, r_keeper, TAGS), Variant::DICTIONARY, context);
	}
}

std::vector<Variant> GuestBatchScenario::arguments() const {
	return { owner, guest_id, facilities, context };
}

int64_t GuestBatchScenario::expected_row_count() const {
	const Array list = facilities;
	const StringName facility_id("facility_id");
	const StringName instance_id("instance_id");
	int64_t count = 0;
	for (int64_t i = 0; i < list.size(); i++) {
		if (list[i].get_type() != Variant::DICTIONARY) {
			continue;
		}
		const Dictionary row = list[i];
		const Variant id = row.has(facility_id) ? row.get(facility_id, Variant()) : row.get(instance_id, Variant());
		const bool text = id.get_type() == Variant::STRING || id.get_type() == Variant::STRING_NAME;
		if (text && !String(id).is_empty()) {
			count++;
		}
	}
	return count;
}

std::vector<SnapshotRoot> GuestBatchScenario::roots() const {
	std::vector<SnapshotRoot> roots;
	for (size_t i = 0; i < objects.size(); i++) {
		roots.emplace_back("object" + std::to_string(i), objects[i]);
	}
	roots.emplace_back("facilities", facilities);
	roots.emplace_back("context", context);
	return roots;
}

} // namespace veltrin_fuzz
