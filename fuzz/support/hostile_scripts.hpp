#pragma once

// Game scripts that misbehave in the middle of a plug-in's call, and the audit of what the
// plug-in itself wrote during that call.
//
// A plan of acts rides at the end of a fuzzer's input (behind a two-byte marker, so every
// input without one, and every seed written before, decodes as it always did). Each act fires
// inside the n-th script call the plug-in makes, before or after the body (a method call, or
// a read or write of a member: any member may have a getter or setter): free a plain
// object, give a script object a script at another path, clear, resize or retype a container,
// set a member to a wrong value, call back into the plug-in, or answer a wrong type or nil
// (a script error). Targets are found at that moment by walking the world's state.
//
// CallAudit wraps one checked call. It counts the double's write epoch outside script bodies
// (the plug-in's own writes) and inside them (the scripts' and the acts'). A fuzzer runs
// each input up to three times: quickly first (no snapshot at all while nothing was written);
// then, only when something was, exactly, with the before-snapshot taken eagerly and the
// plug-in's stretches between script calls numbered, noting which moved the write epoch; and,
// only when a check then asks whether the plug-in wrote between script calls and some stretch
// moved the epoch, a third time with snapshots around just those stretches. When most inputs
// need the exact run, the quick one is skipped.

#include "fuzz_input.hpp"
#include "state_snapshot.hpp"

#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace veltrin_fuzz {

enum class HostileKind : uint8_t {
	FREE_OBJECT,
	SWAP_SCRIPT,
	CLEAR_CONTAINER,
	RESIZE_CONTAINER,
	RETYPE_CONTAINER,
	SET_MEMBER,
	REENTER,
	WRONG_TYPE,
	SCRIPT_ERROR,
	KIND_COUNT,
};

struct HostileAct {
	HostileKind kind = HostileKind::SCRIPT_ERROR;
	bool after = false;
	uint32_t call_number = 0; // Fires in the call_number-th script call (from 0) of the checked call.
	uint32_t target = 0; // Which of the candidates found when it fires.
	uint8_t value = 0; // The wrong value set, stored or answered (hostile_value()).
};

struct HostilePlan {
	std::vector<HostileAct> acts;
	bool empty() const { return acts.empty(); }
};

// The input without its plan, and the plan. An input ends in a plan when its last two bytes
// are 0x5A 0xA5: the byte before them is the plan's length, the plan the bytes before that.
struct SplitInput {
	const uint8_t *data = nullptr;
	size_t size = 0;
	HostilePlan plan;
};
SplitInput split_hostile_input(const uint8_t *p_data, size_t p_size);
// The tail that carries p_plan_bytes (for seeds).
std::vector<uint8_t> hostile_tail(const std::vector<uint8_t> &p_plan_bytes);

// A wrong value by number: nil, ints, a String, containers, a cell, a float, a freed object.
godot::Variant hostile_value(uint8_t p_number);

// What a world lets misbehaving scripts reach.
struct HostileWorld {
	// The state a call may touch: targets are found in it and the audit compares it.
	std::function<std::vector<SnapshotRoot>()> roots;
	// Calls back into the plug-in (the same core instance).
	std::vector<std::function<void()>> reentries;
	// Objects that outlive one input (the world's own services): never freed or re-scripted.
	std::vector<uint64_t> protected_ids;
	// Members the method may write even on a decline (a query's lazily built batch tree,
	// its counters): left out when its own stretches are compared.
	std::vector<godot::StringName> query_members;
};

// Whether an argument list holds an object freed since: a call back into the plug-in with
// it would hand the binder a dangling pointer, which a script must not do either.
bool holds_freed_object(const std::vector<godot::Variant> &p_arguments);

enum class RunMode : uint8_t {
	QUICK,
	EXACT,
	EXACT_WITH_STRETCHES, // EXACT, plus snapshots around the stretches the exact run saw move.
};

class CallAudit {
public:
	CallAudit(RunMode p_mode, const HostilePlan &p_plan, const HostileWorld &p_world);
	~CallAudit();
	CallAudit(const CallAudit &) = delete;
	CallAudit &operator=(const CallAudit &) = delete;

	// Right after the plug-in answered.
	void finish();

	// Something was written during the call (by anyone): a quick run must be redone exactly.
	bool needs_exact() const { return mode == RunMode::QUICK && (plugin_epoch_moves > 0 || script_epoch_moves > 0); }
	bool acts_fired() const { return fired > 0; }
	// Nothing at all was written: the state after the call is the state before it.
	bool untouched() const { return plugin_epoch_moves == 0 && script_epoch_moves == 0; }
	// The state before the call: taken before it in an exact run, or (in a quick run, where
	// it is asked for only when untouched()) now, which is the same.
	const StateSnapshot &before();
	// With acts fired (exact run): whether a stretch of the plug-in's own code between script
	// calls changed the state, and the difference. An exact run without stretch snapshots
	// answers false and, when a stretch moved the write epoch, has the input run again with them.
	bool plugin_wrote_between_scripts();
	const std::string &plugin_write_report() const { return plugin_write_diff; }
	// Without acts: the plug-in's own stretches did not move the write epoch at all.
	bool plugin_stretches_clean() const { return plugin_epoch_moves == 0; }

private:
	RunMode mode;
	const HostilePlan &plan;
	const HostileWorld &world;
	std::optional<StateSnapshot> before_state;
	int depth = 0;
	bool busy = false;
	uint32_t calls_seen = 0;
	std::vector<uint32_t> numbers; // The running script calls' numbers, innermost last.
	uint64_t script_start_epoch = 0;
	int fired = 0;
	uint64_t stretch_start_epoch = 0;
	std::optional<StateSnapshot> stretch_start_state;
	uint32_t audit_number = 0; // Among the audits of this run of the input.
	uint32_t stretches = 0; // Opened so far; the running one is stretches - 1.
	std::vector<uint32_t> moved_stretches;
	uint64_t plugin_epoch_moves = 0;
	uint64_t script_epoch_moves = 0;
	bool finished = false;
	std::string plugin_write_diff;

	void hook(void *p_call);
	void open_stretch();
	void close_stretch();
	void fire(const HostileAct &p_act, uint64_t p_self_id, godot::Variant *r_result);
};

// A fuzzer's whole input: splits off its plan, runs p_body quickly, then exactly when the
// quick run set r_rerun (and stopped), then with stretch snapshots when the exact run's audits
// asked for them.
void run_quick_then_exact(const uint8_t *p_data, size_t p_size, const std::function<void(const SplitInput &p_input, RunMode p_mode, bool &r_rerun)> &p_body);

} // namespace veltrin_fuzz
