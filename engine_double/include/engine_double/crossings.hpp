#pragma once

// Reading the engine-crossing count (see engine_double/internal/crossing.hpp for what
// counts). A reader takes the calling thread's counts at construction; its getters give
// what was counted since, by side:
//
//     engine_double::CrossingReader reader;
//     core->call("search", ...);
//     reader.plugin();  // the plug-in's own crossings
//     reader.script();  // those made inside the script methods it called
//     reader.plugin_ns(), reader.script_ns();  // the same, as modelled engine nanoseconds

#include <engine_double/internal/crossing.hpp>

#include <cstdint>

namespace engine_double {

class CrossingReader {
	uint64_t _start[internal::CROSSING_SIDE_COUNT];
	uint64_t _start_ns[internal::CROSSING_SIDE_COUNT];
	uint64_t _start_kinds[internal::CROSSING_SIDE_COUNT][size_t(internal::Cost::COUNT)];

	uint64_t _since(internal::CrossingSide p_side) const { return internal::crossing_state_of_thread().counts[p_side] - _start[p_side]; }
	uint64_t _ns_since(internal::CrossingSide p_side) const { return internal::crossing_state_of_thread().nanoseconds[p_side] - _start_ns[p_side]; }

public:
	CrossingReader() { reset(); }
	void reset() {
		for (uint32_t side = 0; side < internal::CROSSING_SIDE_COUNT; side++) {
			_start[side] = internal::crossing_state_of_thread().counts[side];
			_start_ns[side] = internal::crossing_state_of_thread().nanoseconds[side];
		}
		for (uint32_t side = 0; side < internal::CROSSING_SIDE_COUNT; side++) {
			for (size_t kind = 0; kind < size_t(internal::Cost::COUNT); kind++) {
				_start_kinds[side][kind] = internal::crossing_state_of_thread().kinds[side][kind];
			}
		}
	}
	// Made directly by the reading code (a test's own operations).
	uint64_t caller() const { return _since(internal::CROSSING_CALLER); }
	uint64_t plugin() const { return _since(internal::CROSSING_PLUGIN); }
	uint64_t script() const { return _since(internal::CROSSING_SCRIPT); }
	uint64_t total() const { return caller() + plugin() + script(); }
	// Modelled engine nanoseconds (internal/crossing.hpp's COST_TABLE); a script method's
	// dispatch counts on the script's side.
	uint64_t caller_ns() const { return _ns_since(internal::CROSSING_CALLER); }
	uint64_t plugin_ns() const { return _ns_since(internal::CROSSING_PLUGIN); }
	uint64_t script_ns() const { return _ns_since(internal::CROSSING_SCRIPT); }
	uint64_t total_ns() const { return caller_ns() + plugin_ns() + script_ns(); }
	// Operations of one kind on one side (an entry copied, a crossing of no kind).
	uint64_t operations(internal::CrossingSide p_side, internal::Cost p_kind) const { return internal::crossing_state_of_thread().kinds[p_side][size_t(p_kind)] - _start_kinds[p_side][size_t(p_kind)]; }
	// The same, all sides together.
	uint64_t operations(internal::Cost p_kind) const {
		uint64_t total = 0;
		for (uint32_t side = 0; side < internal::CROSSING_SIDE_COUNT; side++) {
			total += operations(internal::CrossingSide(side), p_kind);
		}
		return total;
	}
};

} // namespace engine_double
