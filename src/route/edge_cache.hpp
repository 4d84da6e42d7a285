#pragma once

#include "native/edge.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace veltrin {

// A read-only run of edges, valid until the list it points into changes.
struct EdgeSpan {
	const veltrin_native::Edge *first = nullptr;
	const veltrin_native::Edge *last = nullptr;

	const veltrin_native::Edge *begin() const { return first; }
	const veltrin_native::Edge *end() const { return last; }
	size_t size() const { return static_cast<size_t>(last - first); }
};

// The translated edges of each node index, exactly as the kernel consumed them, ordered by
// node index. Keyed by node index alone: the caller clears it whenever its cell numbering or
// walkable edges change.
//
// Node indices are dense (0..cell count-1), so entries sit in a slot per index and share one
// edge pool: a lookup costs the same whatever the graph's size.
class EdgeCache {
public:
	// False when the node has no entry.
	bool find(int64_t p_node, EdgeSpan &r_edges) const;
	// Stores a copy of p_edges under p_node, replacing any entry, and returns the stored run,
	// valid until the next store or clear. On an allocation failure the cache is unchanged.
	EdgeSpan store(int64_t p_node, const std::vector<veltrin_native::Edge> &p_edges);
	// Removes every entry and frees the memory.
	void clear();
	// Number of nodes with an entry.
	size_t size() const { return entry_count; }

private:
	struct Slot {
		size_t offset = 0;
		size_t count = 0;
		bool present = false;
	};

	std::vector<Slot> slots;
	std::vector<veltrin_native::Edge> pool;
	size_t entry_count = 0;
};

} // namespace veltrin
