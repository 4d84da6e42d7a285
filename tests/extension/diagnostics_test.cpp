// The per-thread phase counters as a script reads them.

#include "plugin_fixture.hpp"

#ifdef VELTRIN_DIAGNOSTICS

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <string>
#include <thread>

using namespace godot;

namespace {

const char *const PHASES[] = {
	"projection_total",
	"projection_guard_preflight",
	"goal_batch_prepare",
	"facility_input_filter",
	"facility_access_cells",
	"nearest_total",
	"row_prepare",
	"travel_minutes",
	"batch_end",
	"query_tree_build",
	"route_resolve",
	"numeric_search_total",
};

class DiagnosticsTest : public PluginTest {
protected:
	Variant core;

	void SetUp() override {
		core = make_core();
		call(core, "diagnostic_reset");
	}

	Dictionary phase(const char *p_label) const {
		const Dictionary snapshot = call(core, "diagnostic_snapshot");
		return snapshot.get(StringName(p_label), Dictionary());
	}

	int64_t calls(const char *p_label) const {
		return phase(p_label).get(StringName("calls"), -1);
	}

	int64_t nanoseconds(const char *p_label) const {
		return phase(p_label).get(StringName("nanoseconds"), -1);
	}

	// A search that is rejected at once: the start index is out of range.
	void rejected_search(const char *p_method) const {
		const Dictionary answer = call(core, p_method, { Array(), Dictionary(), 0, Dictionary(), Callable() });
		EXPECT_EQ(String(answer.get(StringName("status"), Variant())), String("unusable"));
	}
};

} // namespace

TEST_F(DiagnosticsTest, SnapshotAfterResetHoldsEveryPhaseAtZeroInOrder) {
	rejected_search("search");
	call(core, "diagnostic_reset");
	const Dictionary snapshot = call(core, "diagnostic_snapshot");
	const Array keys = snapshot.keys();
	ASSERT_EQ(keys.size(), 12);
	for (int64_t i = 0; i < keys.size(); i++) {
		const Variant key = keys[i];
		EXPECT_EQ(key.get_type(), Variant::STRING_NAME);
		EXPECT_EQ(String(key), String(PHASES[i]));
		const Dictionary entry = snapshot.get(key, Dictionary());
		const Array entry_keys = entry.keys();
		ASSERT_EQ(entry_keys.size(), 2);
		EXPECT_EQ(Variant(entry_keys[0]), Variant(StringName("calls")));
		EXPECT_EQ(Variant(entry_keys[1]), Variant(StringName("nanoseconds")));
		EXPECT_EQ(Variant(entry.get(entry_keys[0], -1)), Variant(int64_t(0)));
		EXPECT_EQ(Variant(entry.get(entry_keys[1], -1)), Variant(int64_t(0)));
	}
}

TEST_F(DiagnosticsTest, RejectedSearchStillCountsTheWholeCall) {
	rejected_search("search");
	EXPECT_EQ(calls("numeric_search_total"), 1);
	EXPECT_GE(nanoseconds("numeric_search_total"), 0);
	for (const char *label : PHASES) {
		if (std::string(label) != "numeric_search_total") {
			EXPECT_EQ(calls(label), 0) << label;
		}
	}
	rejected_search("search_cached");
	EXPECT_EQ(calls("numeric_search_total"), 2);
}

TEST_F(DiagnosticsTest, CountersBelongToTheCallingThread) {
	int64_t seen_on_worker = -1;
	std::thread worker([&] {
		const Variant worker_core = make_core();
		call(worker_core, "diagnostic_reset");
		call(worker_core, "search", { Array(), Dictionary(), -1, Dictionary(), Callable() });
		const Dictionary snapshot = call(worker_core, "diagnostic_snapshot");
		const Dictionary entry = snapshot.get(StringName("numeric_search_total"), Dictionary());
		seen_on_worker = entry.get(StringName("calls"), -1);
	});
	worker.join();
	EXPECT_EQ(seen_on_worker, 1);
	EXPECT_EQ(calls("numeric_search_total"), 0);
}

TEST_F(DiagnosticsTest, InstancesOnOneThreadShareCounters) {
	const Variant other = make_core();
	call(other, "search", { Array(), Dictionary(), 3, Dictionary(), Callable() });
	EXPECT_EQ(calls("numeric_search_total"), 1);
	call(other, "diagnostic_reset");
	EXPECT_EQ(calls("numeric_search_total"), 0);
}

#endif
