#include "performance/budget_state.hpp"

#include "common/builtin.hpp"
#include "common/script_paths.hpp"
#include "performance/window_bytes.hpp"

#include <godot_cpp/variant/utility_functions.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <utility>

using namespace godot;

namespace veltrin {

namespace {

// In the order of BudgetState's members.
enum BudgetDictionary {
	SAMPLES,
	ORDERED_SAMPLES,
	ORDERED_SAMPLE_BYTES,
	INTEGER_WINDOW_BYTES,
	TOTALS,
	SAMPLE_COUNTS,
	BUDGETS,
	DICTIONARY_COUNT,
};

// What each written dictionary holds per metric; _budgets is only read.
const Variant::Type WRITTEN_VALUE_TYPES[BUDGETS] = {
	Variant::ARRAY,
	Variant::ARRAY,
	Variant::PACKED_BYTE_ARRAY,
	Variant::PACKED_BYTE_ARRAY,
	Variant::INT,
	Variant::INT,
};

// A typed dictionary would refuse (or convert) entries of another type half-way through
// the writes, so one must be able to hold a StringName key and the value stored in it.
bool can_hold_entries(const Dictionary &p_dictionary, Variant::Type p_value_type) {
	if (!p_dictionary.is_typed()) {
		return true;
	}
	if (p_dictionary.is_typed_key()) {
		const int64_t key_type = p_dictionary.get_typed_key_builtin();
		if (key_type != Variant::STRING_NAME && key_type != Variant::STRING) {
			return false;
		}
	}
	return !p_dictionary.is_typed_value() || p_dictionary.get_typed_value_builtin() == p_value_type;
}

// True when every element of p_window is an int. Never encodes the window: one that holds
// itself cannot be encoded (the engine prints errors trying).
bool holds_ints_only(const Array &p_window) {
	for (const Variant &element : p_window) {
		if (element.get_type() != Variant::INT) {
			return false;
		}
	}
	return true;
}

// r_bytes receives the window's var_to_bytes when it is a window of ints. p_last_bytes is
// what the last recorded sample stored for it.
bool is_int_window(const Array &p_window, const Variant &p_last_bytes, PackedByteArray &r_bytes) {
	if (p_window.is_read_only()) {
		return false;
	}
	// Appending to an array typed otherwise would convert or drop the sample.
	if (p_window.is_typed() && p_window.get_typed_builtin() != Variant::INT) {
		return false;
	}
	// Most often the window is the one recorded last time: the stored encoding (checked to be
	// of as many ints first, so decoding it can neither fail nor make objects) decodes to a
	// list of ints, and a window equal to it, typed alike, is those ints and encodes to those
	// bytes. The comparison stops at an element of another type, so a window that holds
	// itself is never walked into. Any other window is tested element by element.
	if (p_last_bytes.get_type() == Variant::PACKED_BYTE_ARRAY && bytes_hold_ints_only(p_last_bytes, p_window.size())) {
		const Variant decoded = UtilityFunctions::bytes_to_var(p_last_bytes);
		if (decoded.get_type() == Variant::ARRAY) {
			const Array last = decoded;
			if (last.is_typed() == p_window.is_typed() && last == p_window) {
				r_bytes = p_last_bytes;
				return true;
			}
		}
	}
	if (!holds_ints_only(p_window)) {
		return false;
	}
	r_bytes = UtilityFunctions::var_to_bytes(p_window);
	return true;
}

// A dictionary that is only read must still take the names it is looked up by (the metric, a
// budget's entry names): a typed one of another key type prints an error at every lookup.
bool takes_name_keys(const Dictionary &p_dictionary) {
	if (!p_dictionary.is_typed_key()) {
		return true;
	}
	const int64_t key_type = p_dictionary.get_typed_key_builtin();
	return key_type == Variant::STRING_NAME || key_type == Variant::STRING;
}

} // namespace

bool is_performance_budget(const PerformanceNames &p_names, Object *p_owner) {
	return builtin(p_names.resource_path, p_owner, PERFORMANCE_BUDGET_SCRIPT);
}

std::optional<BudgetState> read_budget_state(const PerformanceNames &p_names, Object *p_owner, const StringName &p_metric_id, int64_t p_duration_us) {
	if (!is_performance_budget(p_names, p_owner)) {
		return std::nullopt;
	}
	if (p_duration_us < 0 || p_metric_id.is_empty()) {
		return std::nullopt;
	}

	// A read may run the budget's own _get, which may free it (a node, say): the budget is
	// reached again through a Variant, which knows whether it still exists, for every read.
	const Variant owner(p_owner);
	const auto member = [&owner](const StringName &p_name) {
		Object *live = owner.get_validated_object();
		return live != nullptr ? live->get(p_name) : Variant();
	};
	const Variant read[DICTIONARY_COUNT] = {
		member(p_names._samples),
		member(p_names._ordered_samples),
		member(p_names._ordered_sample_bytes),
		member(p_names._integer_window_bytes),
		member(p_names._totals),
		member(p_names._sample_counts),
		member(p_names._budgets),
	};
	const Variant capacity = member(p_names.sample_capacity);
	if (owner.get_validated_object() == nullptr) {
		return std::nullopt;
	}
	for (const Variant &dictionary : read) {
		if (dictionary.get_type() != Variant::DICTIONARY) {
			return std::nullopt;
		}
	}
	if (capacity.get_type() != Variant::INT) {
		return std::nullopt;
	}
	for (int i = 0; i < BUDGETS; i++) {
		const Dictionary written = read[i];
		if (written.is_read_only()) {
			return std::nullopt;
		}
	}
	// One dictionary under two names would have one metric's entries overwrite another's.
	for (int i = 0; i < DICTIONARY_COUNT; i++) {
		for (int j = i + 1; j < DICTIONARY_COUNT; j++) {
			if (UtilityFunctions::is_same(read[i], read[j])) {
				return std::nullopt;
			}
		}
	}

	// Before any lookup by the metric: a typed dictionary of another key type would print an
	// error at the lookup, and one of other values would refuse the writes half-way.
	for (int i = 0; i < BUDGETS; i++) {
		if (!can_hold_entries(read[i], WRITTEN_VALUE_TYPES[i])) {
			return std::nullopt;
		}
	}
	if (!takes_name_keys(read[BUDGETS])) {
		return std::nullopt;
	}

	const Dictionary samples = read[SAMPLES];
	const bool existed = samples.has(p_metric_id);
	const Variant window = existed ? samples.get(p_metric_id, Variant()) : Variant(Array());
	if (window.get_type() != Variant::ARRAY) {
		return std::nullopt;
	}
	const Dictionary integer_window_bytes = read[INTEGER_WINDOW_BYTES];
	PackedByteArray window_bytes;
	if (!is_int_window(window, existed ? integer_window_bytes.get(p_metric_id, Variant()) : Variant(), window_bytes)) {
		return std::nullopt;
	}

	const Dictionary totals = read[TOTALS];
	const Dictionary sample_counts = read[SAMPLE_COUNTS];
	const Dictionary budgets = read[BUDGETS];
	const Variant total = totals.get(p_metric_id, int64_t(0));
	const Variant count = sample_counts.get(p_metric_id, int64_t(0));
	// An absent budget is an empty one: the default aggregation and no limit.
	const bool has_budget = budgets.has(p_metric_id);
	const Variant budget = has_budget ? budgets.get(p_metric_id, Variant()) : Variant();
	if (total.get_type() != Variant::INT || count.get_type() != Variant::INT) {
		return std::nullopt;
	}
	Variant aggregation = int64_t(1);
	Variant limit = int64_t(0);
	if (has_budget) {
		if (budget.get_type() != Variant::DICTIONARY) {
			return std::nullopt;
		}
		for (const Variant &dictionary : read) {
			if (UtilityFunctions::is_same(budget, dictionary)) {
				return std::nullopt;
			}
		}
		const Dictionary budget_entries = budget;
		if (!takes_name_keys(budget_entries)) {
			return std::nullopt;
		}
		aggregation = budget_entries.get(p_names.aggregation, aggregation);
		limit = budget_entries.get(p_names.limit_us, limit);
	}
	if (aggregation.get_type() != Variant::INT || limit.get_type() != Variant::INT) {
		return std::nullopt;
	}

	return BudgetState {
		read[SAMPLES],
		read[ORDERED_SAMPLES],
		read[ORDERED_SAMPLE_BYTES],
		read[INTEGER_WINDOW_BYTES],
		totals,
		sample_counts,
		budgets,
		capacity,
		existed,
		window,
		std::move(window_bytes),
		total,
		count,
		aggregation,
		limit,
	};
}

} // namespace veltrin
