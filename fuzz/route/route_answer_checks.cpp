#include "route_answer_checks.hpp"

#include "fuzz_check.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <limits>

using namespace godot;

namespace veltrin_fuzz {

namespace {

const int64_t UNREACHED = std::numeric_limits<int64_t>::max();

// A call reaches the world only through its arguments (objects, a provider's object, the
// objects their members hold), and the snapshot walks all of those: the rest of the world
// is left out, since it is most of the cost of a snapshot.
std::vector<SnapshotRoot> with_world(const RouteWorld &, const std::vector<SnapshotRoot> &p_arguments) {
	return p_arguments;
}

bool keys_are(const Dictionary &p_answer, const std::vector<const char *> &p_names) {
	const Array keys = p_answer.keys();
	if (keys.size() != int64_t(p_names.size())) {
		return false;
	}
	for (size_t i = 0; i < p_names.size(); i++) {
		const Variant &key = keys[int64_t(i)];
		if (key.get_type() != Variant::STRING_NAME || StringName(key) != StringName(p_names[i])) {
			return false;
		}
	}
	return true;
}

bool is_int_array(const Variant &p_value) {
	if (p_value.get_type() != Variant::ARRAY) {
		return false;
	}
	const Array array = p_value;
	return array.is_typed() && array.get_typed_builtin() == Variant::INT;
}

} // namespace

std::string answer_key(const Variant &p_answer) {
	return take_snapshot({ { "answer", p_answer } }, false).bytes;
}

std::string answer_text(const Variant &p_answer) {
	std::string text;
	for (const std::string &line : snapshot_lines(take_snapshot({ { "answer", p_answer } }, false))) {
		text += line + "\n";
	}
	return text;
}

void check_search_answer(const Variant &p_answer, const Array &p_cells, int64_t p_numbered, int64_t p_start) {
	FUZZ_CHECK(p_answer.get_type() == Variant::DICTIONARY, "a search answers a Dictionary\n" + answer_text(p_answer));
	const Dictionary answer = p_answer;
	const Variant status = answer.get(StringName("status"), Variant());
	FUZZ_CHECK(status.get_type() == Variant::STRING, "status is a String\n" + answer_text(p_answer));
	const String status_text = status;
	if (status_text != String("usable")) {
		FUZZ_CHECK(status_text == String("unusable") || status_text == String("wrapped"), "unknown status\n" + answer_text(p_answer));
		FUZZ_CHECK(keys_are(answer, { "status" }), "a failed search answers its status only\n" + answer_text(p_answer));
		return;
	}
	FUZZ_CHECK(keys_are(answer, { "status", "cost_values", "parent_indices", "discovered", "parent_discovered", "settled" }),
	        "a usable answer has the five lists in order\n" + answer_text(p_answer));
	// The lists are of the cells numbered when the call began; a script may have appended
	// cells since, but moved or removed none of those.
	const int64_t n = p_numbered;
	FUZZ_CHECK(n <= p_cells.size(), "usable only while every numbered cell is still there");
	FUZZ_CHECK(p_start >= 0 && p_start < n, "usable only from a valid start");
	const Variant costs_value = answer[StringName("cost_values")];
	const Variant parents_value = answer[StringName("parent_indices")];
	FUZZ_CHECK(costs_value.get_type() == Variant::PACKED_INT64_ARRAY && parents_value.get_type() == Variant::PACKED_INT64_ARRAY, "packed cost and parent lists");
	const PackedInt64Array costs = costs_value;
	const PackedInt64Array parents = parents_value;
	FUZZ_CHECK(costs.size() == n && parents.size() == n, "one cost and one parent per cell\n" + answer_text(p_answer));
	FUZZ_CHECK(costs[p_start] == 0 && parents[p_start] == -1, "the start costs 0 and has no parent\n" + answer_text(p_answer));

	int64_t with_parent = 0;
	for (int64_t i = 0; i < n; i++) {
		const int64_t parent = parents[i];
		if (parent == -1) {
			FUZZ_CHECK(i == p_start || costs[i] == UNREACHED, "a node without parent is the start or unreached\n" + answer_text(p_answer));
			continue;
		}
		with_parent++;
		FUZZ_CHECK(i != p_start && parent >= 0 && parent < n, "parents are nodes\n" + answer_text(p_answer));
		// Costs are positive, and a parent was settled before its children were reached.
		FUZZ_CHECK(costs[i] > costs[parent] && costs[parent] != UNREACHED, "a node costs more than its parent\n" + answer_text(p_answer));
	}

	const Variant discovered_value = answer[StringName("discovered")];
	const Variant parent_discovered_value = answer[StringName("parent_discovered")];
	FUZZ_CHECK(is_int_array(discovered_value) && is_int_array(parent_discovered_value), "discovery orders are Arrays typed int");
	const Array discovered = discovered_value;
	const Array parent_discovered = parent_discovered_value;
	FUZZ_CHECK(discovered.size() == parent_discovered.size() + 1 && int64_t(discovered[0]) == p_start,
	        "discovered is the start, then parent_discovered\n" + answer_text(p_answer));
	FUZZ_CHECK(parent_discovered.size() == with_parent, "every node with a parent was discovered once\n" + answer_text(p_answer));
	for (int64_t i = 0; i < parent_discovered.size(); i++) {
		const int64_t node = parent_discovered[i];
		FUZZ_CHECK(int64_t(discovered[i + 1]) == node && node >= 0 && node < n && parents[node] != -1, "discovered nodes have parents\n" + answer_text(p_answer));
	}

	const Variant settled_value = answer[StringName("settled")];
	FUZZ_CHECK(settled_value.get_type() == Variant::DICTIONARY, "settled is a Dictionary");
	const Dictionary settled = settled_value;
	FUZZ_CHECK(settled.size() >= 1 && settled.size() <= n, "between the start and every cell settled\n" + answer_text(p_answer));
	const Array settled_cells = settled.keys();
	for (int64_t i = 0; i < settled_cells.size(); i++) {
		FUZZ_CHECK(settled[settled_cells[i]].get_type() == Variant::BOOL && bool(settled[settled_cells[i]]), "settled maps cells to true");
		// Cells that compare by value (a NaN never equals itself).
		const Variant::Type type = settled_cells[i].get_type();
		if (type == Variant::VECTOR3I || type == Variant::INT || type == Variant::STRING_NAME) {
			FUZZ_CHECK(p_cells.has(settled_cells[i]), "settled holds cells of the graph\n" + answer_text(p_answer));
		}
	}
	FUZZ_CHECK(answer_key(settled_cells[0]) == answer_key(p_cells[p_start]), "the start is settled first\n" + answer_text(p_answer));
}

bool is_edge_row(const Variant &p_row) {
	if (p_row.get_type() != Variant::ARRAY) {
		return false;
	}
	const Array row = p_row;
	return row.size() == 2 && row[0].get_type() == Variant::VECTOR3I && row[1].get_type() == Variant::INT;
}

RouteStateBefore capture_route_state(const RouteWorld &p_world) {
	RouteStateBefore before;
	before.memos[0] = workspace_memo(p_world.service);
	before.memos[1] = workspace_memo(p_world.impostor);
	for (int i = 0; i < 2; i++) {
		before.memo_sizes[i] = before.memos[i].get_type() == Variant::DICTIONARY ? Dictionary(before.memos[i]).size() : 0;
	}
	return before;
}

Array check_only_memo_grew(const RouteWorld &p_world, const std::vector<SnapshotRoot> &p_arguments, const RouteStateBefore &p_before, CallAudit &r_audit, const char *p_context) {
	if (r_audit.untouched()) {
		return Array();
	}
	Array added_keys[2];
	Array added_values[2];
	for (int m = 0; m < 2; m++) {
		if (p_before.memos[m].get_type() != Variant::DICTIONARY) {
			continue;
		}
		Dictionary memo = p_before.memos[m];
		const Array keys = memo.keys();
		for (int64_t i = p_before.memo_sizes[m]; i < keys.size(); i++) {
			const Variant rows = memo.get(keys[i], Variant());
			FUZZ_CHECK(rows.get_type() == Variant::ARRAY, std::string(p_context) + ": the memo holds row Arrays\n" + answer_text(rows));
			added_keys[m].push_back(keys[i]);
			added_values[m].push_back(rows);
		}
		for (int64_t i = 0; i < added_keys[m].size(); i++) {
			memo.erase(added_keys[m][i]);
		}
	}
	const StateSnapshot after = take_snapshot(with_world(p_world, p_arguments));
	FUZZ_CHECK(after == r_audit.before(), std::string(p_context) + ": only the memo may grow\n" + snapshot_diff(r_audit.before(), after));
	for (int m = 0; m < 2; m++) {
		if (added_keys[m].is_empty()) {
			continue;
		}
		Dictionary memo = p_before.memos[m];
		for (int64_t i = 0; i < added_keys[m].size(); i++) {
			memo[added_keys[m][i]] = added_values[m][i];
		}
	}
	return added_keys[0];
}

} // namespace veltrin_fuzz
