#include "guest_service_fixture.hpp"

#include <engine_double/call_log.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/core/object.hpp>

using namespace godot;

namespace veltrin_test {

const char *const GUEST_SERVICE_SCRIPT_PATH = "res://scripts/guest/guest_service.gd";
const char *const GUEST_RUNTIME_SCRIPT_PATH = "res://scripts/guest/guest_runtime.gd";
const char *const GUEST_DEFINITION_SCRIPT_PATH = "res://scripts/guest/guest_definition.gd";

namespace {

using engine_double::CallLogPause;

} // namespace

// What the service's methods answer, keyed by guest id and by type id.
struct GuestServiceFixture::Answers {
	Dictionary guests;
	Dictionary definitions;
};

Dictionary guest_needs(int64_t p_hunger, int64_t p_sleep, int64_t p_hygiene, int64_t p_medical, int64_t p_leisure, int64_t p_intimacy) {
	Dictionary needs;
	needs[StringName("hunger")] = p_hunger;
	needs[StringName("sleep")] = p_sleep;
	needs[StringName("hygiene")] = p_hygiene;
	needs[StringName("medical")] = p_medical;
	needs[StringName("leisure")] = p_leisure;
	needs[StringName("intimacy")] = p_intimacy;
	return needs;
}

void free_in_getter(const Ref<engine_double::ScriptDouble> &p_script, const StringName &p_member, uint64_t p_victim) {
	const StringName getter(String("_get_") + String(p_member));
	p_script->accessors(p_member, getter);
	p_script->method(getter, 0, [p_member, p_victim](const engine_double::ScriptCall &p_call) {
		// Read first: the victim may be the object itself.
		const Variant value = p_call.member(p_member);
		if (Object *alive = ObjectDB::get_instance(p_victim)) {
			memdelete(alive);
		}
		return value;
	});
}

GuestServiceFixture::GuestServiceFixture(const Variant &p_current_minute, const String &p_service_path) :
        answers(std::make_shared<Answers>()) {
	guest_script_resource = engine_double::ScriptDouble::create(GUEST_RUNTIME_SCRIPT_PATH);
	guest_script_resource->member("guest_type_id")
	        .member("wallet_gold")
	        .member("credit_limit_gold")
	        .member("debt_gold")
	        .member("planned_exit_at")
	        .member("needs")
	        .member("addiction_by_tag")
	        .member("visited_facility_ids")
	        .member("current_cell");

	definition_script_resource = engine_double::ScriptDouble::create(GUEST_DEFINITION_SCRIPT_PATH);
	definition_script_resource->member("risk_tolerance")
	        .member("legal_sensitivity")
	        .member("minimum_quality")
	        .member("adult_verified")
	        .member("tags")
	        .member("preference_weights");

	const std::shared_ptr<Answers> state = answers;
	service_script_resource = engine_double::ScriptDouble::create(p_service_path);
	service_script_resource->member("current_minute")
	        .method("get_guest", 1, [state](const engine_double::ScriptCall &p_call) { return state->guests.get(p_call[0], Variant()); })
	        .method("get_definition", 1, [state](const engine_double::ScriptCall &p_call) { return state->definitions.get(p_call[0], Variant()); });
	service_object = service_script_resource->instantiate();
	set_member(service_object.ptr(), "current_minute", p_current_minute);
}

GuestServiceFixture::~GuestServiceFixture() {
	// The answers hold the guests; the service's methods hold the answers.
	answers->guests.clear();
	answers->definitions.clear();
	for (uint64_t id : plain_ids) {
		if (Object *object = ObjectDB::get_instance(id)) {
			memdelete(object);
		}
	}
}

Object *GuestServiceFixture::make(const Ref<engine_double::ScriptDouble> &p_script, Variant &r_holder) {
	if (plain_objects) {
		Object *object = p_script->instantiate_object();
		plain_ids.push_back(object->get_instance_id());
		r_holder = Variant(object);
		return object;
	}
	const Ref<RefCounted> object = p_script->instantiate();
	r_holder = Variant(object.ptr());
	return object.ptr();
}

void GuestServiceFixture::set_member(Object *p_object, const StringName &p_member, const Variant &p_value) {
	CallLogPause pause;
	p_object->set(p_member, p_value);
}

Object *GuestServiceFixture::add_guest(const StringName &p_guest_id, const GuestValues &p_values) {
	Variant holder;
	Object *object = make(guest_script_resource, holder);
	set_member(object, "guest_type_id", p_values.guest_type_id);
	set_member(object, "wallet_gold", p_values.wallet_gold);
	set_member(object, "credit_limit_gold", p_values.credit_limit_gold);
	set_member(object, "debt_gold", p_values.debt_gold);
	set_member(object, "planned_exit_at", p_values.planned_exit_at);
	set_member(object, "needs", p_values.needs);
	set_member(object, "addiction_by_tag", p_values.addiction_by_tag);
	set_member(object, "visited_facility_ids", p_values.visited_facility_ids);
	set_member(object, "current_cell", p_values.current_cell);
	answers->guests[p_guest_id] = holder;
	return object;
}

Object *GuestServiceFixture::add_definition(const StringName &p_type_id, const GuestDefinitionValues &p_values) {
	Variant holder;
	Object *object = make(definition_script_resource, holder);
	set_member(object, "risk_tolerance", p_values.risk_tolerance);
	set_member(object, "legal_sensitivity", p_values.legal_sensitivity);
	set_member(object, "minimum_quality", p_values.minimum_quality);
	set_member(object, "adult_verified", p_values.adult_verified);
	set_member(object, "tags", p_values.tags);
	set_member(object, "preference_weights", p_values.preference_weights);
	answers->definitions[p_type_id] = holder;
	return object;
}

void GuestServiceFixture::set_guest_answer(const StringName &p_guest_id, const Variant &p_answer) {
	answers->guests[p_guest_id] = p_answer;
}

void GuestServiceFixture::set_definition_answer(const StringName &p_type_id, const Variant &p_answer) {
	answers->definitions[p_type_id] = p_answer;
}

} // namespace veltrin_test
