#pragma once

#include "common/live_object.hpp"
#include "common/wide_integer.hpp"
#include "guest_choice/guest_batch_names.hpp"
#include "guest_choice/guest_need_map.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <vector>

namespace veltrin {

// What the batch gathers once for the guest before any candidate is judged.
struct GuestFrame {
	// Reached again at every use (a read runs script, which may free them); they keep
	// reference-counted script objects alive for the whole call.
	LiveObject guest;
	LiveObject definition;

	godot::StringName type_id;
	godot::Dictionary needs;
	godot::Dictionary addiction;
	godot::Array visited;
	godot::Array tags;
	godot::Dictionary preference_weights;

	// The guest's level of each need, in guest_need_keys order.
	int64_t need_levels[GUEST_NEED_COUNT] = {};
	std::vector<godot::StringName> visited_names;
	std::vector<godot::StringName> tag_names;
	// False when the weights are keyed by a type no tag can match.
	bool weights_by_name = true;
	int64_t largest_addiction = 0;

	int64_t wallet = 0;
	// credit_limit_gold - debt_gold, at least 0; exact, it may exceed 64 bits.
	WideInt credit_available = 0;
	int64_t reserve = 0;
	int64_t risk_tolerance = 0;
	int64_t now = 0;
};

// Fetches the guest and its definition through the guest service and checks the type of
// every guest value the batch reads. False (decline) at the first value it cannot handle;
// throws ObjectGone once the service, the guest or the definition has been freed.
bool guest_frame_read(const GuestBatchNames &p_names, const godot::StringName &p_resource_path, const LiveObject &p_owner, const godot::StringName &p_guest_id, GuestFrame &r_frame);

// Reads the money, the survival reserve, the risk tolerance and the current minute.
// p_absolute_minute is used as now when p_has_absolute_minute holds, else the owner's
// current_minute. Throws ObjectGone as guest_frame_read does.
void guest_frame_read_budget(const GuestBatchNames &p_names, const LiveObject &p_owner, bool p_has_absolute_minute, int64_t p_absolute_minute, GuestFrame &r_frame);

// The survival reserve: nothing for a strong addiction, else a share of the wallet set by
// the guest's spending tags.
int64_t guest_reserve(const GuestBatchNames &p_names, int64_t p_largest_addiction, const std::vector<godot::StringName> &p_tag_names, int64_t p_wallet);

} // namespace veltrin
