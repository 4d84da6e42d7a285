// Inputs the recorder does not handle: it declines and leaves the budget as it was.

#include "budget_fixture.hpp"

#include <engine_double/script_double.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

#include <functional>
#include <string>

using namespace godot;

namespace {

const char *const WRITTEN[] = { "_samples", "_ordered_samples", "_ordered_sample_bytes", "_integer_window_bytes", "_totals", "_sample_counts" };
const char *const ALL_DICTIONARIES[] = { "_samples", "_ordered_samples", "_ordered_sample_bytes", "_integer_window_bytes", "_totals", "_sample_counts", "_budgets" };

struct DeclineCase {
	std::string name;
	// Prepares the budget (after one recorded sample when `recorded` is set).
	std::function<void()> prepare;
	bool recorded = false;
};

} // namespace

class BudgetDeclineTest : public BudgetTest {
protected:
	void run(const DeclineCase &p_case) {
		SCOPED_TRACE(p_case.name);
		budget = make_budget(BUDGET_SCRIPT, 5);
		if (p_case.recorded) {
			report_of(10);
			report_of(20);
		}
		p_case.prepare();
		expect_declined_untouched(Variant(budget), metric, 5);
	}

	Dictionary dictionary(const char *p_property) const { return container(p_property); }
	Array current_window() const { return window(); }
	Array current_sorted() const { return sorted(); }
	static Dictionary int_keyed() {
		Dictionary typed;
		typed.set_typed(Variant::INT, StringName(), Variant(), Variant::NIL, StringName(), Variant());
		return typed;
	}
	Dictionary metric_budget() {
		Dictionary entry;
		dictionary("_budgets")[metric] = entry;
		return entry;
	}
};

TEST_F(BudgetDeclineTest, BadArguments) {
	expect_declined_untouched(Variant(budget), metric, -1);
	expect_declined_untouched(Variant(budget), StringName(), 5);
	expect_declined_untouched(Variant(static_cast<Object *>(nullptr)), metric, 5);
	expect_declined_untouched(Variant(), metric, 5);
}

TEST_F(BudgetDeclineTest, OtherObjects) {
	Ref<RefCounted> plain;
	plain.instantiate();
	expect_declined_untouched(Variant(plain), metric, 5);
	expect_declined_untouched(Variant(make_budget("res://scripts/core/performance_budget.gd ", 5)), metric, 5);
	expect_declined_untouched(Variant(make_budget("res://scripts/core/Performance_budget.gd", 5)), metric, 5);
	expect_declined_untouched(Variant(make_budget("", 5)), metric, 5);

	Ref<engine_double::ScriptDouble> without_capacity = engine_double::ScriptDouble::create(BUDGET_SCRIPT);
	for (const char *name : ALL_DICTIONARIES) {
		without_capacity->member(name, Dictionary());
	}
	expect_declined_untouched(Variant(without_capacity->instantiate()), metric, 5);
}

TEST_F(BudgetDeclineTest, PropertiesOfTheWrongType) {
	for (const char *name : ALL_DICTIONARIES) {
		run({ std::string(name) + " not a dictionary", [this, name]() { budget->set(name, Array()); } });
	}
	run({ "float capacity", [this]() { budget->set("sample_capacity", 5.0); } });
}

TEST_F(BudgetDeclineTest, ReadOnlyDictionaries) {
	for (const char *name : WRITTEN) {
		run({ std::string(name) + " read-only", [this, name]() { dictionary(name).make_read_only(); } });
	}
}

TEST_F(BudgetDeclineTest, SharedDictionaries) {
	for (const char *first : ALL_DICTIONARIES) {
		for (const char *second : ALL_DICTIONARIES) {
			if (std::string(first) < std::string(second)) {
				run({ std::string(first) + " is " + second, [this, first, second]() { budget->set(second, budget->get(first)); } });
			}
		}
	}
	// (_budgets holding itself would make the state snapshot recurse forever.)
	for (const char *name : WRITTEN) {
		run({ std::string("budget is ") + name, [this, name]() { dictionary("_budgets")[metric] = dictionary(name); } });
	}
}

TEST_F(BudgetDeclineTest, MetricEntriesOfTheWrongShape) {
	const std::vector<DeclineCase> cases = {
		{ "window not an array", [this]() { dictionary("_samples")[metric] = int64_t(4); } },
		{ "window holding a float", [this]() { dictionary("_samples")[metric] = Array::make(int64_t(1), 2.0); } },
		{ "window holding a bool", [this]() { dictionary("_samples")[metric] = Array::make(true); } },
		{ "read-only window", [this]() { current_window().make_read_only(); }, true },
		{ "window typed float", [this]() { dictionary("_samples")[metric] = TypedArray<double>(); } },
		// As many elements as the encoding stored at the last record, one no longer an int.
		{ "recorded window holding a float", [this]() { current_window()[1] = 2.5; }, true },
		{ "total not an int", [this]() { dictionary("_totals")[metric] = 1.0; } },
		{ "count not an int", [this]() { dictionary("_sample_counts")[metric] = String("1"); } },
		{ "budget not a dictionary", [this]() { dictionary("_budgets")[metric] = Array(); } },
		{ "aggregation not an int", [this]() { metric_budget()["aggregation"] = 1.0; } },
		{ "limit not an int", [this]() { metric_budget()["limit_us"] = String("100"); } },
		{ "totals typed to hold floats", [this]() {
		     Dictionary typed;
		     typed.set_typed(Variant::STRING_NAME, StringName(), Variant(), Variant::FLOAT, StringName(), Variant());
		     budget->set("_totals", typed);
		 } },
		// Looked up by the metric, such a dictionary prints the engine's key error.
		{ "window bytes keyed by ints", [this]() { budget->set("_integer_window_bytes", int_keyed()); }, true },
		{ "budgets keyed by ints", [this]() { budget->set("_budgets", int_keyed()); } },
		{ "budget keyed by ints", [this]() { dictionary("_budgets")[metric] = int_keyed(); } },
	};
	for (const DeclineCase &decline_case : cases) {
		run(decline_case);
	}
}

TEST_F(BudgetDeclineTest, AWindowHoldingItselfDeclinesWithoutAnEngineError) {
	// The engine cannot encode it (and prints an error per level trying): new, and of the
	// size recorded last time.
	for (const bool recorded : { false, true }) {
		SCOPED_TRACE(recorded ? "recorded" : "new");
		budget = make_budget(BUDGET_SCRIPT, 5);
		Array window = Array::make(int64_t(1));
		if (recorded) {
			report_of(10);
			report_of(20);
			window = current_window();
			window.pop_back();
		}
		window.push_back(window);
		dictionary("_samples")[metric] = window;
		const Dictionary answer = record_raw(Variant(budget), metric, 5);
		EXPECT_EQ(answer.get("supported", Variant()), Variant(false));
		EXPECT_EQ(int64_t(dictionary("_sample_counts").get(metric, 0)), recorded ? 2 : 0);
		window.clear();
	}
}

TEST_F(BudgetDeclineTest, SortedCopyInStepButUnusable) {
	const std::vector<DeclineCase> cases = {
		{ "wrong size", [this]() { dictionary("_ordered_samples")[metric] = int_array({ 10, 20, 30 }); }, true },
		{ "read-only", [this]() { current_sorted().make_read_only(); }, true },
		{ "untyped", [this]() { dictionary("_ordered_samples")[metric] = plain_array({ 10, 20 }); }, true },
		{ "not an array", [this]() { dictionary("_ordered_samples")[metric] = PackedByteArray(); }, true },
		{ "the window itself", [this]() {
		     const Array typed_window = int_array({ 10, 20 });
		     dictionary("_samples")[metric] = typed_window;
		     dictionary("_ordered_samples")[metric] = typed_window;
		     dictionary("_ordered_sample_bytes")[metric] = UtilityFunctions::var_to_bytes(typed_window);
		 },
		        true },
	};
	for (const DeclineCase &decline_case : cases) {
		run(decline_case);
	}
}

TEST_F(BudgetDeclineTest, ReadOnlyBudgetsAreStillRead) {
	Dictionary budgets = dictionary("_budgets");
	Dictionary entry;
	entry["aggregation"] = int64_t(2);
	budgets[metric] = entry;
	budgets.make_read_only();
	EXPECT_EQ(int64_t(report_of(4)["measured_us"]), 4);
}

// A budget that is a plain object (a node, say) whose script serves sample_capacity from
// _get and frees the budget while doing so: the recorder must not read the freed object.
TEST_F(BudgetDeclineTest, ABudgetItsOwnScriptFreesMidReadDeclines) {
	Ref<engine_double::ScriptDouble> script = engine_double::ScriptDouble::create(BUDGET_SCRIPT);
	for (const char *name : ALL_DICTIONARIES) {
		script->member(name, Dictionary());
	}
	script->method("_get", 1, [](const engine_double::ScriptCall &p_call) {
		if (StringName(p_call[0]) == StringName("sample_capacity")) {
			memdelete(p_call.self);
		}
		return Variant();
	});
	Object *plain = script->instantiate_object();
	const Variant owner(plain);
	const Variant answer = record_raw(owner, metric, 5);
	EXPECT_EQ(owner.get_validated_object(), nullptr);
	ASSERT_EQ(answer.get_type(), Variant::DICTIONARY);
	EXPECT_FALSE(bool(Dictionary(answer).get("supported", true)));
}
