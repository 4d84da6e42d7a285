// The support library's own checks: a fuzzer that trusts a snapshot that cannot see a change
// proves nothing, so each kind of change a plug-in could make must show.

#include "fuzz_check.hpp"
#include "fuzz_input.hpp"
#include "hostile_scripts.hpp"
#include "state_snapshot.hpp"
#include "variant_decoder.hpp"

#include <engine_double/script_double.hpp>
#include <engine_double/write_epoch.hpp>

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>

using namespace godot;
using namespace veltrin_fuzz;

namespace {

void check_bounded_reads() {
	const uint8_t one[1] = { 0xff };
	FuzzInput input(one, 1);
	FUZZ_CHECK(input.byte() == 0xff, "the only byte");
	FUZZ_CHECK(input.byte() == 0 && input.u64() == 0 && !input.boolean(), "reads past the end give defaults");
	FUZZ_CHECK(input.range(5, 9) == 5 && input.pick(7) == 0 && input.raw_bytes(10).empty(), "defaults at the end");
	const uint8_t wide[8] = { 1, 2, 3, 4, 5, 6, 7, 8 };
	FuzzInput ranged(wide, 8);
	for (int i = 0; i < 20; i++) {
		const int64_t value = ranged.range(-3, 3);
		FUZZ_CHECK(value >= -3 && value <= 3, "range stays inside its bounds");
	}
	FuzzInput full(wide, 8);
	FUZZ_CHECK(full.range(std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()) == int64_t(uint64_t(std::numeric_limits<int64_t>::min()) + 0x0102030405060708u), "a full-width range takes eight bytes, most significant first");
}

Ref<RefCounted> make_service() {
	Ref<engine_double::ScriptDouble> script = engine_double::ScriptDouble::create("res://fuzz/self_check.gd");
	script->member("data", Dictionary()).member("other", Dictionary()).member("ratio", 0.0);
	return script->instantiate();
}

void check_snapshot_sees_changes() {
	Ref<RefCounted> service = make_service();
	Dictionary data;
	Array shared;
	shared.push_back(int64_t(1));
	data["a"] = shared;
	data["b"] = shared;
	service->set("data", data);
	service->set("ratio", std::numeric_limits<double>::quiet_NaN());
	const std::vector<SnapshotRoot> roots = { { "service", Variant(service) } };

	const StateSnapshot before = take_snapshot(roots);
	FUZZ_CHECK(before == take_snapshot(roots), "a NaN member compares equal to itself by its bits");

	Array copy = shared.duplicate();
	data["b"] = copy;
	const StateSnapshot unshared = take_snapshot(roots);
	FUZZ_CHECK(before != unshared, "replacing a shared array by an equal copy shows\n" + snapshot_diff(before, unshared));
	data["b"] = shared;
	FUZZ_CHECK(before == take_snapshot(roots), "restoring the sharing restores the snapshot");

	shared.make_read_only();
	FUZZ_CHECK(before != take_snapshot(roots), "a read-only flag shows");

	service->set("ratio", -std::numeric_limits<double>::quiet_NaN());
	const StateSnapshot sign = take_snapshot(roots);
	service->set("ratio", std::numeric_limits<double>::quiet_NaN());
	FUZZ_CHECK(sign != take_snapshot(roots), "the sign of a NaN shows");

	Dictionary typed;
	typed.set_typed(Variant::STRING_NAME, StringName(), Variant(), Variant::INT, StringName(), Variant());
	service->set("other", typed);
	const StateSnapshot typed_state = take_snapshot(roots);
	service->set("other", Dictionary());
	FUZZ_CHECK(typed_state != take_snapshot(roots), "dictionary typing shows");

	// Cycles and objects: a dictionary holding itself and the service holding itself.
	data["self"] = data;
	data["owner"] = Variant(service);
	const StateSnapshot cyclic = take_snapshot(roots);
	FUZZ_CHECK(cyclic == take_snapshot(roots), "cycles are walked once, the same way each time");
	data.erase("self");
	data.erase("owner");
}

void check_freed_objects() {
	Object *object = memnew(Object);
	Array holder;
	holder.push_back(Variant(object));
	const std::vector<SnapshotRoot> roots = { { "holder", Variant(holder) } };
	const StateSnapshot live = take_snapshot(roots);
	memdelete(object);
	const StateSnapshot freed = take_snapshot(roots);
	FUZZ_CHECK(live != freed && snapshot_lines(freed).back().find("freed") != std::string::npos, "a freed object reads as freed\n" + snapshot_diff(live, freed));
}

// Random inputs decode without trouble, and decoding does not disturb what it decoded.
void check_decoder() {
	std::mt19937_64 random(7);
	for (int round = 0; round < 300; round++) {
		std::vector<uint8_t> bytes(size_t(random() % 512));
		for (uint8_t &byte : bytes) {
			byte = uint8_t(random());
		}
		FuzzInput input(bytes.data(), bytes.size());
		VariantDecoder decoder(input, { "to", "cost", "edges", "indices" });
		const Variant value = decoder.value();
		const Variant other = decoder.dictionary(0);
		decoder.free_marked_objects();
		const std::vector<SnapshotRoot> roots = { { "value", value }, { "other", other } };
		const StateSnapshot first = take_snapshot(roots);
		const StateSnapshot second = take_snapshot(roots);
		FUZZ_CHECK(!first.bytes.empty() && first == second, "a decoded value snapshots the same twice\n" + snapshot_diff(first, second));
	}
}

// The write epoch moves for a write to anything that existed at its mark, for a non-const
// element access, for an object's property and for a free; never for what was made after.
void check_write_epoch() {
	Array old_array;
	old_array.push_back(int64_t(1));
	Dictionary old_dictionary;
	Object *object = memnew(Object);
	engine_double::write_epoch_mark();
	const uint64_t start = engine_double::write_epoch();
	Array fresh;
	fresh.push_back(int64_t(2));
	Dictionary fresh_dictionary;
	fresh_dictionary["key"] = fresh;
	const Array &read_only_view = old_array;
	FUZZ_CHECK(engine_double::write_epoch() == start && int64_t(read_only_view[0]) == 1, "new containers and const reads leave the epoch alone");
	const std::function<void()> writes[] = {
		[&] { old_array.push_back(int64_t(3)); },
		[&] { old_array[0]; },
		[&] { old_dictionary["key"] = 1; },
		[&] { object->set_meta("note", 1); },
		[&] { memdelete(object); },
	};
	for (const std::function<void()> &write : writes) {
		const uint64_t before = engine_double::write_epoch();
		write();
		FUZZ_CHECK(engine_double::write_epoch() > before, "each write to old state moves the epoch");
	}
}

// A member skipped by the comparison (a cache a call may write) may share its container with
// another member; when the skipped one lets go of it, the other still reads as before.
void check_skipped_members() {
	Ref<RefCounted> service = make_service();
	Dictionary shared;
	shared["cell"] = true;
	service->set("data", shared);
	service->set("other", shared);
	const std::vector<SnapshotRoot> roots = { { "service", Variant(service) } };
	const std::vector<StringName> skipped = { StringName("other") };
	const StateSnapshot before = take_snapshot(roots, true, &skipped);
	service->set("other", Dictionary());
	const StateSnapshot after = take_snapshot(roots, true, &skipped, &before);
	FUZZ_CHECK(before == after, "a skipped member letting go of a shared container shows\n" + snapshot_diff(before, after));

	// A root walked before the member holds a container from inside the skipped one (a
	// memo's rows), which the call then writes into.
	Dictionary rows;
	Dictionary memo;
	memo["rows"] = rows;
	service->set("other", memo);
	const std::vector<SnapshotRoot> nested_roots = { { "goals", rows }, { "service", Variant(service) } };
	const StateSnapshot nested_before = take_snapshot(nested_roots, true, &skipped);
	rows["cell"] = Array();
	const StateSnapshot nested_after = take_snapshot(nested_roots, true, &skipped, &nested_before);
	FUZZ_CHECK(nested_before == nested_after, "a write inside a skipped member's container shows through another root\n" + snapshot_diff(nested_before, nested_after));
}

// A write of the plug-in's own between two script calls, after an act fired, is found by the
// run that snapshots just the stretches the exact run saw move; a script's own write is not.
bool audit_finds_write(bool p_plugin_writes) {
	const std::vector<uint8_t> input = hostile_tail({ uint8_t(HostileKind::SCRIPT_ERROR), 0, 0, 0, 0 });
	bool found = false;
	run_quick_then_exact(input.data(), input.size(), [&](const SplitInput &p_input, RunMode p_mode, bool &r_rerun) {
		Ref<engine_double::ScriptDouble> script = engine_double::ScriptDouble::create("res://fuzz/self_check_audit.gd");
		script->member("data", Dictionary()).method("poke", 0, [](const engine_double::ScriptCall &p_call) -> Variant {
			p_call.set_member("data", Dictionary());
			return Variant();
		});
		Ref<RefCounted> service = script->instantiate();
		HostileWorld world;
		world.roots = [&] { return std::vector<SnapshotRoot> { { "service", Variant(service) } }; };
		CallAudit audit(p_mode, p_input.plan, world);
		service->call("poke");
		if (p_plugin_writes) {
			Dictionary(service->get("data"))["written"] = true;
		}
		service->call("poke");
		audit.finish();
		if (audit.needs_exact()) {
			r_rerun = true;
			return;
		}
		FUZZ_CHECK(audit.acts_fired(), "the act fired");
		found = audit.plugin_wrote_between_scripts();
	});
	return found;
}

void check_stretch_audit() {
	FUZZ_CHECK(audit_finds_write(true), "a write between script calls shows");
	FUZZ_CHECK(!audit_finds_write(false), "the scripts' own writes are theirs");
}

// A plan rides behind its marker; an input without one is left whole.
void check_hostile_split() {
	const std::vector<uint8_t> plain = { 1, 2, 3, 0x5A };
	FUZZ_CHECK(split_hostile_input(plain.data(), plain.size()).size == 4, "no marker, no plan");
	std::vector<uint8_t> input = { 9, 9 };
	const std::vector<uint8_t> tail = hostile_tail({ 0, 1, 2, 3, 4 });
	input.insert(input.end(), tail.begin(), tail.end());
	const SplitInput split = split_hostile_input(input.data(), input.size());
	FUZZ_CHECK(split.size == 2 && split.plan.acts.size() == 1, "the plan's bytes are cut off the input");
	const HostileAct &act = split.plan.acts[0];
	FUZZ_CHECK(act.kind == HostileKind::FREE_OBJECT && act.after && act.call_number == 2 && act.target == 3 && act.value == 4, "an act reads kind, point, call, target and value");
}

} // namespace

int main() {
	check_write_epoch();
	check_hostile_split();
	check_bounded_reads();
	check_snapshot_sees_changes();
	check_skipped_members();
	check_stretch_audit();
	check_freed_objects();
	check_decoder();
	return 0;
}
