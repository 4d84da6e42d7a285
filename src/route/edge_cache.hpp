#pragma once

#include "native/edge.h"

#include <cstdint>
#include <map>
#include <vector>

namespace veltrin {

// The translated edges of each node index, exactly as the kernel consumed them, in
// ascending node order. Keyed by node index alone: the caller clears it whenever its
// cell numbering or walkable edges change.
using EdgeCache = std::map<int64_t, std::vector<veltrin_native::Edge>>;

} // namespace veltrin
