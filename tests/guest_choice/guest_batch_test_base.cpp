#include "guest_batch_test_base.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/error_log.hpp>

#include <godot_cpp/variant/string.hpp>

using namespace godot;

namespace veltrin_test {

void GuestBatchTest::SetUp() {
	CoreTest::SetUp();
	service = std::make_unique<GuestServiceFixture>(int64_t(100));
	set_guest(GuestValues());
	start_logs();
}

void GuestBatchTest::TearDown() {
	CoreTest::TearDown();
	service.reset();
}

void GuestBatchTest::set_guest(const GuestValues &p_guest, const GuestDefinitionValues &p_definition) {
	service->add_guest("g1", p_guest);
	service->add_definition(p_guest.guest_type_id, p_definition);
}

Dictionary GuestBatchTest::batch(const Array &p_facilities, const Dictionary &p_context, const StringName &p_guest_id) const {
	return batch_for(service->service_variant(), p_guest_id, p_facilities, p_context);
}

Dictionary GuestBatchTest::batch_for(const Variant &p_owner, const StringName &p_guest_id, const Array &p_facilities, const Dictionary &p_context) const {
	const Variant result = call("guest_candidate_batch", { p_owner, p_guest_id, p_facilities, p_context });
	EXPECT_EQ(result.get_type(), Variant::DICTIONARY);
	return result;
}

std::string GuestBatchTest::reason_of(const Dictionary &p_candidate, const Dictionary &p_context) const {
	const Dictionary result = batch(array_of({ p_candidate }), p_context);
	if (is_declined(result)) {
		return "declined";
	}
	const Array rejected = result.get("rejected", Array());
	if (rejected.is_empty()) {
		return "";
	}
	const Dictionary entry = rejected[0];
	return text_of(entry.get("reason", Variant()));
}

Dictionary candidate(const char *p_id, const std::vector<std::pair<const char *, Variant>> &p_entries) {
	Dictionary row;
	row[StringName("facility_id")] = StringName(p_id);
	for (const auto &entry : p_entries) {
		row[StringName(entry.first)] = entry.second;
	}
	return row;
}

Dictionary dictionary_of(const std::vector<std::pair<const char *, Variant>> &p_entries) {
	Dictionary context;
	for (const auto &entry : p_entries) {
		context[StringName(entry.first)] = entry.second;
	}
	return context;
}

std::vector<std::string> ids_of(const Variant &p_list) {
	std::vector<std::string> ids;
	const Array list = p_list;
	for (int64_t i = 0; i < list.size(); i++) {
		const Dictionary entry = list[i];
		ids.push_back(text_of(entry.get("facility_id", Variant())));
	}
	return ids;
}

bool is_declined(const Dictionary &p_result) {
	return p_result.size() == 1 && p_result.has("supported") && !bool(p_result.get("supported", true));
}

} // namespace veltrin_test
