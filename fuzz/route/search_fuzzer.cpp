// search, search_cached and clear_edge_cache in decoded sequences on one instance, with
// providers of every kind: the path service's walking edges (answered natively), a script
// edge source, the same method on a service at another script path, freed and null objects
// and garbage. Each answer must have a shape the method allows, and a call may change
// nothing but the path service's memo. On a state the calls no longer change, search and
// search_cached (cold and warm) must answer alike, the warm one without asking the provider.

#include "fuzz_check.hpp"
#include "route_answer_checks.hpp"
#include "route_fuzz_world.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/custom_callable.hpp>
#include <engine_double/error_log.hpp>

#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/callable.hpp>

#include <cstddef>
#include <cstdint>

using namespace godot;
using namespace veltrin_fuzz;

namespace {

const char *const SHARED_EDGES = "_guest_tree_shared_edges";

Array walk_layers_or_not(VariantDecoder &r_decoder) {
	FuzzInput &in = r_decoder.input();
	if (in.chance(220)) {
		Array layers;
		layers.push_back(int64_t(0));
		layers.push_back(int64_t(1));
		return in.chance(240) ? layers : Array(r_decoder.finish(layers));
	}
	return r_decoder.array(1);
}

Array access_or_not(VariantDecoder &r_decoder) {
	return r_decoder.input().chance(225) ? Array() : r_decoder.array(1);
}

Callable decode_provider(VariantDecoder &r_decoder, RouteWorld &r_world) {
	FuzzInput &in = r_decoder.input();
	const uint8_t mode = in.byte() % 16;
	if (mode < 6) {
		return Callable(r_world.service.object(), SHARED_EDGES).bind(walk_layers_or_not(r_decoder), access_or_not(r_decoder));
	}
	if (mode < 10) {
		return Callable(r_world.edge_source.ptr(), "edges");
	}
	switch (mode) {
		case 10:
			return Callable(r_world.impostor.object(), SHARED_EDGES).bind(walk_layers_or_not(r_decoder), access_or_not(r_decoder));
		case 11: {
			// Its object is freed before the search runs.
			Object *freed = r_world.edge_script->instantiate_object();
			const Callable provider(freed, "edges");
			memdelete(freed);
			return provider;
		}
		case 12:
			return Callable();
		case 13: {
			// The walking method under bindings it does not take.
			const Callable method(r_world.service.object(), SHARED_EDGES);
			const uint8_t binding = in.byte() % 4;
			if (binding == 0) {
				return method.bind(walk_layers_or_not(r_decoder));
			}
			if (binding == 1) {
				return method.bind(walk_layers_or_not(r_decoder), Array(), int64_t(1)).unbind(1);
			}
			if (binding == 2) {
				return method.bind(r_decoder.value(1), access_or_not(r_decoder));
			}
			return method.bind(walk_layers_or_not(r_decoder), access_or_not(r_decoder)).unbind(1);
		}
		case 14:
			return r_decoder.callable();
		default:
			return Callable(r_world.edge_source.ptr(), "missing_method");
	}
}

int64_t decode_start(VariantDecoder &r_decoder, const RouteGraph &p_graph) {
	FuzzInput &in = r_decoder.input();
	if (p_graph.cells.is_empty() || in.chance(16)) {
		return in.edgy_int64();
	}
	return in.range(0, p_graph.cells.size() - 1);
}

Dictionary decode_goals(VariantDecoder &r_decoder, const RouteGraph &p_graph) {
	FuzzInput &in = r_decoder.input();
	Dictionary goals;
	for (int i = int(in.range(0, 3)); i > 0; i--) {
		if (!p_graph.cells.is_empty() && in.chance(220)) {
			goals[p_graph.cells[int64_t(in.pick(size_t(p_graph.cells.size())))]] = true;
		} else {
			goals[r_decoder.key(1)] = r_decoder.value(2);
		}
	}
	return r_decoder.finish(goals);
}

struct SearchArguments {
	Array cells;
	Dictionary indices;
	int64_t start = 0;
	Dictionary goals;
	Callable provider;

	std::vector<Variant> values() const { return { cells, indices, start, goals, provider }; }
	std::vector<SnapshotRoot> roots() const {
		return { { "cells", cells }, { "indices", indices }, { "goals", goals }, { "provider", provider } };
	}
};

// The run under way: its mode, its plan of misbehaving scripts, and whether a quick run
// met a write and must be redone exactly (then every later step is skipped).
struct Run {
	RunMode mode = RunMode::QUICK;
	const HostilePlan *plan = nullptr;
	bool rerun = false;
	bool wrote = false; // The last checked call changed the state.
};
Run run;

Variant checked_call(RouteWorld &r_world, const char *p_method, const SearchArguments &p_arguments) {
	HostileWorld hostile;
	hostile.roots = [&] { return p_arguments.roots(); };
	// The walk memo grows with the rows a search computes, on any answer (as without acts).
	hostile.query_members = { StringName("_guest_tree_workspace") };
	hostile.reentries = {
		[&] { r_world.call("clear_edge_cache", {}); },
		[&] { r_world.call("search_cached", p_arguments.values()); },
	};
	hostile.protected_ids = { r_world.service.object()->get_instance_id(), r_world.impostor.object()->get_instance_id(), r_world.edge_source->get_instance_id() };
	const RouteStateBefore before = capture_route_state(r_world);
	const int64_t numbered = p_arguments.cells.size();
	CallAudit audit(run.mode, *run.plan, hostile);
	const Variant answer = r_world.call(p_method, p_arguments.values());
	audit.finish();
	run.wrote = !audit.untouched();
	if (audit.needs_exact()) {
		run.rerun = true;
		return answer;
	}
	check_search_answer(answer, p_arguments.cells, numbered, p_arguments.start);
	if (audit.acts_fired()) {
		// The scripts changed the state themselves; the search's own code wrote nothing.
		FUZZ_CHECK(!audit.plugin_wrote_between_scripts(), std::string(p_method) + " wrote while the scripts misbehaved\n" + audit.plugin_write_report());
		return answer;
	}
	check_only_memo_grew(r_world, p_arguments.roots(), before, audit, p_method);
	return answer;
}

int64_t provider_calls() {
	int64_t count = 0;
	for (const engine_double::CallLogEntry &entry : engine_double::call_log_entries()) {
		if (entry.kind == engine_double::CallLogKind::CALL && (entry.name == StringName("edges") || entry.name == StringName(SHARED_EDGES))) {
			count++;
		}
	}
	return count;
}

// Once a search no longer changes the state, the cache may not change its answer.
void check_cache_agrees(RouteWorld &r_world, const SearchArguments &p_arguments) {
	checked_call(r_world, "search", p_arguments);
	const Variant uncached = checked_call(r_world, "search", p_arguments);
	if (run.rerun || run.wrote || !run.plan->empty()) {
		// Still memoising (or a memo shared with the graph, or scripts that misbehave): no
		// fixed state to compare on.
		return;
	}
	r_world.call("clear_edge_cache", {});
	const Variant cold = checked_call(r_world, "search_cached", p_arguments);
	if (run.rerun) {
		return;
	}
	const std::string uncached_key = answer_key(uncached);
	FUZZ_CHECK(answer_key(cold) == uncached_key, "search_cached on a cleared cache answers as search\nsearch:\n" + answer_text(uncached) + "search_cached:\n" + answer_text(cold));
	engine_double::call_log_clear();
	engine_double::call_log_set_enabled(true);
	const Variant warm = r_world.call("search_cached", p_arguments.values());
	const int64_t calls = provider_calls();
	engine_double::call_log_set_enabled(false);
	engine_double::call_log_clear();
	FUZZ_CHECK(answer_key(warm) == uncached_key, "a warm search_cached answers as search\nsearch:\n" + answer_text(uncached) + "warm:\n" + answer_text(warm));
	FUZZ_CHECK(calls == 0, "a warm search_cached asks the provider nothing");
}

// A plain object running the edge script over the edge source's rows: a provider a
// misbehaving script may free in the middle of a search.
Object *plain_edge_source(RouteWorld &r_world) {
	Object *source = r_world.edge_script->instantiate_object();
	source->set("_rows", r_world.edge_source->get("_rows"));
	return source;
}

void run_input(const SplitInput &p_input) {
	RouteWorld &world = route_world();
	FuzzInput in(p_input.data, p_input.size);
	VariantDecoder decoder = route_decoder(in);
	world.call("clear_edge_cache", {});

	SearchArguments arguments;
	const RouteGraph graph = decode_route_state(decoder, world);
	arguments.cells = graph.cells;
	arguments.indices = graph.indices;
	arguments.provider = decode_provider(decoder, world);
	uint64_t plain_source = 0;
	if (!p_input.plan.empty() && in.chance(128)) {
		Object *source = plain_edge_source(world);
		plain_source = source->get_instance_id();
		arguments.provider = Callable(source, "edges");
	}

	for (int step = 0; step < 8 && !in.exhausted() && !run.rerun; step++) {
		const uint8_t action = in.byte() % 16;
		if (action == 0) {
			world.call("clear_edge_cache", {});
			continue;
		}
		if (action == 1) {
			arguments.provider = decode_provider(decoder, world);
		} else if (action == 2) {
			// The graph's edges change under the cache's feet.
			world.edge_source->set("_rows", decoder.field("_rows"));
		}
		arguments.start = decode_start(decoder, graph);
		arguments.goals = decode_goals(decoder, graph);
		decoder.free_marked_objects();
		if (action >= 13) {
			check_cache_agrees(world, arguments);
		} else {
			checked_call(world, action % 2 == 0 ? "search" : "search_cached", arguments);
		}
	}
	if (Object *source = ObjectDB::get_instance(plain_source)) {
		memdelete(source);
	}
	world.call("clear_edge_cache", {});
	// The double keeps every error the engine would print: drop this run's, or the log
	// grows without bound (and every run looks like a leak to libFuzzer).
	engine_double::error_log_clear();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
	route_world();
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *p_data, size_t p_size) {
	run_quick_then_exact(p_data, p_size, [](const SplitInput &p_input, RunMode p_mode, bool &r_rerun) {
		run = Run();
		run.mode = p_mode;
		run.plan = &p_input.plan;
		run_input(p_input);
		r_rerun = run.rerun;
	});
	return 0;
}
