#include <engine_double/internal/crossing.hpp>

namespace engine_double::internal {

ENGINE_DOUBLE_THREAD_LOCAL CrossingState crossing_state = {};

} // namespace engine_double::internal
