// guest_tree_edge_rows on decoded path services: the answer is {"supported": false} with the
// state untouched, or the cell's rows, either the memo's own Array (the state untouched) or
// freshly computed and memoised under the cell (the only write). Fresh rows must equal what
// the path service's own script computes for the cell from the same state.

#include "fuzz_check.hpp"
#include "route_answer_checks.hpp"
#include "route_fuzz_world.hpp"

#include <engine_double/error_log.hpp>

#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

#include <cstddef>
#include <cstdint>

using namespace godot;
using namespace veltrin_fuzz;

namespace {

Variant decode_path(VariantDecoder &r_decoder, RouteWorld &r_world) {
	const uint8_t mode = r_decoder.input().byte() % 16;
	if (mode < 11) {
		return r_world.service.object_variant();
	}
	switch (mode) {
		case 11:
			return r_world.impostor.object_variant();
		case 12:
			return Variant(r_world.edge_source);
		default:
			return r_decoder.object();
	}
}

Array decode_layers(VariantDecoder &r_decoder) {
	FuzzInput &in = r_decoder.input();
	if (in.chance(215)) {
		Array layers;
		layers.push_back(int64_t(0));
		layers.push_back(int64_t(1));
		return in.chance(240) ? layers : Array(r_decoder.finish(layers));
	}
	return r_decoder.array(1);
}

void check_supported(RouteWorld &r_world, const Dictionary &p_answer, const Variant &p_current, const Array &p_layers, const Array &p_access, const Variant &p_memo_hit, const Array &p_added) {
	FUZZ_CHECK(p_answer.size() == 2 && p_answer.keys()[1] == Variant(StringName("rows")), "supported answers carry the rows\n" + answer_text(p_answer));
	const Variant rows_value = p_answer[StringName("rows")];
	FUZZ_CHECK(rows_value.get_type() == Variant::ARRAY, "rows is an Array");
	if (p_memo_hit.get_type() != Variant::NIL) {
		FUZZ_CHECK(UtilityFunctions::is_same(rows_value, p_memo_hit) && p_added.is_empty(), "a memo hit answers the memo's own Array and writes nothing");
		return;
	}
	FUZZ_CHECK(p_added.size() == 1 && answer_key(p_added[0]) == answer_key(p_current), "fresh rows are memoised under the cell, and nothing else\ncell:\n" + answer_text(p_current) + "memo keys added:\n" + answer_text(p_added) + "workspace:\n" + answer_text(r_world.service.object()->get(StringName("_guest_tree_workspace"))) + "answer:\n" + answer_text(p_answer));
	const Dictionary memo = workspace_memo(r_world);
	FUZZ_CHECK(UtilityFunctions::is_same(memo.get(p_current, Variant()), rows_value), "the memo holds the answered Array itself");

	const Array rows = rows_value;
	const Variant workspace = r_world.service.object()->get(StringName("_guest_tree_workspace"));
	const Dictionary indices = Dictionary(workspace).get(StringName("indices"), Variant());
	for (int64_t i = 0; i < rows.size(); i++) {
		FUZZ_CHECK(is_edge_row(rows[i]), "rows are [cell, cost]\n" + answer_text(rows));
		const Array row = rows[i];
		const Vector3i to = row[0];
		FUZZ_CHECK(to.z == 0 || to.z == 1, "rows lead to FRONT or BACK\n" + answer_text(rows));
		if (i + 1 < rows.size()) {
			FUZZ_CHECK(int64_t(row[1]) >= 1 && indices.has(row[0]), "only the last row may be one the search refuses\n" + answer_text(rows));
		}
	}

	// The script's own rows from the same state: drop the memo entry so it computes them,
	// then put the native entry back.
	Dictionary writable_memo = memo;
	writable_memo.erase(p_current);
	const Variant script_rows = r_world.service.object()->call(StringName("_guest_tree_shared_edges"), p_current, p_layers, p_access);
	writable_memo[p_current] = rows_value;
	FUZZ_CHECK(answer_key(script_rows) == answer_key(rows_value), "native rows equal the script's\nnative:\n" + answer_text(rows_value) + "script:\n" + answer_text(script_rows));
}

void run_input(const SplitInput &p_input, RunMode p_mode, bool &r_rerun) {
	RouteWorld &world = route_world();
	FuzzInput in(p_input.data, p_input.size);
	VariantDecoder decoder = route_decoder(in);
	const RouteGraph graph = decode_route_state(decoder, world);

	for (int step = 0; step < 4 && !in.exhausted(); step++) {
		const Variant path = decode_path(decoder, world);
		Variant current = decoder.cell();
		if (!graph.cells.is_empty() && in.chance(220)) {
			current = graph.cells[int64_t(in.pick(size_t(graph.cells.size())))];
		}
		if (current.get_type() != Variant::VECTOR3I) {
			current = decoder.cell();
		}
		const Array layers = decode_layers(decoder);
		const Array access = in.chance(225) ? Array() : decoder.array(1);
		decoder.free_marked_objects();

		const std::vector<SnapshotRoot> arguments = { { "path", path }, { "layers", layers }, { "access", access } };
		const Variant memo = workspace_memo(world);
		const Variant memo_hit = memo.get_type() == Variant::DICTIONARY && Dictionary(memo).get(current, Variant()).get_type() == Variant::ARRAY
		        ? Dictionary(memo).get(current, Variant())
		        : Variant();
		HostileWorld hostile;
		hostile.roots = [&] { return arguments; };
		hostile.reentries = { [&] {
			if (!holds_freed_object({ path })) {
				world.call("guest_tree_edge_rows", { path, current, layers, access });
			}
		} };
		hostile.protected_ids = { world.service.object()->get_instance_id(), world.impostor.object()->get_instance_id(), world.edge_source->get_instance_id() };
		const RouteStateBefore before = capture_route_state(world);
		CallAudit audit(p_mode, p_input.plan, hostile);
		const Variant answer_value = world.call("guest_tree_edge_rows", { path, current, layers, access });
		audit.finish();
		if (audit.needs_exact()) {
			r_rerun = true;
			break;
		}
		FUZZ_CHECK(answer_value.get_type() == Variant::DICTIONARY, "guest_tree_edge_rows answers a Dictionary");
		const Dictionary answer = answer_value;
		const Variant supported = answer.get(StringName("supported"), Variant());
		FUZZ_CHECK(answer.size() >= 1 && answer.keys()[0] == Variant(StringName("supported")) && supported.get_type() == Variant::BOOL,
		        "the first key is supported, a bool\n" + answer_text(answer));
		if (audit.acts_fired()) {
			FUZZ_CHECK(bool(supported) || !audit.plugin_wrote_between_scripts(), "a decline wrote while the scripts misbehaved\n" + audit.plugin_write_report());
			continue;
		}
		const Array added = check_only_memo_grew(world, arguments, before, audit, "guest_tree_edge_rows");
		if (!bool(supported)) {
			FUZZ_CHECK(answer.size() == 1 && added.is_empty(), "a decline is {supported: false} and writes nothing\n" + answer_text(answer));
			continue;
		}
		check_supported(world, answer, current, layers, access, memo_hit, added);
	}
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
	run_quick_then_exact(p_data, p_size, run_input);
	return 0;
}
