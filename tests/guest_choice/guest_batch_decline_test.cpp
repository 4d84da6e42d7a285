// Every input outside the types the batch handles declines the whole batch, before any
// row is built and without touching the script objects.

#include "guest_batch_test_base.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/script_double.hpp>
#include <engine_double/script_hook.hpp>

#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/memory.hpp>

#include <utility>
#include <vector>

using namespace godot;

namespace veltrin_test {
namespace {

// A nil stored in static memory: copying it reads no uninitialised bytes.
const Variant NIL_VALUE;

class GuestBatchDeclineTest : public GuestBatchTest {
protected:
	void expect_declined(const Array &p_facilities, const Dictionary &p_context = Dictionary()) {
		const Dictionary result = batch(p_facilities, p_context);
		EXPECT_TRUE(is_declined(result)) << key_texts(result).size();
		for (const engine_double::CallLogEntry &entry : engine_double::call_log_entries()) {
			EXPECT_NE(entry.kind, engine_double::CallLogKind::SET) << entry.to_string();
		}
	}
	static Array one_candidate() { return array_of({ candidate("spa") }); }
};

// A guest that is a plain object (a node, say) freed by the service's own get_definition:
// the batch declines instead of reading the guest it had looked up before.
TEST_F(GuestBatchDeclineTest, AGuestTheServiceFreesWhileAnsweringTheDefinitionDeclines) {
	service->use_plain_objects(true);
	const uint64_t guest = service->add_guest("g1")->get_instance_id();
	engine_double::script_hook_set([guest](engine_double::ScriptHookCall &r_call) {
		Object *alive = ObjectDB::get_instance(guest);
		if (alive != nullptr && r_call.method == StringName("get_definition")) {
			memdelete(alive);
		}
	});
	const Dictionary result = batch(one_candidate());
	engine_double::script_hook_set(nullptr);
	EXPECT_EQ(ObjectDB::get_instance(guest), nullptr);
	EXPECT_TRUE(is_declined(result));
}

// The game's scripts as plain objects (as nodes are) whose member getters free the service,
// the guest or the definition: every read runs script, so the batch reaches each object
// again after it and declines once one is gone.
class GuestBatchGetterTest : public GuestBatchDeclineTest {
protected:
	enum Victim { SERVICE,
		GUEST,
		DEFINITION };
	uint64_t victims[3] = {};

	// A fresh service (a plain object running the service script), guest and definition.
	Variant plain_service() {
		service = std::make_unique<GuestServiceFixture>(int64_t(100));
		service->use_plain_objects(true);
		Object *owner = service->service_script()->instantiate_object();
		GuestServiceFixture::set_member(owner, "current_minute", 100);
		victims[SERVICE] = owner->get_instance_id();
		victims[GUEST] = service->add_guest("g1")->get_instance_id();
		victims[DEFINITION] = service->add_definition("tourist")->get_instance_id();
		owned.push_back(victims[SERVICE]);
		return Variant(owner);
	}
	void free_in_getter(const Ref<engine_double::ScriptDouble> &p_script, const char *p_member, Victim p_victim) {
		veltrin_test::free_in_getter(p_script, p_member, victims[p_victim]);
	}
	bool gone(Victim p_victim) const { return ObjectDB::get_instance(victims[p_victim]) == nullptr; }

	void TearDown() override {
		for (uint64_t id : owned) {
			if (Object *alive = ObjectDB::get_instance(id)) {
				memdelete(alive);
			}
		}
		GuestBatchDeclineTest::TearDown();
	}

private:
	std::vector<uint64_t> owned;
};

TEST_F(GuestBatchGetterTest, AGuestTypeGetterFreeingTheServiceDeclines) {
	const Variant owner = plain_service();
	free_in_getter(service->guest_script(), "guest_type_id", SERVICE);
	EXPECT_TRUE(is_declined(batch_for(owner, "g1", one_candidate(), Dictionary())));
	EXPECT_TRUE(gone(SERVICE));
}

TEST_F(GuestBatchGetterTest, AWalletGetterFreeingTheServiceDeclines) {
	const Variant owner = plain_service();
	free_in_getter(service->guest_script(), "wallet_gold", SERVICE);
	EXPECT_TRUE(is_declined(batch_for(owner, "g1", one_candidate(), Dictionary())));
	EXPECT_TRUE(gone(SERVICE));
}

// Every object the batch reads is read again after each getter's first run (the row reads
// the guest and definition, the budget the service's minute): any one freed declines.
TEST_F(GuestBatchGetterTest, AnyGetterFreeingAnyOfTheThreeDeclines) {
	const char *const guest_members[] = { "guest_type_id", "wallet_gold", "credit_limit_gold", "debt_gold", "planned_exit_at", "needs", "addiction_by_tag", "visited_facility_ids" };
	const char *const definition_members[] = { "risk_tolerance", "legal_sensitivity", "minimum_quality", "adult_verified", "tags", "preference_weights" };
	for (const Victim victim : { SERVICE, GUEST, DEFINITION }) {
		std::vector<std::pair<int, const char *>> members;
		for (const char *member : guest_members) {
			members.emplace_back(0, member);
		}
		for (const char *member : definition_members) {
			members.emplace_back(1, member);
		}
		members.emplace_back(2, "current_minute");
		for (const auto &[script, member] : members) {
			const Variant owner = plain_service();
			free_in_getter(script == 0 ? service->guest_script() : script == 1 ? service->definition_script()
			                                                                   : service->service_script(),
			        member, victim);
			EXPECT_TRUE(is_declined(batch_for(owner, "g1", one_candidate(), Dictionary()))) << member << " frees " << int(victim);
			EXPECT_TRUE(gone(victim)) << member;
		}
	}
}

TEST_F(GuestBatchDeclineTest, OwnerMustBeTheGuestService) {
	GuestServiceFixture impostor(int64_t(0), "res://scripts/guest/guest_service.gd ");
	impostor.add_guest("g1");
	impostor.add_definition("tourist");
	EXPECT_TRUE(is_declined(batch_for(impostor.service_variant(), "g1", one_candidate(), Dictionary())));
	EXPECT_TRUE(is_declined(batch_for(Variant(static_cast<Object *>(nullptr)), "g1", one_candidate(), Dictionary())));
	// Nothing was asked of an impostor.
	EXPECT_TRUE(engine_double::call_log_entries_for(impostor.service()).empty());
}

TEST_F(GuestBatchDeclineTest, ContextKeysAndValueTypes) {
	expect_declined(one_candidate(), dictionary_of({ { "absolute_minutes", 5 } }));
	Dictionary int_key;
	int_key[1] = 5;
	expect_declined(one_candidate(), int_key);
	expect_declined(one_candidate(), dictionary_of({ { "absolute_minute", 5.0 } }));
	expect_declined(one_candidate(), dictionary_of({ { "wait_hard_limit", true } }));
	expect_declined(one_candidate(), dictionary_of({ { "exit_threshold", "3" } }));
	expect_declined(one_candidate(), dictionary_of({ { "adult_content_enabled", "yes" } }));
	expect_declined(one_candidate(), dictionary_of({ { "exit_reason", 3 } }));

	// All five, each with an accepted type, evaluate.
	const Dictionary full = dictionary_of({
	        { "absolute_minute", 5 },
	        { "wait_hard_limit", 30 },
	        { "adult_content_enabled", 0 },
	        { "exit_threshold", 2 },
	        { "exit_reason", StringName("tired") },
	});
	EXPECT_FALSE(is_declined(batch(one_candidate(), full)));
}

TEST_F(GuestBatchDeclineTest, GuestAndDefinitionMustBeTheGameScripts) {
	service->set_guest_answer("g1", Variant());
	expect_declined(one_candidate());

	Ref<engine_double::ScriptDouble> other = engine_double::ScriptDouble::create("res://scripts/guest/guest_runtime_old.gd");
	Ref<RefCounted> stranger = other->instantiate();
	service->set_guest_answer("g1", Variant(stranger.ptr()));
	expect_declined(one_candidate());

	set_guest(GuestValues());
	service->set_definition_answer("tourist", Variant());
	expect_declined(one_candidate());

	// An unknown guest id answers nil: a decline, not an empty success.
	set_guest(GuestValues());
	EXPECT_TRUE(is_declined(batch(one_candidate(), Dictionary(), "nobody")));
}

TEST_F(GuestBatchDeclineTest, GuestTypeIdMustBeAString) {
	GuestValues guest;
	guest.guest_type_id = "tourist";
	set_guest(guest);
	EXPECT_FALSE(is_declined(batch(one_candidate())));
	guest.guest_type_id = 3;
	service->add_guest("g1", guest);
	expect_declined(one_candidate());
}

TEST_F(GuestBatchDeclineTest, EveryGatedValueMustHaveItsType) {
	const std::vector<std::pair<const char *, Variant>> guest_cases = {
		{ "wallet_gold", 1.0 },
		{ "credit_limit_gold", NIL_VALUE },
		{ "debt_gold", "0" },
		{ "planned_exit_at", false },
		{ "needs", Array() },
		{ "addiction_by_tag", Array() },
		{ "visited_facility_ids", Dictionary() },
	};
	for (const auto &entry : guest_cases) {
		set_guest(GuestValues());
		Object *guest = service->add_guest("g1");
		GuestServiceFixture::set_member(guest, entry.first, entry.second);
		expect_declined(one_candidate());
		EXPECT_FALSE(HasFailure()) << entry.first;
	}
	const std::vector<std::pair<const char *, Variant>> definition_cases = {
		{ "risk_tolerance", 1.5 },
		{ "legal_sensitivity", NIL_VALUE },
		{ "minimum_quality", true },
		{ "adult_verified", 1 },
		{ "tags", Dictionary() },
		{ "preference_weights", Array() },
	};
	for (const auto &entry : definition_cases) {
		set_guest(GuestValues());
		Object *definition = service->add_definition("tourist");
		GuestServiceFixture::set_member(definition, entry.first, entry.second);
		expect_declined(one_candidate());
		EXPECT_FALSE(HasFailure()) << entry.first;
	}
	set_guest(GuestValues());
	GuestServiceFixture::set_member(service->service(), "current_minute", 1.0);
	expect_declined(one_candidate());
}

TEST_F(GuestBatchDeclineTest, GuestCollectionsMustHoldTheirTypes) {
	GuestValues guest;
	Dictionary needs = guest_needs(1, 2, 3, 4, 5, 6);
	needs.erase(StringName("medical"));
	guest.needs = needs;
	set_guest(guest);
	expect_declined(one_candidate());

	needs = guest_needs(1, 2, 3, 4, 5, 6);
	needs[StringName("hunger")] = 1.0;
	guest.needs = needs;
	set_guest(guest);
	expect_declined(one_candidate());

	guest = GuestValues();
	guest.addiction_by_tag = dictionary_of({ { "gambling", 80.0 } });
	set_guest(guest);
	expect_declined(one_candidate());

	guest = GuestValues();
	guest.visited_facility_ids = array_of({ "spa", 3 });
	set_guest(guest);
	expect_declined(one_candidate());

	GuestDefinitionValues definition;
	definition.tags = array_of({ StringName("frugal"), NIL_VALUE });
	set_guest(GuestValues(), definition);
	expect_declined(one_candidate());

	definition = GuestDefinitionValues();
	definition.preference_weights = dictionary_of({ { "dining", "3" } });
	set_guest(GuestValues(), definition);
	expect_declined(one_candidate());
}

TEST_F(GuestBatchDeclineTest, OneUnsupportedCandidateDeclinesTheWholeBatch) {
	const std::vector<std::pair<const char *, Variant>> cases = {
		{ "inputs_available", "true" },
		{ "estimated_total_gold", 12.5 },
		{ "risk", 1.0 },
		{ "ok", "yes" },
		{ "facility_id", 7 },
		{ "service_category", 3 },
		{ "required_guest_tags", array_of({ 1 }) },
		{ "tags", array_of({ "spa", Vector3i() }) },
	};
	for (const auto &entry : cases) {
		const Array facilities = array_of({ candidate("good_a"), candidate("bad", { entry }), candidate("good_b") });
		engine_double::call_log_clear();
		expect_declined(facilities);
		EXPECT_FALSE(HasFailure()) << entry.first;
	}
	Dictionary typed;
	typed.set_typed(Variant::STRING_NAME, StringName(), Variant(), Variant::NIL, StringName(), Variant());
	typed[StringName("facility_id")] = StringName("typed");
	expect_declined(array_of({ typed }));

	// Keys outside the checked lists, and name lists that are not arrays, pass.
	EXPECT_FALSE(is_declined(batch(array_of({ candidate("loose", { { "note", 1.5 }, { "required_guest_tags", 4 } }) }))));
}

} // namespace
} // namespace veltrin_test
