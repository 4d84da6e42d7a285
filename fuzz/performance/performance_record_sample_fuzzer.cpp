// performance_record_sample on decoded budgets: the seven dictionaries biased towards the
// shapes the recorder accepts (and just off them: wrong types, read-only, typed, shared,
// huge or negative capacities and durations), several samples in a row on one budget.
// A decline leaves the budget exactly as it was. A recorded sample changes nothing but the
// metric's six entries, and those hold what the recorder promises: the window with the
// sample appended and at most the oldest one dropped, its sorted copy, both snapshots, the
// lifetime total and count, and a report read from them.

#include "fuzz_check.hpp"
#include "hostile_scripts.hpp"
#include "plugin_loader.hpp"
#include "state_snapshot.hpp"
#include "variant_decoder.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/error_log.hpp>
#include <engine_double/host.hpp>
#include <engine_double/script_double.hpp>

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace godot;
using namespace veltrin_fuzz;

namespace {

const char *const CONTAINERS[] = { "_samples", "_ordered_samples", "_ordered_sample_bytes", "_integer_window_bytes", "_totals", "_sample_counts", "_budgets" };
const int WRITTEN = 6; // _budgets is only read.

struct BudgetWorld {
	std::unique_ptr<engine_double::PluginHost> host;
	Variant core;
	Ref<engine_double::ScriptDouble> budget_script;
	Ref<engine_double::ScriptDouble> other_script;
	// The budget's script with sample_capacity served by a script _get: a read the plug-in
	// makes that runs game code, where a misbehaving script can act.
	Ref<engine_double::ScriptDouble> getter_script;

	BudgetWorld() {
		engine_double::call_log_set_enabled(false);
		host = std::make_unique<engine_double::PluginHost>();
		core = load_numeric_core(*host, VELTRIN_PLUGIN_PATH);
		budget_script = engine_double::ScriptDouble::create("res://scripts/core/performance_budget.gd");
		other_script = engine_double::ScriptDouble::create("res://scripts/core/performance_budget_old.gd");
		for (const Ref<engine_double::ScriptDouble> &script : { budget_script, other_script }) {
			for (const char *name : CONTAINERS) {
				script->member(name, Dictionary());
			}
			script->member("sample_capacity", int64_t(0));
		}
		getter_script = engine_double::ScriptDouble::create("res://scripts/core/performance_budget.gd");
		for (const char *name : CONTAINERS) {
			getter_script->member(name, Dictionary());
		}
		getter_script->member("capacity_store", int64_t(0));
		getter_script->method("_get", 1, [](const engine_double::ScriptCall &p_call) {
			return StringName(p_call[0]) == StringName("sample_capacity") ? p_call.member("capacity_store") : Variant();
		});
		getter_script->method("_set", 2, [](const engine_double::ScriptCall &p_call) {
			if (StringName(p_call[0]) != StringName("sample_capacity")) {
				return Variant(false);
			}
			p_call.set_member("capacity_store", p_call[1]);
			return Variant(true);
		});
	}
};

BudgetWorld &world() {
	static BudgetWorld *made = new BudgetWorld();
	return *made;
}

const std::vector<std::string> &metric_names() {
	static const std::vector<std::string> names = { "frame", "path", "guest_batch", "aggregation", "limit_us" };
	return names;
}

Array int_window(VariantDecoder &r_decoder, int p_depth) {
	FuzzInput &in = r_decoder.input();
	Array window;
	if (in.chance(60)) {
		window.set_typed(Variant::INT, StringName(), Variant());
	}
	for (int i = int(in.range(0, 8)); i > 0; i--) {
		window.push_back(in.chance(200) ? in.range(0, 1000) : in.edgy_int64());
	}
	if (in.chance(12)) {
		window.push_back(r_decoder.value(p_depth + 1)); // Not an int (or a rejected one).
	}
	if (in.chance(8)) {
		window.make_read_only();
	}
	return window;
}

Array sorted_int_copy(const Array &p_window) {
	std::vector<int64_t> values;
	for (const Variant &value : p_window) {
		values.push_back(int64_t(value));
	}
	std::sort(values.begin(), values.end());
	Array sorted;
	sorted.set_typed(Variant::INT, StringName(), Variant());
	for (int64_t value : values) {
		sorted.push_back(value);
	}
	return sorted;
}

// A budget's seven dictionaries for a few metrics, mostly consistent with each other.
void decode_budget(VariantDecoder &r_decoder, Object *p_budget) {
	FuzzInput &in = r_decoder.input();
	Dictionary made[7];
	for (int m = int(in.range(0, 2)); m > 0; m--) {
		const StringName metric = in.chance(200) ? StringName("frame") : r_decoder.name();
		const Array window = int_window(r_decoder, 1);
		if (in.chance(235)) {
			made[0][metric] = window;
		} else {
			made[0][metric] = r_decoder.value(1);
		}
		const uint8_t sorted_mode = in.byte();
		if (sorted_mode < 150) {
			// In step: the sorted copy and the snapshot of the window as it is.
			made[1][metric] = sorted_int_copy(window);
			made[2][metric] = UtilityFunctions::var_to_bytes(window);
		} else if (sorted_mode < 190) {
			made[1][metric] = r_decoder.value(1);
			made[2][metric] = UtilityFunctions::var_to_bytes(window);
		} else if (sorted_mode < 230) {
			made[1][metric] = sorted_int_copy(window);
			made[2][metric] = r_decoder.value_of_type(Variant::PACKED_BYTE_ARRAY, 1);
		}
		if (in.chance(200)) {
			made[3][metric] = UtilityFunctions::var_to_bytes(window);
		}
		if (in.chance(220)) {
			made[4][metric] = in.chance(220) ? Variant(in.edgy_int64()) : r_decoder.value(1);
		}
		if (in.chance(220)) {
			made[5][metric] = in.chance(220) ? Variant(in.small_int64(50)) : r_decoder.value(1);
		}
		if (in.chance(160)) {
			Dictionary budget;
			if (in.chance(200)) {
				budget[StringName("aggregation")] = in.chance(220) ? Variant(int64_t(in.range(-1, 3))) : r_decoder.value(2);
			}
			if (in.chance(200)) {
				budget[StringName("limit_us")] = in.chance(220) ? Variant(in.small_int64(500)) : r_decoder.value(2);
			}
			made[6][metric] = in.chance(245) ? Variant(r_decoder.finish(budget)) : r_decoder.value(1);
		}
	}
	Variant values[7];
	for (int i = 0; i < 7; i++) {
		values[i] = in.chance(235) ? Variant(r_decoder.finish(made[i])) : r_decoder.value(0);
	}
	if (in.chance(12)) {
		values[in.pick(7)] = values[in.pick(7)]; // One dictionary under two names.
	}
	if (in.chance(8) && values[0].get_type() == Variant::DICTIONARY && values[6].get_type() == Variant::DICTIONARY) {
		Dictionary budgets = values[6];
		const Variant &other = values[in.pick(7)];
		// A budget that is one of the others, never the budgets dictionary itself: a container
		// holding itself is a reference cycle that nothing frees, in the engine as here.
		if (!UtilityFunctions::is_same(other, values[6])) {
			budgets[StringName("frame")] = other;
		}
	}
	for (int i = 0; i < 7; i++) {
		p_budget->set(CONTAINERS[i], values[i]);
	}
	p_budget->set("sample_capacity", in.chance(220) ? Variant(int64_t(in.range(0, 6))) : (in.chance(200) ? Variant(in.edgy_int64()) : r_decoder.value(0)));
}

// The metric's entries of the six written dictionaries, and the contents of the window and
// sorted copy (which the recorder edits in place).
struct MetricEntries {
	bool present[WRITTEN] = {};
	Variant entries[WRITTEN];
	Array window_contents;
	Array sorted_contents;
};

Dictionary container(Object *p_budget, int p_index) {
	return p_budget->get(CONTAINERS[p_index]);
}

Array contents_of(const Variant &p_array) {
	return p_array.get_type() == Variant::ARRAY ? Array(p_array).duplicate() : Array();
}

void put_contents(const Variant &p_array, const Array &p_contents) {
	if (p_array.get_type() != Variant::ARRAY) {
		return;
	}
	Array array = p_array;
	array.clear();
	for (const Variant &value : p_contents) {
		array.push_back(value);
	}
}

MetricEntries read_entries(Object *p_budget, const StringName &p_metric) {
	MetricEntries read;
	for (int i = 0; i < WRITTEN; i++) {
		const Dictionary dictionary = container(p_budget, i);
		read.present[i] = dictionary.has(p_metric);
		read.entries[i] = dictionary.get(p_metric, Variant());
	}
	read.window_contents = contents_of(read.entries[0]);
	read.sorted_contents = contents_of(read.entries[1]);
	return read;
}

void write_entries(Object *p_budget, const StringName &p_metric, const MetricEntries &p_entries) {
	for (int i = 0; i < WRITTEN; i++) {
		Dictionary dictionary = container(p_budget, i);
		if (p_entries.present[i]) {
			dictionary[p_metric] = p_entries.entries[i];
		} else {
			dictionary.erase(p_metric);
		}
	}
	put_contents(p_entries.entries[0], p_entries.window_contents);
	put_contents(p_entries.entries[1], p_entries.sorted_contents);
}

int64_t wrap_add(int64_t p_a, int64_t p_b) {
	return int64_t(uint64_t(p_a) + uint64_t(p_b));
}

bool same_bytes(const Variant &p_a, const PackedByteArray &p_b) {
	if (p_a.get_type() != Variant::PACKED_BYTE_ARRAY) {
		return false;
	}
	const PackedByteArray a = p_a;
	return a.size() == p_b.size() && std::equal(a.begin(), a.end(), p_b.begin());
}

std::string key_of(const Variant &p_value) {
	return take_snapshot({ { "value", p_value } }, false).bytes;
}

std::string text_of(const Variant &p_value) {
	std::string text;
	for (const std::string &line : snapshot_lines(take_snapshot({ { "value", p_value } }, false))) {
		text += line + "\n";
	}
	return text;
}

void check_report(Object *p_budget, const StringName &p_metric, int64_t p_duration, const MetricEntries &p_before, const Dictionary &p_report) {
	static const char *const KEYS[] = { "metric_id", "window_sample_count", "lifetime_sample_count", "average_us", "p95_us", "maximum_us", "aggregation", "measured_us", "limit_us", "budget_exceeded" };
	const Array keys = p_report.keys();
	FUZZ_CHECK(keys.size() == 10, "the report has ten keys\n" + text_of(p_report));
	for (int i = 0; i < 10; i++) {
		FUZZ_CHECK(keys[i].get_type() == Variant::STRING_NAME && StringName(keys[i]) == StringName(KEYS[i]), "report keys in order\n" + text_of(p_report));
		const Variant::Type wanted = i == 0 ? Variant::STRING_NAME : (i == 9 ? Variant::BOOL : Variant::INT);
		FUZZ_CHECK(p_report[keys[i]].get_type() == wanted, "report value types\n" + text_of(p_report));
	}
	FUZZ_CHECK(StringName(p_report[StringName("metric_id")]) == p_metric, "the report names its metric");

	const MetricEntries after = read_entries(p_budget, p_metric);
	const int64_t capacity = p_budget->get("sample_capacity");
	Array expected_window = p_before.window_contents.duplicate();
	expected_window.push_back(p_duration);
	if (expected_window.size() > capacity) {
		expected_window.pop_front();
	}
	FUZZ_CHECK(after.present[0] && key_of(after.window_contents) == key_of(expected_window),
	        "the window gains the sample and loses at most the oldest\nexpected:\n" + text_of(expected_window) + "found:\n" + text_of(after.window_contents));
	FUZZ_CHECK(int64_t(p_report[StringName("window_sample_count")]) == expected_window.size(), "window_sample_count");
	const PackedByteArray bytes = UtilityFunctions::var_to_bytes(after.entries[0]);
	FUZZ_CHECK(same_bytes(after.entries[2], bytes) && same_bytes(after.entries[3], bytes), "both snapshots are the window's bytes");

	const int64_t total = p_before.present[4] ? int64_t(p_before.entries[4]) : 0;
	const int64_t count = p_before.present[5] ? int64_t(p_before.entries[5]) : 0;
	const int64_t new_total = wrap_add(total, p_duration);
	const int64_t new_count = wrap_add(count, 1);
	FUZZ_CHECK(after.entries[4].get_type() == Variant::INT && int64_t(after.entries[4]) == new_total, "the lifetime total grows by the sample");
	FUZZ_CHECK(after.entries[5].get_type() == Variant::INT && int64_t(after.entries[5]) == new_count, "the lifetime count grows by one");
	FUZZ_CHECK(int64_t(p_report[StringName("lifetime_sample_count")]) == new_count, "lifetime_sample_count");
	const int64_t average = new_count > 0 ? new_total / new_count : 0;
	FUZZ_CHECK(int64_t(p_report[StringName("average_us")]) == average, "average_us truncates toward zero, 0 when the count wrapped");

	// The sorted copy is trusted while its snapshot matched; a copy that matched but was not
	// the window's sorted copy is outside what the recorder answers for.
	const PackedByteArray bytes_before = UtilityFunctions::var_to_bytes(p_before.window_contents);
	const bool trusted_copy = p_before.present[0] && p_before.present[1] && same_bytes(p_before.entries[2], bytes_before);
	if (trusted_copy && key_of(p_before.sorted_contents) != key_of(sorted_int_copy(p_before.window_contents))) {
		return;
	}
	const Array sorted = after.entries[1];
	FUZZ_CHECK(after.entries[1].get_type() == Variant::ARRAY && sorted.is_typed() && sorted.get_typed_builtin() == Variant::INT, "the sorted copy is typed int");
	const Array expected_sorted = sorted_int_copy(expected_window);
	FUZZ_CHECK(key_of(after.sorted_contents) == key_of(expected_sorted), "the sorted copy is the window sorted\n" + text_of(after.sorted_contents) + "window:\n" + text_of(expected_window));
	const int64_t n = expected_sorted.size();
	int64_t rank = (95 * n + 99) / 100;
	rank = std::min<int64_t>(std::max<int64_t>(rank, 1), n);
	const int64_t p95 = n == 0 ? 0 : int64_t(expected_sorted[rank - 1]);
	const int64_t maximum = n == 0 ? 0 : std::max<int64_t>(0, int64_t(expected_sorted[n - 1]));
	FUZZ_CHECK(int64_t(p_report[StringName("p95_us")]) == p95 && int64_t(p_report[StringName("maximum_us")]) == maximum, "p95 by nearest rank, maximum never below 0\n" + text_of(p_report));
	const int64_t aggregation = p_report[StringName("aggregation")];
	const int64_t measured = aggregation == 0 ? average : (aggregation == 2 ? maximum : p95);
	const int64_t limit = p_report[StringName("limit_us")];
	FUZZ_CHECK(int64_t(p_report[StringName("measured_us")]) == measured, "measured follows the aggregation");
	FUZZ_CHECK(bool(p_report[StringName("budget_exceeded")]) == (limit > 0 && measured > limit), "budget_exceeded");
}

// A container placed inside itself (the budget that is one of the seven, containers the
// decoder shares) is a reference cycle, which (as in the engine) is never freed: empty
// every writable container the budget reaches.
void empty_reached_containers(Object *p_budget) {
	std::vector<Variant> reached;
	for (const char *name : CONTAINERS) {
		reached.push_back(p_budget->get(name));
	}
	std::vector<const void *> emptied;
	while (!reached.empty()) {
		const Variant value = reached.back();
		reached.pop_back();
		const Variant::Type type = value.get_type();
		if ((type != Variant::ARRAY && type != Variant::DICTIONARY) || std::find(emptied.begin(), emptied.end(), value._identity()) != emptied.end()) {
			continue;
		}
		emptied.push_back(value._identity());
		if (type == Variant::ARRAY) {
			Array array = value;
			for (const Variant &element : array) {
				reached.push_back(element);
			}
			if (!array.is_read_only()) {
				array.clear();
			}
		} else {
			Dictionary dictionary = value;
			const Array keys = dictionary.keys();
			const Array values = dictionary.values();
			for (int64_t i = 0; i < keys.size(); i++) {
				reached.push_back(keys[i]);
				reached.push_back(values[i]);
			}
			if (!dictionary.is_read_only()) {
				dictionary.clear();
			}
		}
	}
}

// One input: a budget and up to six samples recorded on it.
void run_input(const SplitInput &p_input, RunMode p_mode, bool &r_rerun) {
	BudgetWorld &w = world();
	FuzzInput in(p_input.data, p_input.size);
	VariantDecoder decoder(in, metric_names(), DecoderLimits { 2, 4 });
	const bool hostile = !p_input.plan.empty();
	const Ref<engine_double::ScriptDouble> &script = in.chance(235) ? (hostile ? w.getter_script : w.budget_script) : w.other_script;
	// With a plan of misbehaving scripts, the budget is a plain object, which they may free.
	Ref<RefCounted> counted;
	Object *made = nullptr;
	if (hostile) {
		made = script->instantiate_object();
	} else {
		counted = script->instantiate();
	}
	const uint64_t budget_id = hostile ? made->get_instance_id() : counted->get_instance_id();
	const Variant budget_value = hostile ? Variant(made) : Variant(counted);
	decode_budget(decoder, hostile ? made : counted.ptr());

	for (int step = 0; step < 6 && !in.exhausted(); step++) {
		Object *budget = ObjectDB::get_instance(budget_id);
		if (budget == nullptr) {
			break; // Freed by a script.
		}
		Variant owner = budget_value;
		if (in.chance(10)) {
			owner = decoder.object();
		}
		const StringName metric = in.chance(210) ? StringName("frame") : (in.chance(128) ? StringName() : decoder.name());
		const int64_t duration = in.chance(220) ? in.range(0, 1000) : in.edgy_int64();
		decoder.free_marked_objects();

		const std::vector<SnapshotRoot> roots = { { "budget", budget_value }, { "owner", owner } };
		HostileWorld hostile_world;
		hostile_world.roots = [&] { return roots; };
		hostile_world.reentries = { [&] {
			if (!holds_freed_object({ owner })) {
				w.host->call(w.core, "performance_record_sample", { owner, metric, duration });
			}
		} };
		const MetricEntries entries_before = read_entries(budget, metric);
		CallAudit audit(p_mode, p_input.plan, hostile_world);
		const Variant answer_value = w.host->call(w.core, "performance_record_sample", { owner, metric, duration });
		audit.finish();
		if (audit.needs_exact()) {
			r_rerun = true;
			break;
		}
		FUZZ_CHECK(answer_value.get_type() == Variant::DICTIONARY, "performance_record_sample answers a Dictionary");
		const Dictionary answer = answer_value;
		const Array keys = answer.keys();
		FUZZ_CHECK(keys.size() >= 1 && keys[0] == Variant(StringName("supported")) && answer[keys[0]].get_type() == Variant::BOOL, "the first key is supported\n" + text_of(answer));
		if (!bool(answer[keys[0]])) {
			FUZZ_CHECK(keys.size() == 1, "a decline is {supported: false}");
			if (audit.acts_fired()) {
				FUZZ_CHECK(!audit.plugin_wrote_between_scripts(), "a decline wrote while the scripts misbehaved\n" + audit.plugin_write_report());
			} else if (!audit.untouched()) {
				const StateSnapshot after = take_snapshot(roots);
				FUZZ_CHECK(after == audit.before(), "a decline leaves the budget untouched\n" + snapshot_diff(audit.before(), after));
			}
			continue;
		}
		FUZZ_CHECK(keys.size() == 2 && keys[1] == Variant(StringName("report")) && answer[keys[1]].get_type() == Variant::DICTIONARY, "a recorded sample answers its report");
		FUZZ_CHECK(duration >= 0 && !metric.is_empty(), "only non-negative samples of a named metric are recorded");
		budget = ObjectDB::get_instance(budget_id);
		if (audit.acts_fired() || budget == nullptr) {
			continue; // The scripts changed what the report is checked against.
		}
		check_report(budget, metric, duration, entries_before, answer[keys[1]]);

		// Nothing but the metric's six entries changed: put them back and compare, then
		// restore what the recorder wrote.
		const MetricEntries entries_after = read_entries(budget, metric);
		write_entries(budget, metric, entries_before);
		const StateSnapshot restored = take_snapshot(roots);
		FUZZ_CHECK(restored == audit.before(), "a recorded sample writes only its metric's entries\n" + snapshot_diff(audit.before(), restored));
		write_entries(budget, metric, entries_after);
	}
	Object *budget = ObjectDB::get_instance(budget_id);
	if (budget != nullptr) {
		empty_reached_containers(budget);
		if (hostile) {
			memdelete(budget);
		}
	}
	// The double keeps every error the engine would print: drop this run's, or the log
	// grows without bound (and every run looks like a leak to libFuzzer).
	engine_double::error_log_clear();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
	world();
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *p_data, size_t p_size) {
	run_quick_then_exact(p_data, p_size, run_input);
	return 0;
}
