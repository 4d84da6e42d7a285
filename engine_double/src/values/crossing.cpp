#include <engine_double/internal/crossing.hpp>

namespace engine_double::internal {

#ifdef _WIN32
namespace {
thread_local CrossingState crossing_state = {};
} // namespace

CrossingState &crossing_state_of_thread() {
	return crossing_state;
}
#else
ENGINE_DOUBLE_THREAD_LOCAL CrossingState crossing_state = {};
#endif

} // namespace engine_double::internal
