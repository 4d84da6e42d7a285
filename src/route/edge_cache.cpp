#include "route/edge_cache.hpp"

#include <new>

namespace veltrin {

bool EdgeCache::find(int64_t p_node, EdgeSpan &r_edges) const {
	if (p_node < 0 || static_cast<uint64_t>(p_node) >= slots.size()) {
		return false;
	}
	const Slot &slot = slots[static_cast<size_t>(p_node)];
	if (!slot.present) {
		return false;
	}
	r_edges.first = pool.data() + slot.offset;
	r_edges.last = r_edges.first + slot.count;
	return true;
}

EdgeSpan EdgeCache::store(int64_t p_node, const std::vector<veltrin_native::Edge> &p_edges) {
	if (p_node < 0 || static_cast<uint64_t>(p_node) >= slots.max_size()) {
		throw std::bad_alloc();
	}
	const size_t node = static_cast<size_t>(p_node);
	// Grow first: both steps either succeed or leave the cache as it was.
	if (node >= slots.size()) {
		slots.resize(node + 1);
	}
	const size_t offset = pool.size();
	pool.insert(pool.end(), p_edges.begin(), p_edges.end());
	Slot &slot = slots[node];
	if (!slot.present) {
		entry_count++;
	}
	// A replaced run stays in the pool unused until the next clear; the search never
	// replaces an entry it found.
	slot.offset = offset;
	slot.count = p_edges.size();
	slot.present = true;
	EdgeSpan edges;
	edges.first = pool.data() + offset;
	edges.last = edges.first + slot.count;
	return edges;
}

void EdgeCache::clear() {
	std::vector<Slot>().swap(slots);
	std::vector<veltrin_native::Edge>().swap(pool);
	entry_count = 0;
}

} // namespace veltrin
