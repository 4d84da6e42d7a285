#include "budget_fixture.hpp"

#include <engine_double/error_log.hpp>
#include <engine_double/script_double.hpp>
#include <godot_cpp/variant/typed_array.hpp>

using namespace godot;
using engine_double::CallLogEntry;
using engine_double::CallLogKind;

const char *const BUDGET_SCRIPT = "res://scripts/core/performance_budget.gd";

namespace {

const char *const CONTAINERS[] = {
	"_samples",
	"_ordered_samples",
	"_ordered_sample_bytes",
	"_integer_window_bytes",
	"_totals",
	"_sample_counts",
	"_budgets",
};

} // namespace

Array int_array(std::initializer_list<int64_t> p_values) {
	TypedArray<int64_t> array;
	for (int64_t value : p_values) {
		array.push_back(value);
	}
	return array;
}

Array plain_array(std::initializer_list<int64_t> p_values) {
	Array array;
	for (int64_t value : p_values) {
		array.push_back(value);
	}
	return array;
}

std::vector<int64_t> ints_of(const Array &p_array) {
	std::vector<int64_t> values;
	for (int64_t i = 0; i < p_array.size(); i++) {
		values.push_back(int64_t(p_array.get(i)));
	}
	return values;
}

void BudgetTest::SetUp() {
	CoreTest::SetUp();
	budget = make_budget(BUDGET_SCRIPT, 5);
	veltrin_test::start_logs();
}

void BudgetTest::TearDown() {
	CoreTest::TearDown();
	budget.unref();
}

Ref<RefCounted> BudgetTest::make_budget(const char *p_script_path, int64_t p_capacity) {
	Ref<engine_double::ScriptDouble> script = engine_double::ScriptDouble::create(p_script_path);
	for (const char *name : CONTAINERS) {
		script->member(name, Dictionary());
	}
	script->member("sample_capacity", p_capacity);
	return script->instantiate();
}

Variant BudgetTest::record_raw(const Variant &p_owner, const Variant &p_metric, int64_t p_duration) {
	return call("performance_record_sample", { p_owner, p_metric, p_duration });
}

Dictionary BudgetTest::record(int64_t p_duration) {
	return record_raw(Variant(budget), metric, p_duration);
}

Dictionary BudgetTest::report_of(int64_t p_duration) {
	const Dictionary answer = record(p_duration);
	EXPECT_TRUE(bool(answer.get("supported", false))) << "sample " << p_duration << " was not recorded";
	return answer.get("report", Dictionary());
}

Dictionary BudgetTest::container(const char *p_property) const {
	return budget->get(p_property);
}

Array BudgetTest::window() const {
	return container("_samples").get(metric, Variant());
}

Array BudgetTest::sorted() const {
	return container("_ordered_samples").get(metric, Variant());
}

void BudgetTest::set_capacity(int64_t p_capacity) {
	budget->set("sample_capacity", p_capacity);
}

void BudgetTest::expect_declined_untouched(const Variant &p_owner, const Variant &p_metric, int64_t p_duration) {
	Object *owner = p_owner.get_validated_object();
	const Dictionary before = owner ? engine_double::script_state_snapshot(owner) : Dictionary();
	engine_double::call_log_clear();

	const Dictionary answer = record_raw(p_owner, p_metric, p_duration);

	const std::vector<CallLogEntry> entries = engine_double::call_log_entries();
	EXPECT_EQ(answer.size(), 1);
	EXPECT_EQ(answer.get("supported", Variant()), Variant(false));
	for (const CallLogEntry &entry : entries) {
		EXPECT_EQ(entry.kind, CallLogKind::GET) << entry.to_string();
	}
	if (owner) {
		EXPECT_EQ(engine_double::script_state_snapshot(owner), before);
	}
}
