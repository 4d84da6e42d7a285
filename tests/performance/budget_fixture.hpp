#pragma once

// A performance budget script object and a loaded plug-in to record samples into it.

#include "core_test.hpp"
#include <engine_double/call_log.hpp>

#include <engine_double/host.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

extern const char *const BUDGET_SCRIPT;

// An Array typed int.
godot::Array int_array(std::initializer_list<int64_t> p_values);
// An untyped Array of ints.
godot::Array plain_array(std::initializer_list<int64_t> p_values);

class BudgetTest : public veltrin_test::CoreTest {
protected:
	godot::Ref<godot::RefCounted> budget;
	const godot::StringName metric = "frame";

	void SetUp() override;
	void TearDown() override;

	// A budget object of p_script_path with empty containers and the given capacity.
	godot::Ref<godot::RefCounted> make_budget(const char *p_script_path, int64_t p_capacity);

	godot::Variant record_raw(const godot::Variant &p_owner, const godot::Variant &p_metric, int64_t p_duration);
	// Records into `budget` and returns the answer.
	godot::Dictionary record(int64_t p_duration);
	// Records and returns the report, failing the test when the sample was not recorded.
	godot::Dictionary report_of(int64_t p_duration);

	// The budget's container p_property (shared: writes land in the object).
	godot::Dictionary container(const char *p_property) const;
	godot::Array window() const;
	godot::Array sorted() const;
	void set_capacity(int64_t p_capacity);

	// Asserts the call is declined and reads, but never writes, anything of the budget.
	void expect_declined_untouched(const godot::Variant &p_owner, const godot::Variant &p_metric, int64_t p_duration);
};

// Elements of an Array as plain integers.
std::vector<int64_t> ints_of(const godot::Array &p_array);
