#pragma once

// Reading the engine-crossing count (see engine_double/internal/crossing.hpp for what
// counts). A reader takes the calling thread's counts at construction; its getters give
// what was counted since, by side:
//
//     engine_double::CrossingReader reader;
//     core->call("search", ...);
//     reader.plugin();  // the plug-in's own crossings
//     reader.script();  // those made inside the script methods it called

#include <engine_double/internal/crossing.hpp>

#include <cstdint>

namespace engine_double {

class CrossingReader {
	uint64_t _start[internal::CROSSING_SIDE_COUNT];

	uint64_t _since(internal::CrossingSide p_side) const { return internal::crossing_state_of_thread().counts[p_side] - _start[p_side]; }

public:
	CrossingReader() { reset(); }
	void reset() {
		for (uint32_t side = 0; side < internal::CROSSING_SIDE_COUNT; side++) {
			_start[side] = internal::crossing_state_of_thread().counts[side];
		}
	}
	// Made directly by the reading code (a test's own operations).
	uint64_t caller() const { return _since(internal::CROSSING_CALLER); }
	uint64_t plugin() const { return _since(internal::CROSSING_PLUGIN); }
	uint64_t script() const { return _since(internal::CROSSING_SCRIPT); }
	uint64_t total() const { return caller() + plugin() + script(); }
};

} // namespace engine_double
