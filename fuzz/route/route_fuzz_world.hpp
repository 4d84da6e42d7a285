#pragma once

// The world the route fuzzers run in: a loaded plug-in, the game's path service (and one at
// another script path), a script edge source, and the decoding of a cell graph and of the
// services' state from fuzz input, biased towards the shapes the native rows accept.

#include "state_snapshot.hpp"
#include "variant_decoder.hpp"

#include <path_service_fixture.hpp>

#include <engine_double/host.hpp>
#include <engine_double/script_double.hpp>

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <memory>
#include <string>
#include <vector>

namespace veltrin_fuzz {

struct RouteWorld {
	std::unique_ptr<engine_double::PluginHost> host;
	godot::Variant core;
	veltrin_test::PathServiceFixture service;
	// Same constants and method, but not the game's script: never answered natively.
	veltrin_test::PathServiceFixture impostor;
	godot::Ref<engine_double::ScriptDouble> edge_script;
	// Answers edges(cell) with _rows[cell]; reads only.
	godot::Ref<godot::RefCounted> edge_source;

	RouteWorld();
	godot::Variant call(const char *p_method, const std::vector<godot::Variant> &p_arguments) const;
};

// Created on first use: loads the plug-in and silences the call log.
RouteWorld &route_world();

// Names the plug-in and the services read, for keys and dictionaries.
const std::vector<std::string> &route_names();

// The route fuzzers' decoder over r_input: route names, containers three deep and five wide.
VariantDecoder route_decoder(FuzzInput &r_input);

// A decoded cell graph (node i is cells[i]); indices mostly agree with cells.
struct RouteGraph {
	godot::Array cells;
	godot::Dictionary indices;
};

// Decodes the graph and sets the path services' and the edge source's members from it.
// Installs the decoder's hook for the names below, so later field() calls stay plausible.
RouteGraph decode_route_state(VariantDecoder &r_decoder, RouteWorld &r_world);

// Edge rows as a provider returns them: [[cell, cost], ...], mostly over p_graph's cells.
godot::Variant decode_edge_rows(VariantDecoder &r_decoder, const RouteGraph &p_graph, int p_depth);

// The state a route call may read, for snapshots.
std::vector<SnapshotRoot> route_roots(const RouteWorld &p_world);

// A path service's memo ("edges" of its workspace) when it is a Dictionary, or nil.
godot::Variant workspace_memo(const RouteWorld &p_world);
godot::Variant workspace_memo(const veltrin_test::PathServiceFixture &p_service);

} // namespace veltrin_fuzz
