#pragma once

// A guest service for plug-in tests, benchmarks and the demo: a script object at the game's
// guest service resource path whose get_guest(id) and get_definition(type_id) answer the
// guests and guest definitions added to the fixture, each a script object at its own game
// resource path. Values are stored exactly as given, so a test can hand the plug-in a wrong
// type; the fixture installs them with the call log switched off, so the log holds only
// what the code under test asked.

#include <engine_double/script_double.hpp>

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdint>
#include <memory>
#include <vector>

namespace veltrin_test {

extern const char *const GUEST_SERVICE_SCRIPT_PATH;
extern const char *const GUEST_RUNTIME_SCRIPT_PATH;
extern const char *const GUEST_DEFINITION_SCRIPT_PATH;

// {hunger, sleep, hygiene, medical, leisure, intimacy} keyed by StringName.
godot::Dictionary guest_needs(int64_t p_hunger, int64_t p_sleep, int64_t p_hygiene, int64_t p_medical, int64_t p_leisure, int64_t p_intimacy);

// The members of a guest. A NIL value reads as a missing member does.
struct GuestValues {
	godot::Variant guest_type_id = godot::StringName("tourist");
	godot::Variant wallet_gold = int64_t(100);
	godot::Variant credit_limit_gold = int64_t(0);
	godot::Variant debt_gold = int64_t(0);
	godot::Variant planned_exit_at = int64_t(10000);
	godot::Variant needs = guest_needs(50, 50, 50, 50, 50, 50);
	godot::Variant addiction_by_tag = godot::Dictionary();
	godot::Variant visited_facility_ids = godot::Array();
	godot::Variant current_cell = godot::Vector3i();
};

// The members of a guest definition.
struct GuestDefinitionValues {
	godot::Variant risk_tolerance = int64_t(50);
	godot::Variant legal_sensitivity = int64_t(50);
	godot::Variant minimum_quality = int64_t(0);
	godot::Variant adult_verified = true;
	godot::Variant tags = godot::Array();
	godot::Variant preference_weights = godot::Dictionary();
};

// Gives p_script's member p_member a getter (named "_get_" + the member) that frees the
// object p_victim, if it still exists, and then answers the member's value: a game script
// freeing a node in the middle of a plug-in's read.
void free_in_getter(const godot::Ref<engine_double::ScriptDouble> &p_script, const godot::StringName &p_member, uint64_t p_victim);

class GuestServiceFixture {
public:
	explicit GuestServiceFixture(const godot::Variant &p_current_minute = int64_t(0), const godot::String &p_service_path = GUEST_SERVICE_SCRIPT_PATH);
	~GuestServiceFixture();
	GuestServiceFixture(const GuestServiceFixture &) = delete;
	GuestServiceFixture &operator=(const GuestServiceFixture &) = delete;

	godot::Object *service() const { return service_object.ptr(); }
	godot::Variant service_variant() const { return godot::Variant(service_object.ptr()); }

	// A guest that get_guest answers for p_guest_id (replacing an earlier one).
	godot::Object *add_guest(const godot::StringName &p_guest_id, const GuestValues &p_values = GuestValues());
	// A definition that get_definition answers for p_type_id (replacing an earlier one).
	godot::Object *add_definition(const godot::StringName &p_type_id, const GuestDefinitionValues &p_values = GuestDefinitionValues());
	// Makes get_guest answer p_answer for p_guest_id: nil, a plain object, anything.
	void set_guest_answer(const godot::StringName &p_guest_id, const godot::Variant &p_answer);
	void set_definition_answer(const godot::StringName &p_type_id, const godot::Variant &p_answer);
	// Guests and definitions added from here on are plain Objects (as nodes are), which a
	// script may free at any time; the fixture frees the ones still alive.
	void use_plain_objects(bool p_plain) { plain_objects = p_plain; }
	// Writes a member of any object the fixture made, outside the call log.
	static void set_member(godot::Object *p_object, const godot::StringName &p_member, const godot::Variant &p_value);

	const godot::Ref<engine_double::ScriptDouble> &service_script() const { return service_script_resource; }
	const godot::Ref<engine_double::ScriptDouble> &guest_script() const { return guest_script_resource; }
	const godot::Ref<engine_double::ScriptDouble> &definition_script() const { return definition_script_resource; }

private:
	struct Answers;
	std::shared_ptr<Answers> answers;
	godot::Ref<engine_double::ScriptDouble> service_script_resource;
	godot::Ref<engine_double::ScriptDouble> guest_script_resource;
	godot::Ref<engine_double::ScriptDouble> definition_script_resource;
	godot::Ref<godot::RefCounted> service_object;
	bool plain_objects = false;
	std::vector<uint64_t> plain_ids;

	godot::Object *make(const godot::Ref<engine_double::ScriptDouble> &p_script, godot::Variant &r_holder);
};

} // namespace veltrin_test
