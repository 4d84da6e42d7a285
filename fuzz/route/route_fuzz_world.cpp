#include "route_fuzz_world.hpp"

#include <plugin_loader.hpp>

#include <engine_double/call_log.hpp>

#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdio>
#include <cstdlib>

using namespace godot;

namespace veltrin_fuzz {

namespace {

const char *const IMPOSTOR_SCRIPT_PATH = "res://scripts/world/path_service_variant.gd";

// Each graph's cells, so the hook draws targets that exist more often than not.
const RouteGraph *current_graph = nullptr;

Vector3i graph_cell(VariantDecoder &r_decoder) {
	if (current_graph != nullptr && !current_graph->cells.is_empty() && !r_decoder.input().chance(24)) {
		const Variant cell = current_graph->cells[int64_t(r_decoder.input().pick(size_t(current_graph->cells.size())))];
		if (cell.get_type() == Variant::VECTOR3I) {
			return cell;
		}
	}
	return r_decoder.cell();
}

// A cost most often small and positive; sometimes 0, negative, huge or not an int.
Variant decode_cost(VariantDecoder &r_decoder) {
	FuzzInput &in = r_decoder.input();
	const uint8_t mode = in.byte();
	if (mode < 200) {
		return int64_t(in.range(1, 20));
	}
	if (mode < 235) {
		return in.edgy_int64();
	}
	return r_decoder.value(2);
}

Variant decode_adjacency_entry(VariantDecoder &r_decoder) {
	FuzzInput &in = r_decoder.input();
	Dictionary entry;
	entry[StringName("to")] = in.chance(245) ? Variant(graph_cell(r_decoder)) : r_decoder.value(3);
	entry[StringName("connector_id")] = in.chance(230) ? Variant(StringName()) : r_decoder.key(3);
	entry[StringName("access_id")] = in.chance(235) ? Variant(StringName()) : r_decoder.key(3);
	entry[StringName("movement_type")] = in.chance(225) ? Variant(StringName("walk")) : r_decoder.key(3);
	const uint8_t cost_mode = in.byte() % 4;
	if (cost_mode == 0) {
		entry[StringName("base_cost")] = decode_cost(r_decoder);
	} else if (cost_mode == 1) {
		entry[StringName("cost")] = decode_cost(r_decoder);
	} else if (cost_mode == 2) {
		entry[StringName("base_cost")] = decode_cost(r_decoder);
		entry[StringName("cost")] = decode_cost(r_decoder);
	}
	return r_decoder.finish(entry);
}

Variant decode_traffic_entry(VariantDecoder &r_decoder) {
	FuzzInput &in = r_decoder.input();
	Dictionary entry;
	if (in.chance(30)) {
		return entry;
	}
	if (in.chance(240)) {
		entry[StringName("temporary_block")] = in.chance(200) ? Variant(in.chance(60)) : r_decoder.value(3);
	}
	const char *const numbers[] = { "dynamic_cost", "current_density", "base_capacity" };
	for (const char *number_name : numbers) {
		if (in.chance(245)) {
			entry[StringName(number_name)] = in.chance(220) ? Variant(in.small_int64(12)) : r_decoder.value(3);
		}
	}
	return r_decoder.finish(entry);
}

Variant decode_memo(VariantDecoder &r_decoder, int p_depth) {
	FuzzInput &in = r_decoder.input();
	Dictionary memo;
	if (current_graph != nullptr && in.chance(60)) {
		// A few cells already memoised, by an earlier query or with garbage.
		for (int i = int(in.range(1, 3)); i > 0; i--) {
			memo[graph_cell(r_decoder)] = in.chance(200) ? decode_edge_rows(r_decoder, *current_graph, p_depth + 1) : r_decoder.value(p_depth + 1);
		}
	}
	return r_decoder.finish(memo);
}

bool route_hook(VariantDecoder &r_decoder, const std::string &p_name, int p_depth, Variant &r_value) {
	FuzzInput &in = r_decoder.input();
	if (p_name == "_adjacency") {
		Dictionary adjacency;
		if (current_graph != nullptr) {
			for (int64_t i = 0; i < current_graph->cells.size(); i++) {
				if (in.chance(40)) {
					continue;
				}
				adjacency[current_graph->cells[i]] = r_decoder.array(p_depth + 1, [&r_decoder](int) { return decode_adjacency_entry(r_decoder); });
			}
		}
		r_value = r_decoder.finish(adjacency);
		return true;
	}
	if (p_name == "_cell_traffic") {
		Dictionary traffic;
		for (int i = int(in.range(0, 3)); i > 0; i--) {
			traffic[graph_cell(r_decoder)] = in.chance(230) ? decode_traffic_entry(r_decoder) : r_decoder.value(p_depth + 1);
		}
		r_value = r_decoder.finish(traffic);
		return true;
	}
	if (p_name == "_guest_tree_workspace") {
		Dictionary workspace;
		if (in.chance(245)) {
			workspace[StringName("edges")] = in.chance(235) ? decode_memo(r_decoder, p_depth + 1) : r_decoder.value(p_depth + 1);
		}
		if (in.chance(245)) {
			// The query's cells: the graph's own numbering most of the time (shared, as the
			// service hands it), else a copy or anything.
			const uint8_t mode = in.byte();
			if (current_graph != nullptr && mode < 200) {
				workspace[StringName("indices")] = current_graph->indices;
			} else if (current_graph != nullptr && mode < 220) {
				workspace[StringName("indices")] = current_graph->indices.duplicate();
			} else {
				workspace[StringName("indices")] = r_decoder.value(p_depth + 1);
			}
		}
		r_value = r_decoder.finish(workspace);
		return true;
	}
	if (p_name == "_vertical_walk_requires_connector") {
		r_value = in.boolean();
		return true;
	}
	if (p_name == "_rows") {
		Dictionary rows;
		if (current_graph != nullptr) {
			for (int64_t i = 0; i < current_graph->cells.size(); i++) {
				if (!in.chance(30)) {
					rows[current_graph->cells[i]] = decode_edge_rows(r_decoder, *current_graph, p_depth + 1);
				}
			}
		}
		r_value = r_decoder.finish(rows);
		return true;
	}
	return false;
}

void set_member(Object *p_object, const char *p_name, const Variant &p_value) {
	p_object->set(StringName(p_name), p_value);
}

} // namespace

RouteWorld::RouteWorld() :
        impostor(veltrin_test::PathServiceConstants(), IMPOSTOR_SCRIPT_PATH) {
	engine_double::call_log_set_enabled(false);
	host = std::make_unique<engine_double::PluginHost>();
	core = load_numeric_core(*host, VELTRIN_PLUGIN_PATH);
	edge_script = engine_double::ScriptDouble::create("res://fuzz/edge_source.gd");
	edge_script->member("_rows", Dictionary());
	edge_script->method("edges", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
		const Variant rows = p_call.member("_rows");
		if (rows.get_type() != Variant::DICTIONARY) {
			return Variant();
		}
		return Dictionary(rows).get(p_call[0], Variant());
	});
	edge_source = edge_script->instantiate();
}

Variant RouteWorld::call(const char *p_method, const std::vector<Variant> &p_arguments) const {
	return host->call(core, p_method, p_arguments);
}

RouteWorld &route_world() {
	// Never destroyed: the plug-in's classes must not be torn down under libFuzzer's exit.
	static RouteWorld *world = new RouteWorld();
	return *world;
}

const std::vector<std::string> &route_names() {
	static const std::vector<std::string> names = {
		"edges",
		"indices",
		"to",
		"connector_id",
		"access_id",
		"movement_type",
		"base_cost",
		"cost",
		"temporary_block",
		"dynamic_cost",
		"current_density",
		"base_capacity",
		"walk",
		"stairs",
		"elevator",
		"_guest_tree_shared_edges",
		"_guest_tree_workspace",
		"_adjacency",
		"_cell_traffic",
		"edges",
		"FRONT",
		"BACK",
	};
	return names;
}

VariantDecoder route_decoder(FuzzInput &r_input) {
	return VariantDecoder(r_input, route_names(), DecoderLimits { 3, 5 });
}

Variant decode_edge_rows(VariantDecoder &r_decoder, const RouteGraph &p_graph, int p_depth) {
	FuzzInput &in = r_decoder.input();
	if (in.chance(12)) {
		return r_decoder.value(p_depth);
	}
	const RouteGraph *saved = current_graph;
	current_graph = &p_graph;
	Array rows;
	for (int i = int(in.range(0, 4)); i > 0; i--) {
		const uint8_t mode = in.byte();
		if (mode < 235) {
			Array row;
			row.push_back(in.chance(245) ? Variant(graph_cell(r_decoder)) : r_decoder.key(p_depth + 2));
			row.push_back(decode_cost(r_decoder));
			rows.push_back(r_decoder.finish(row));
		} else {
			// A row of another length or no row at all.
			rows.push_back(r_decoder.value(p_depth + 1));
		}
	}
	current_graph = saved;
	return r_decoder.finish(rows);
}

RouteGraph decode_route_state(VariantDecoder &r_decoder, RouteWorld &r_world) {
	FuzzInput &in = r_decoder.input();
	static RouteGraph graph;
	graph = RouteGraph();
	const int64_t cell_count = in.range(0, 10);
	for (int64_t i = 0; i < cell_count; i++) {
		const Vector3i cell = r_decoder.cell();
		if (!graph.indices.has(cell) || in.chance(8)) {
			graph.indices[cell] = graph.cells.size();
			graph.cells.push_back(cell);
		}
	}
	// Numberings the service never hands over, but a script might.
	const uint8_t damage = in.byte();
	if (damage >= 230 && !graph.cells.is_empty()) {
		graph.indices[graph.cells[int64_t(in.pick(size_t(graph.cells.size())))]] = in.chance(128) ? r_decoder.value(2) : Variant(in.edgy_int64());
	} else if (damage >= 220) {
		graph.cells.push_back(r_decoder.value(2));
	}
	graph.cells = r_decoder.finish(graph.cells);
	graph.indices = r_decoder.finish(graph.indices);

	current_graph = &graph;
	r_decoder.set_hook(route_hook);
	r_decoder.add_known_object(r_world.service.object_variant());
	Object *services[] = { r_world.service.object(), r_world.impostor.object() };
	for (Object *service : services) {
		set_member(service, "_adjacency", r_decoder.field("_adjacency"));
		set_member(service, "_cell_traffic", r_decoder.field("_cell_traffic"));
		set_member(service, "_guest_tree_workspace", r_decoder.field("_guest_tree_workspace"));
		set_member(service, "_vertical_walk_requires_connector", r_decoder.field("_vertical_walk_requires_connector"));
		if (in.chance(200)) {
			break; // The impostor keeps whatever it held.
		}
	}
	set_member(r_world.edge_source.ptr(), "_rows", r_decoder.field("_rows"));
	return graph;
}

std::vector<SnapshotRoot> route_roots(const RouteWorld &p_world) {
	return {
		{ "path_service", p_world.service.object_variant() },
		{ "impostor", p_world.impostor.object_variant() },
		{ "edge_source", Variant(p_world.edge_source) },
	};
}

Variant workspace_memo(const RouteWorld &p_world) {
	return workspace_memo(p_world.service);
}

Variant workspace_memo(const veltrin_test::PathServiceFixture &p_service) {
	const Variant workspace = p_service.object()->get(StringName("_guest_tree_workspace"));
	if (workspace.get_type() != Variant::DICTIONARY) {
		return Variant();
	}
	const Variant memo = Dictionary(workspace).get(StringName("edges"), Variant());
	return memo.get_type() == Variant::DICTIONARY ? memo : Variant();
}

} // namespace veltrin_fuzz
