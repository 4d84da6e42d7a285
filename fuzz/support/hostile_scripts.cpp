#include "hostile_scripts.hpp"

#include <engine_double/script_double.hpp>
#include <engine_double/script_hook.hpp>
#include <engine_double/write_epoch.hpp>

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>
#include <utility>

using namespace godot;

namespace veltrin_fuzz {

namespace {

const uint8_t MARKER_FIRST = 0x5A;
const uint8_t MARKER_LAST = 0xA5;
const size_t MAX_ACTS = 4;

// What a walk of the state found that an act can reach.
struct Reachable {
	std::vector<Object *> objects; // Live, in walk order.
	std::vector<Variant> containers; // Writable Arrays and Dictionaries.
	std::vector<std::pair<Object *, StringName>> members; // Script members.
};

class TargetWalk {
public:
	Reachable found;

	void value(const Variant &p_value, int p_depth) {
		if (p_depth > 6) {
			return;
		}
		switch (p_value.get_type()) {
			case Variant::OBJECT:
				object(p_value.get_validated_object(), p_depth);
				break;
			case Variant::CALLABLE:
				object(Callable(p_value).get_object(), p_depth);
				break;
			case Variant::ARRAY: {
				if (!seen_containers.insert(p_value._identity()).second) {
					return;
				}
				const Array array = p_value;
				if (!array.is_read_only()) {
					found.containers.push_back(p_value);
				}
				for (int64_t i = 0; i < array.size(); i++) {
					value(array[i], p_depth + 1);
				}
				break;
			}
			case Variant::DICTIONARY: {
				if (!seen_containers.insert(p_value._identity()).second) {
					return;
				}
				const Dictionary dictionary = p_value;
				if (!dictionary.is_read_only()) {
					found.containers.push_back(p_value);
				}
				const Array values = dictionary.values();
				for (int64_t i = 0; i < values.size(); i++) {
					value(values[i], p_depth + 1);
				}
				break;
			}
			default:
				break;
		}
	}

	void object(Object *p_object, int p_depth) {
		if (p_object == nullptr || !seen_objects.insert(p_object->get_instance_id()).second) {
			return;
		}
		found.objects.push_back(p_object);
		// Members by name from the script's own record; the values themselves (not copies)
		// through get(), so that a container found here is the one the object holds.
		for (const StringName &name : engine_double::script_member_names(p_object)) {
			found.members.emplace_back(p_object, name);
			value(p_object->get(name), p_depth + 1);
		}
	}

private:
	std::unordered_set<const void *> seen_containers;
	std::unordered_set<uint64_t> seen_objects;
};

bool is_protected(const HostileWorld &p_world, const Object *p_object) {
	const uint64_t id = p_object->get_instance_id();
	return std::find(p_world.protected_ids.begin(), p_world.protected_ids.end(), id) != p_world.protected_ids.end();
}

const Ref<engine_double::ScriptDouble> &moved_script() {
	// A script at another path, declaring nothing: the object loses its members and methods.
	static const Ref<engine_double::ScriptDouble> *script = new Ref<engine_double::ScriptDouble>(engine_double::ScriptDouble::create("res://scripts/moved/elsewhere.gd"));
	return *script;
}

// What the exact run of the current input learned for its run with stretch snapshots.
struct StretchRequest {
	uint32_t audits = 0; // Audits begun in this run.
	bool asked = false;
	std::vector<std::vector<uint32_t>> moved; // Per audit, the stretches to snapshot.
};

StretchRequest stretch_request;

} // namespace

SplitInput split_hostile_input(const uint8_t *p_data, size_t p_size) {
	SplitInput split;
	split.data = p_data;
	split.size = p_size;
	if (p_size < 3 || p_data[p_size - 2] != MARKER_FIRST || p_data[p_size - 1] != MARKER_LAST) {
		return split;
	}
	const size_t length = std::min<size_t>(p_data[p_size - 3], p_size - 3);
	split.size = p_size - 3 - length;
	FuzzInput in(p_data + split.size, length);
	for (size_t i = 0; i < MAX_ACTS && !in.exhausted(); i++) {
		HostileAct act;
		act.kind = HostileKind(in.byte() % uint8_t(HostileKind::KIND_COUNT));
		act.after = in.boolean();
		act.call_number = uint32_t(in.byte() % 48);
		act.target = in.byte();
		act.value = in.byte();
		split.plan.acts.push_back(act);
	}
	return split;
}

std::vector<uint8_t> hostile_tail(const std::vector<uint8_t> &p_plan_bytes) {
	std::vector<uint8_t> tail(p_plan_bytes.begin(), p_plan_bytes.begin() + std::min<size_t>(p_plan_bytes.size(), 255));
	tail.push_back(uint8_t(tail.size()));
	tail.push_back(MARKER_FIRST);
	tail.push_back(MARKER_LAST);
	return tail;
}

Variant hostile_value(uint8_t p_number) {
	switch (p_number % 12) {
		case 0:
			return Variant();
		case 1:
			return int64_t(-1);
		case 2:
			return int64_t(INT64_MAX);
		case 3:
			return String("not a value");
		case 4:
			return StringName("not_a_name");
		case 5:
			return Array();
		case 6:
			return Dictionary();
		case 7:
			return Vector3i(-1, 0, 99);
		case 8:
			return 0.5;
		case 9:
			return true;
		case 10: {
			Array strings;
			strings.push_back(String("x"));
			return strings;
		}
		default: {
			Object *gone = memnew(Object);
			const Variant freed(gone);
			memdelete(gone);
			return freed;
		}
	}
}

bool holds_freed_object(const std::vector<Variant> &p_arguments) {
	for (const Variant &argument : p_arguments) {
		if (argument.get_type() == Variant::OBJECT && argument._object_id() != 0 && argument.get_validated_object() == nullptr) {
			return true;
		}
	}
	return false;
}

CallAudit::CallAudit(RunMode p_mode, const HostilePlan &p_plan, const HostileWorld &p_world) :
        mode(p_mode), plan(p_plan), world(p_world) {
	audit_number = stretch_request.audits++;
	// Writes to what the call makes itself (its answer, its scratch) are no change of state.
	engine_double::write_epoch_mark();
	if (mode != RunMode::QUICK) {
		before_state = take_snapshot(world.roots());
	}
	open_stretch();
	engine_double::script_hook_set([this](engine_double::ScriptHookCall &r_call) { hook(&r_call); });
	// Any member the plug-in reads or writes may have a getter or setter: every access is a
	// script call the plan's acts can fire in.
	engine_double::script_hook_every_member(true);
}

CallAudit::~CallAudit() {
	if (!finished) {
		engine_double::script_hook_every_member(false);
		engine_double::script_hook_set(nullptr);
	}
}

void CallAudit::finish() {
	if (finished) {
		return;
	}
	engine_double::script_hook_every_member(false);
	engine_double::script_hook_set(nullptr);
	finished = true;
	if (depth == 0) {
		close_stretch();
	}
}

const StateSnapshot &CallAudit::before() {
	if (!before_state) {
		before_state = take_snapshot(world.roots());
	}
	return *before_state;
}

bool CallAudit::plugin_wrote_between_scripts() {
	if (mode == RunMode::EXACT && !moved_stretches.empty()) {
		if (stretch_request.moved.size() <= audit_number) {
			stretch_request.moved.resize(audit_number + 1);
		}
		stretch_request.moved[audit_number] = moved_stretches;
		stretch_request.asked = true;
	}
	return !plugin_write_diff.empty();
}

void CallAudit::open_stretch() {
	const uint32_t number = stretches++;
	stretch_start_epoch = engine_double::write_epoch();
	stretch_start_state.reset();
	if (mode != RunMode::EXACT_WITH_STRETCHES || plan.empty() || audit_number >= stretch_request.moved.size()) {
		return;
	}
	const std::vector<uint32_t> &wanted = stretch_request.moved[audit_number];
	if (std::binary_search(wanted.begin(), wanted.end(), number)) {
		busy = true;
		stretch_start_state = take_snapshot(world.roots(), true, &world.query_members);
		busy = false;
	}
}

void CallAudit::close_stretch() {
	const uint64_t moved = engine_double::write_epoch() - stretch_start_epoch;
	plugin_epoch_moves += moved;
	if (moved > 0 && mode == RunMode::EXACT && !plan.empty()) {
		moved_stretches.push_back(stretches - 1);
	}
	if (moved == 0 || !stretch_start_state || !plugin_write_diff.empty()) {
		return;
	}
	busy = true;
	const StateSnapshot now = take_snapshot(world.roots(), true, &world.query_members, &*stretch_start_state);
	busy = false;
	if (now != *stretch_start_state) {
		plugin_write_diff = snapshot_diff(*stretch_start_state, now);
	}
}

void CallAudit::hook(void *p_call) {
	engine_double::ScriptHookCall &call = *static_cast<engine_double::ScriptHookCall *>(p_call);
	if (busy) {
		return;
	}
	if (call.point == engine_double::ScriptHookPoint::BEFORE) {
		if (depth == 0) {
			close_stretch();
			script_start_epoch = engine_double::write_epoch();
		}
		depth++;
		numbers.push_back(calls_seen++);
	}
	const uint32_t number = numbers.empty() ? UINT32_MAX : numbers.back();
	const bool after = call.point == engine_double::ScriptHookPoint::AFTER;
	for (const HostileAct &act : plan.acts) {
		if (act.call_number == number && act.after == after) {
			fire(act, call.object_id, call.result);
			if (!after && (act.kind == HostileKind::WRONG_TYPE || act.kind == HostileKind::SCRIPT_ERROR)) {
				call.skip_body = true;
			}
		}
	}
	if (after) {
		if (!numbers.empty()) {
			numbers.pop_back();
		}
		depth--;
		if (depth == 0) {
			script_epoch_moves += engine_double::write_epoch() - script_start_epoch;
			open_stretch();
		}
	}
}

void CallAudit::fire(const HostileAct &p_act, uint64_t p_self_id, Variant *r_result) {
	busy = true;
	fired++;
	// Only the acts on something need the state walked for their targets.
	const bool targeted = p_act.kind != HostileKind::REENTER && p_act.kind != HostileKind::WRONG_TYPE && p_act.kind != HostileKind::SCRIPT_ERROR;
	TargetWalk walk;
	if (targeted) {
		walk.object(ObjectDB::get_instance(p_self_id), 0);
		for (const SnapshotRoot &root : world.roots()) {
			walk.value(root.second, 0);
		}
	}
	Reachable &found = walk.found;
	switch (p_act.kind) {
		case HostileKind::FREE_OBJECT: {
			std::vector<Object *> plain;
			for (Object *object : found.objects) {
				if (Object::cast_to<RefCounted>(object) == nullptr && !is_protected(world, object)) {
					plain.push_back(object);
				}
			}
			if (!plain.empty()) {
				memdelete(plain[p_act.target % plain.size()]);
			}
			break;
		}
		case HostileKind::SWAP_SCRIPT: {
			std::vector<Object *> scripted;
			for (Object *object : found.objects) {
				if (object->get_script().get_type() == Variant::OBJECT && !is_protected(world, object) && !object->is_class("Script")) {
					scripted.push_back(object);
				}
			}
			if (!scripted.empty()) {
				scripted[p_act.target % scripted.size()]->set_script(Variant(moved_script()));
			}
			break;
		}
		case HostileKind::CLEAR_CONTAINER:
		case HostileKind::RESIZE_CONTAINER:
		case HostileKind::RETYPE_CONTAINER: {
			if (found.containers.empty()) {
				break;
			}
			const Variant &container = found.containers[p_act.target % found.containers.size()];
			if (container.get_type() == Variant::ARRAY) {
				Array array = container;
				if (p_act.kind == HostileKind::CLEAR_CONTAINER) {
					array.clear();
				} else if (p_act.kind == HostileKind::RESIZE_CONTAINER) {
					array.resize(p_act.value % 2 == 0 ? array.size() / 2 : array.size() + 1 + p_act.value % 3);
				} else if (!array.is_empty()) {
					array[int64_t(p_act.value) % array.size()] = hostile_value(p_act.value);
				}
			} else {
				Dictionary dictionary = container;
				const Array keys = dictionary.keys();
				if (p_act.kind == HostileKind::CLEAR_CONTAINER) {
					dictionary.clear();
				} else if (p_act.kind == HostileKind::RESIZE_CONTAINER) {
					if (p_act.value % 2 == 0 && !keys.is_empty()) {
						dictionary.erase(keys[int64_t(p_act.value) % keys.size()]);
					} else {
						dictionary[StringName("added_by_script")] = hostile_value(p_act.value);
					}
				} else if (!keys.is_empty()) {
					dictionary[keys[int64_t(p_act.value) % keys.size()]] = hostile_value(p_act.value);
				}
			}
			break;
		}
		case HostileKind::SET_MEMBER: {
			std::vector<std::pair<Object *, StringName>> members;
			for (const auto &member : found.members) {
				if (!is_protected(world, member.first)) {
					members.push_back(member);
				}
			}
			if (!members.empty()) {
				const auto &member = members[p_act.target % members.size()];
				member.first->set(member.second, hostile_value(p_act.value));
			}
			break;
		}
		case HostileKind::REENTER:
			if (!world.reentries.empty()) {
				busy = false; // The nested call's script calls are counted too.
				world.reentries[p_act.target % world.reentries.size()]();
				busy = true;
			}
			break;
		case HostileKind::WRONG_TYPE:
			*r_result = hostile_value(p_act.value);
			break;
		case HostileKind::SCRIPT_ERROR:
		case HostileKind::KIND_COUNT:
			*r_result = Variant();
			break;
	}
	busy = false;
}

namespace {

struct RerunCount {
	uint64_t runs = 0;
	uint64_t reruns = 0;
	uint64_t stretch_runs = 0;
	~RerunCount() {
		if (runs > 0 && std::getenv("VELTRIN_FUZZ_STATS") != nullptr) {
			std::fprintf(stderr, "inputs %llu, run exactly %llu, with stretch snapshots %llu\n", static_cast<unsigned long long>(runs), static_cast<unsigned long long>(reruns), static_cast<unsigned long long>(stretch_runs));
		}
	}
};

RerunCount rerun_count;

} // namespace

void run_quick_then_exact(const uint8_t *p_data, size_t p_size, const std::function<void(const SplitInput &p_input, RunMode p_mode, bool &r_rerun)> &p_body) {
	const SplitInput input = split_hostile_input(p_data, p_size);
	rerun_count.runs++;
	// Once most inputs have needed the exact run, a quick one first is wasted work.
	const bool quick_first = rerun_count.runs < 64 || rerun_count.reruns * 2 < rerun_count.runs;
	bool rerun = !quick_first;
	if (quick_first) {
		stretch_request = StretchRequest();
		p_body(input, RunMode::QUICK, rerun);
	}
	if (!rerun) {
		return;
	}
	rerun_count.reruns++;
	stretch_request = StretchRequest();
	bool unused = false;
	p_body(input, RunMode::EXACT, unused);
	if (stretch_request.asked) {
		rerun_count.stretch_runs++;
		stretch_request.audits = 0;
		p_body(input, RunMode::EXACT_WITH_STRETCHES, unused);
	}
}

} // namespace veltrin_fuzz
