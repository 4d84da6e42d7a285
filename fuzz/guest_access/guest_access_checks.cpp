#include "guest_access_checks.hpp"

#include <fuzz_check.hpp>

#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

#include <cstring>

using namespace godot;

namespace veltrin_fuzz {

namespace {

const char *const BATCH_KEYS[3] = { "tree", "arithmetic_wrapped", "ready" };
const char *const LAST_FIELDS[3] = { "last_no_route_reason", "last_path_cost", "last_error" };

bool is_container_or_object(Variant::Type p_type) {
	return p_type == Variant::DICTIONARY || p_type == Variant::ARRAY || p_type == Variant::OBJECT;
}

void append_cell(String &r_text, const Vector3i &p_cell) {
	r_text += String::num_int64(p_cell.x) + "," + String::num_int64(p_cell.y) + "," + String::num_int64(p_cell.z);
}

} // namespace

TypedArray<int64_t> both_layers_typed() {
	TypedArray<int64_t> layers;
	layers.append(int64_t(0));
	layers.append(int64_t(1));
	return layers;
}

String cache_key(const Vector3i &p_start, const Vector3i &p_goal, const TypedArray<int64_t> &p_layers, const TypedArray<StringName> &p_access, int64_t p_revision) {
	String key;
	append_cell(key, p_start);
	key += ">";
	append_cell(key, p_goal);
	key += "|L:";
	for (int64_t i = 0; i < p_layers.size(); i++) {
		key += (i > 0 ? "," : "") + String::num_int64(int64_t(p_layers[i]));
	}
	key += "|A:";
	for (int64_t i = 0; i < p_access.size(); i++) {
		const String name = p_access[i];
		key += (i > 0 ? "," : "") + String::num_int64(name.length()) + ":" + name;
	}
	key += "|R:" + String::num_int64(p_revision);
	return key;
}

bool same_value(const Variant &p_a, const Variant &p_b) {
	if (p_a.get_type() != p_b.get_type()) {
		return false;
	}
	if (is_container_or_object(p_a.get_type())) {
		return UtilityFunctions::is_same(p_a, p_b);
	}
	if (p_a.get_type() == Variant::FLOAT) {
		const double a = p_a;
		const double b = p_b;
		return std::memcmp(&a, &b, sizeof(a)) == 0;
	}
	return p_a == p_b;
}

AccessAnswer check_access_answer(const Dictionary &p_answer, const Array &p_goals, const Vector3i &p_fallback) {
	const Array keys = p_answer.keys();
	if (keys.size() == 1) {
		const Variant supported = p_answer.get(StringName("supported"), Variant());
		FUZZ_CHECK(keys[0].get_type() == Variant::STRING_NAME && supported.get_type() == Variant::BOOL && !bool(supported), "a one-entry answer that is not the decline: " + text(p_answer));
		return AccessAnswer::DECLINED;
	}
	const char *const ORDER[] = { "supported", "reachable", "path", "target_cell" };
	FUZZ_CHECK(keys.size() == 4, "an answer has four entries: " + text(p_answer));
	for (int i = 0; i < 4; i++) {
		FUZZ_CHECK(keys[i].get_type() == Variant::STRING_NAME && String(keys[i]) == String(ORDER[i]), "answer keys out of order: " + text(keys));
	}
	const Variant supported = p_answer.get(StringName("supported"), Variant());
	const Variant reachable = p_answer.get(StringName("reachable"), Variant());
	const Variant path = p_answer.get(StringName("path"), Variant());
	const Variant target = p_answer.get(StringName("target_cell"), Variant());
	FUZZ_CHECK(supported.get_type() == Variant::BOOL && bool(supported), "supported is not true in an answer");
	FUZZ_CHECK(reachable.get_type() == Variant::BOOL, "reachable is not a bool");
	FUZZ_CHECK(path.get_type() == Variant::ARRAY && Array(path).get_typed_builtin() == Variant::VECTOR3I, "path is not an Array typed Vector3i");
	FUZZ_CHECK(target.get_type() == Variant::VECTOR3I, "target_cell is not a cell");
	if (!bool(reachable)) {
		FUZZ_CHECK(Array(path).is_empty(), "an unreachable answer with a path");
		FUZZ_CHECK(Vector3i(target) == p_fallback, "an unreachable answer's target is not the fallback");
		return AccessAnswer::UNREACHABLE;
	}
	FUZZ_CHECK(!Array(path).is_empty(), "a reachable answer without a path");
	FUZZ_CHECK(p_goals.has(target), "the target is not one of the goals");
	return AccessAnswer::REACHABLE;
}

QueryTreeView::QueryTreeView(const Variant &p_tree) :
        tree(p_tree) {}

bool QueryTreeView::usable() const {
	return bool(tree.get(StringName("usable"), false));
}

bool QueryTreeView::settled(const Vector3i &p_goal) const {
	return Dictionary(tree.get(StringName("settled"), Variant())).has(p_goal);
}

bool QueryTreeView::cost_of(const Vector3i &p_goal, int64_t &r_cost) const {
	if (!bool(tree.get(StringName("compact"), false))) {
		const Dictionary costs = tree.get(StringName("costs"), Variant());
		if (!costs.has(p_goal)) {
			return false;
		}
		r_cost = costs.get(p_goal, Variant());
		return true;
	}
	const Dictionary indices = tree.get(StringName("indices"), Variant());
	const PackedInt64Array values = tree.get(StringName("cost_values"), Variant());
	if (!indices.has(p_goal)) {
		return false;
	}
	const int64_t index = indices.get(p_goal, Variant());
	if (index < 0 || index >= values.size()) {
		return false;
	}
	r_cost = values[index];
	return true;
}

void check_selection(const QueryTreeView &p_tree, const Dictionary &p_targets, const Array &p_goals, const Dictionary &p_answer) {
	FUZZ_CHECK(p_tree.usable(), "answered from a tree that is not usable");
	bool found = false;
	int64_t best_cost = 0;
	Vector3i best;
	for (int64_t i = 0; i < p_goals.size(); i++) {
		FUZZ_CHECK(p_goals[i].get_type() == Variant::VECTOR3I, "answered for a goal that is not a cell");
		const Vector3i goal = p_goals[i];
		if (!p_targets.has(goal) || !p_tree.settled(goal)) {
			continue;
		}
		int64_t cost = 0;
		FUZZ_CHECK(p_tree.cost_of(goal, cost), "answered though the tree lacks a usable cost for " + text(goal));
		if (!found || cost < best_cost) {
			found = true;
			best_cost = cost;
			best = goal;
		}
	}
	const bool reachable = p_answer.get(StringName("reachable"), false);
	FUZZ_CHECK(reachable == found, std::string("reachable is ") + (reachable ? "true" : "false") + " for a tree whose cheapest target was " + (found ? "" : "not ") + "found");
	if (found) {
		FUZZ_CHECK(Vector3i(p_answer.get(StringName("target_cell"), Variant())) == best, "selected " + text(p_answer.get(StringName("target_cell"), Variant())) + ", the cheapest first goal is " + text(best));
	}
}

ServiceWrites::ServiceWrites(GuestPathWorld &r_world) :
        world(r_world) {
	const Variant batch_value = world.member("_query_batch");
	if (batch_value.get_type() == Variant::DICTIONARY) {
		batch = batch_value;
		batch_shared = true;
		ready_was_true = bool(batch.get(StringName("ready"), false));
		for (int i = 0; i < 3; i++) {
			batch_slots[i].present = batch.has(StringName(BATCH_KEYS[i]));
			batch_slots[i].value = batch.get(StringName(BATCH_KEYS[i]), Variant());
		}
	}
	misses = world.member("cache_misses");
	wrapped_member = world.member("_guest_tree_arithmetic_wrapped");
	for (int i = 0; i < 3; i++) {
		last_fields[i] = world.member(LAST_FIELDS[i]);
	}
	const Variant cache_value = world.member("_path_cache");
	if (cache_value.get_type() == Variant::DICTIONARY) {
		cache = cache_value;
		cache_shared = true;
		const Array keys = cache.keys();
		for (int64_t i = 0; i < keys.size(); i++) {
			cache_entries.emplace_back(keys[i], cache.get(keys[i], Variant()));
		}
	}
	revision = world.member("graph_revision");
}

const std::vector<StringName> &path_query_members() {
	static const std::vector<StringName> *names = new std::vector<StringName>({ "_query_batch", "cache_misses", "last_no_route_reason", "last_path_cost", "last_error", "_guest_tree_arithmetic_wrapped" });
	return *names;
}

Dictionary ServiceWrites::targets_before() const {
	return batch.get(StringName("targets"), Variant());
}

QueryTreeView ServiceWrites::batch_tree() const {
	return QueryTreeView(batch.get(StringName("tree"), Variant()));
}

void ServiceWrites::check_and_undo(bool p_answered, const Vector3i &p_start, const Array &p_goals, const TypedArray<int64_t> &p_layers, const TypedArray<StringName> &p_access, const Dictionary &p_answer) {
	const PathPlan &plan = world.plan;
	FUZZ_CHECK(plan.tree_builds <= (ready_was_true ? 0 : 1), "the tree was built " + std::to_string(plan.tree_builds) + " times");

	// The path cache: only the entries of the selected and of the last goal, on an answer.
	if (cache_shared) {
		Dictionary before;
		for (const auto &entry : cache_entries) {
			before[entry.first] = entry.second;
		}
		std::vector<String> allowed;
		const bool reachable = p_answered && bool(p_answer.get(StringName("reachable"), false));
		if (p_answered) {
			if (reachable) {
				allowed.push_back(cache_key(p_start, p_answer.get(StringName("target_cell"), Variant()), p_layers, p_access, revision));
			}
			allowed.push_back(cache_key(p_start, p_goals[p_goals.size() - 1], p_layers, p_access, revision));
		}
		const bool writable = !cache.is_read_only() && !cache.is_typed();
		// A route the service's failure report answered is the caller's, not the tree's.
		if (reachable && writable && plan.resolutions_failed == 0) {
			const Variant stored = cache.get(allowed[0], Variant());
			FUZZ_CHECK(cache.has(allowed[0]), "the selected route was not cached under " + text(allowed[0]));
#ifdef VELTRIN_NATIVE_ROUTE_COPY
			const Variant route = p_answer.get(StringName("path"), Variant());
			FUZZ_CHECK(stored.get_type() == Variant::ARRAY && Array(stored).get_typed_builtin() == Variant::VECTOR3I && Array(stored) == Array(route) && !UtilityFunctions::is_same(stored, route), "the cached route is not an independent typed copy of the answer's path");
#endif
		}
		const Array keys = cache.keys();
		for (int64_t i = 0; i < keys.size(); i++) {
			const Variant key = keys[i];
			const bool existed = before.has(key);
			if (existed && same_value(before.get(key, Variant()), cache.get(key, Variant()))) {
				continue;
			}
			bool permitted = false;
			for (const String &name : allowed) {
				permitted = permitted || (key.get_type() == Variant::STRING && String(key) == name);
			}
			FUZZ_CHECK(permitted, "a cache entry was written that no query may write: " + text(key));
			if (existed) {
				cache[key] = before.get(key, Variant());
			} else {
				cache.erase(key);
			}
		}
		for (const auto &entry : cache_entries) {
			FUZZ_CHECK(cache.has(entry.first), "a cache entry was removed: " + text(entry.first));
		}
	}

	// The batch: its tree, wrapped flag and ready flag, on the build of its first query.
	if (batch_shared) {
		bool changed = false;
		for (int i = 0; i < 3; i++) {
			const StringName key(BATCH_KEYS[i]);
			const bool present = batch.has(key);
			changed = changed || present != batch_slots[i].present || (present && !same_value(batch.get(key, Variant()), batch_slots[i].value));
		}
		FUZZ_CHECK(!changed || plan.tree_builds == 1, "the batch's tree or flags changed without a tree build");
		if (plan.tree_builds == 1 && !batch.is_read_only() && !batch.is_typed()) {
			FUZZ_CHECK(same_value(batch.get(StringName("tree"), Variant()), plan.last_tree), "the batch does not hold the tree the service built");
			FUZZ_CHECK(same_value(batch.get(StringName("arithmetic_wrapped"), Variant()), world.member("_guest_tree_arithmetic_wrapped")), "the batch's wrapped flag is not the service's");
			const Variant ready = batch.get(StringName("ready"), Variant());
			FUZZ_CHECK(ready.get_type() == Variant::BOOL && bool(ready), "the batch was not marked ready after its build");
		}
		if (changed) {
			for (int i = 0; i < 3; i++) {
				const StringName key(BATCH_KEYS[i]);
				if (batch_slots[i].present) {
					batch[key] = batch_slots[i].value;
				} else {
					batch.erase(key);
				}
			}
		}
	}

	// The service's own tree build sets its wrapped flag.
	if (plan.tree_builds > 0) {
		world.set_member("_guest_tree_arithmetic_wrapped", wrapped_member);
	}

	// cache_misses counts each resolution that reached the batch: one for the selected goal,
	// one more for a different last goal.
	const Variant misses_now = world.member("cache_misses");
	if (!same_value(misses_now, misses)) {
		FUZZ_CHECK(misses_now.get_type() == Variant::INT, "cache_misses written as " + text(misses_now));
		const uint64_t delta = uint64_t(int64_t(misses_now)) - uint64_t(int64_t(misses));
		FUZZ_CHECK(delta == 1 || (p_answered && delta == 2), "cache_misses moved by " + std::to_string(delta));
		world.set_member("cache_misses", misses);
	}

	// The last-query fields: written by an answer's resolution, or by the service's own
	// failure report.
	if (p_answered || plan.resolutions_failed > 0) {
		for (int i = 0; i < 3; i++) {
			world.set_member(LAST_FIELDS[i], last_fields[i]);
		}
	}
}

} // namespace veltrin_fuzz
