#pragma once

// Engine crossings: in godot-cpp nearly every operation on an engine value is a call through
// an interface pointer into the engine. The double's values are plain C++, so each public
// operation that would be such a call counts itself here instead, on the calling thread.
// The engine's own work never counts: an operation made while another is running (depth > 0)
// belongs to the engine. Script method bodies and plug-in methods reset the depth and count
// on their own side (CrossingFrame).

#include <godot_cpp/core/defs.hpp>

#include <cstdint>

namespace engine_double::internal {

enum CrossingSide : uint32_t {
	CROSSING_CALLER, // tests, benchmarks, the host: whoever calls the engine from outside
	CROSSING_PLUGIN, // inside a method bound by a plug-in
	CROSSING_SCRIPT, // inside a script method body
	CROSSING_SIDE_COUNT,
};

struct CrossingState {
	uint64_t counts[CROSSING_SIDE_COUNT];
	uint32_t depth;
	uint32_t side;
};

#ifdef _WIN32
// MinGW emulates thread-local data per module, and a plug-in carries its own copy of that
// runtime: a DLL's thread-local variable cannot be reached from another module's code, so
// every module asks the double for the calling thread's state.
ENGINE_DOUBLE_API CrossingState &crossing_state_of_thread();
#else
// Zero-initialised plain data: no TLS wrapper call, one segment-relative access.
extern ENGINE_DOUBLE_API ENGINE_DOUBLE_THREAD_LOCAL CrossingState crossing_state;
inline CrossingState &crossing_state_of_thread() {
	return crossing_state;
}
#endif

// One call into the engine costing p_count crossings (a method that builds its returned
// value in the engine costs 2: the return slot's construction and the call).
class Crossing {
public:
	explicit Crossing(uint32_t p_count = 1) {
		CrossingState &state = crossing_state_of_thread();
		if (state.depth++ == 0) {
			state.counts[state.side] += p_count;
		}
	}
	~Crossing() { --crossing_state_of_thread().depth; }
	Crossing(const Crossing &) = delete;
	Crossing &operator=(const Crossing &) = delete;
};

// Crossings that happen only when the engine is not already running (no scope to hold).
inline void count_crossings(uint32_t p_count) {
	CrossingState &state = crossing_state_of_thread();
	if (state.depth == 0) {
		state.counts[state.side] += p_count;
	}
}

// Code outside the engine called by the engine: a plug-in method or a script method body.
class CrossingFrame {
	uint32_t _depth;
	uint32_t _side;

public:
	explicit CrossingFrame(CrossingSide p_side) {
		CrossingState &state = crossing_state_of_thread();
		_depth = state.depth;
		_side = state.side;
		state.depth = 0;
		state.side = p_side;
	}
	~CrossingFrame() {
		CrossingState &state = crossing_state_of_thread();
		state.depth = _depth;
		state.side = _side;
	}
	CrossingFrame(const CrossingFrame &) = delete;
	CrossingFrame &operator=(const CrossingFrame &) = delete;
};

} // namespace engine_double::internal

#define ENGINE_DOUBLE_CROSSING ::engine_double::internal::Crossing engine_double_crossing_
#define ENGINE_DOUBLE_CROSSINGS(m_count) ::engine_double::internal::Crossing engine_double_crossing_(m_count)
