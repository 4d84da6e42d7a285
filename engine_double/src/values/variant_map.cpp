#include "variant_map.hpp"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace engine_double::internal {

using godot::Variant;

namespace {

#ifdef _WIN32

// MinGW may release a thread's emulated thread-local storage before it runs that thread's
// thread-local destructors, so a per-thread pool would be torn down from freed memory at
// thread exit. Windows builds allocate entries and slot tables directly.

void *entry_memory_take() {
	return ::operator new(sizeof(VariantMapEntry));
}

void entry_memory_give(void *p_node) {
	::operator delete(p_node);
}

void *slot_table_take(uint32_t p_capacity, size_t p_slot_size) {
	return std::calloc(p_capacity, p_slot_size);
}

void slot_table_give(void *p_table, uint32_t, size_t) {
	std::free(p_table);
}

#else

// Entry nodes are recycled per thread instead of going back to malloc each time: a
// dictionary built and dropped on every call would otherwise make the allocator hand whole
// pages back to the system and fault them in again.
struct EntryPool {
	void *free_list = nullptr; // each free node's first word links to the next
	size_t count = 0;
	static constexpr size_t MAX_NODES = 1 << 16;

	~EntryPool() {
		alive = false;
		while (free_list) {
			void *next = *static_cast<void **>(free_list);
			::operator delete(free_list);
			free_list = next;
		}
	}
	static thread_local bool alive;
};

thread_local bool EntryPool::alive = true;
thread_local EntryPool entry_pool;

void *entry_memory_take() {
	if (EntryPool::alive && entry_pool.free_list) {
		void *node = entry_pool.free_list;
		entry_pool.free_list = *static_cast<void **>(node);
		entry_pool.count--;
		return node;
	}
	return ::operator new(sizeof(VariantMapEntry));
}

void entry_memory_give(void *p_node) {
	// Once this thread's pool is gone (late static destructors), nodes go straight back.
	if (!EntryPool::alive || entry_pool.count >= EntryPool::MAX_NODES) {
		::operator delete(p_node);
		return;
	}
	*static_cast<void **>(p_node) = entry_pool.free_list;
	entry_pool.free_list = p_node;
	entry_pool.count++;
}

// Slot tables are recycled per thread for the same reason, by size.
struct SlotTableCache {
	static constexpr int CLASSES = 32;
	static constexpr size_t MAX_PER_CLASS = 4;
	static constexpr size_t MAX_BYTES = size_t(16) << 20;
	std::vector<void *> tables[CLASSES];
	size_t bytes = 0;

	~SlotTableCache() {
		alive = false;
		for (std::vector<void *> &list : tables) {
			for (void *table : list) {
				std::free(table);
			}
		}
	}
	static thread_local bool alive;
};

thread_local bool SlotTableCache::alive = true;
thread_local SlotTableCache slot_table_cache;

int log2_of(uint32_t p_power_of_two) {
	return 31 - __builtin_clz(p_power_of_two);
}

void *slot_table_take(uint32_t p_capacity, size_t p_slot_size) {
	const size_t bytes = size_t(p_capacity) * p_slot_size;
	if (SlotTableCache::alive) {
		std::vector<void *> &list = slot_table_cache.tables[log2_of(p_capacity)];
		if (!list.empty()) {
			void *table = list.back();
			list.pop_back();
			slot_table_cache.bytes -= bytes;
			std::memset(table, 0, bytes);
			return table;
		}
	}
	return std::calloc(p_capacity, p_slot_size);
}

void slot_table_give(void *p_table, uint32_t p_capacity, size_t p_slot_size) {
	if (!p_table) {
		return;
	}
	const size_t bytes = size_t(p_capacity) * p_slot_size;
	if (SlotTableCache::alive) {
		std::vector<void *> &list = slot_table_cache.tables[log2_of(p_capacity)];
		if (list.size() < SlotTableCache::MAX_PER_CLASS && slot_table_cache.bytes + bytes <= SlotTableCache::MAX_BYTES) {
			try {
				list.push_back(p_table);
				slot_table_cache.bytes += bytes;
				return;
			} catch (...) {
				// No room to remember it: give it back instead.
			}
		}
	}
	std::free(p_table);
}

#endif

void destroy_entry(VariantMapEntry *p_entry) {
	p_entry->~VariantMapEntry();
	entry_memory_give(p_entry);
}

} // namespace

VariantMap::VariantMap(const VariantMap &p_other) {
	reserve(p_other._count);
	for (VariantMapEntry *entry = p_other._head; entry; entry = entry->next) {
		bool inserted = false;
		insert(entry->key, entry->value, inserted);
	}
}

VariantMap &VariantMap::operator=(const VariantMap &p_other) {
	if (this != &p_other) {
		VariantMap copy(p_other);
		clear();
		std::swap(_hashes, copy._hashes);
		std::swap(_entries, copy._entries);
		std::swap(_capacity, copy._capacity);
		std::swap(_count, copy._count);
		std::swap(_head, copy._head);
		std::swap(_tail, copy._tail);
	}
	return *this;
}

// Bytes of one slot: a hash and an entry pointer.
const size_t SLOT_BYTES = sizeof(uint32_t) + sizeof(VariantMapEntry *);

VariantMap::~VariantMap() {
	clear();
	slot_table_give(_entries, _capacity, SLOT_BYTES);
}

void VariantMap::_place(VariantMapEntry *p_entry, uint32_t p_hash) {
	const uint32_t mask = _capacity - 1;
	uint32_t index = p_hash & mask;
	while (_hashes[index]) {
		index = (index + 1) & mask;
	}
	_hashes[index] = p_hash;
	_entries[index] = p_entry;
}

void VariantMap::reserve(uint32_t p_count) {
	// Keep the load factor at or below 3/4.
	uint32_t wanted = 8;
	while (wanted / 4 * 3 < p_count + 1) {
		wanted *= 2;
	}
	if (wanted <= _capacity) {
		return;
	}
	// The entry pointers first (8-byte aligned), the hashes after them.
	void *table = slot_table_take(wanted, SLOT_BYTES);
	if (!table) {
		throw std::bad_alloc();
	}
	VariantMapEntry **old_entries = _entries;
	uint32_t *old_hashes = _hashes;
	const uint32_t old_capacity = _capacity;
	_entries = static_cast<VariantMapEntry **>(table);
	_hashes = reinterpret_cast<uint32_t *>(_entries + wanted);
	_capacity = wanted;
	for (uint32_t i = 0; i < old_capacity; i++) {
		if (old_hashes[i]) {
			_place(old_entries[i], old_hashes[i]);
		}
	}
	slot_table_give(old_entries, old_capacity, SLOT_BYTES);
}

VariantMapEntry *VariantMap::insert(const Variant &p_key, const Variant &p_value, bool &r_inserted) {
	const uint32_t hash = map_key_hash(p_key);
	const uint32_t index = _find_slot(p_key, hash);
	if (index != NOT_FOUND) {
		r_inserted = false;
		return _entries[index];
	}
	if (_count + 1 > _capacity / 4 * 3) {
		reserve(_count + 1);
	}
	void *memory = entry_memory_take();
	VariantMapEntry *entry;
	try {
		entry = new (memory) VariantMapEntry { p_key, p_value, _tail, nullptr };
	} catch (...) {
		entry_memory_give(memory);
		throw;
	}
	if (_tail) {
		_tail->next = entry;
	} else {
		_head = entry;
	}
	_tail = entry;
	_place(entry, hash);
	_count++;
	r_inserted = true;
	return entry;
}

bool VariantMap::erase(const Variant &p_key) {
	uint32_t index = _find_slot(p_key, map_key_hash(p_key));
	if (index == NOT_FOUND) {
		return false;
	}
	VariantMapEntry *entry = _entries[index];
	// Backward-shift deletion keeps every probe chain intact without tombstones.
	const uint32_t mask = _capacity - 1;
	uint32_t next = index;
	while (true) {
		next = (next + 1) & mask;
		if (!_hashes[next]) {
			break;
		}
		const uint32_t home = _hashes[next] & mask;
		const bool movable = (next > index) ? (home <= index || home > next) : (home <= index && home > next);
		if (movable) {
			_hashes[index] = _hashes[next];
			_entries[index] = _entries[next];
			index = next;
		}
	}
	_hashes[index] = 0;
	_entries[index] = nullptr;
	if (entry->previous) {
		entry->previous->next = entry->next;
	} else {
		_head = entry->next;
	}
	if (entry->next) {
		entry->next->previous = entry->previous;
	} else {
		_tail = entry->previous;
	}
	_count--;
	destroy_entry(entry);
	return true;
}

void VariantMap::clear() {
	VariantMapEntry *entry = _head;
	_head = nullptr;
	_tail = nullptr;
	_count = 0;
	if (_capacity) {
		std::memset(static_cast<void *>(_entries), 0, size_t(_capacity) * SLOT_BYTES);
	}
	// Values are released after the map is consistent again: releasing one may run code
	// that looks at this map.
	while (entry) {
		VariantMapEntry *next = entry->next;
		destroy_entry(entry);
		entry = next;
	}
}

void VariantMap::relink(VariantMapEntry **p_entries, uint32_t p_count) {
	_head = p_count ? p_entries[0] : nullptr;
	_tail = p_count ? p_entries[p_count - 1] : nullptr;
	for (uint32_t i = 0; i < p_count; i++) {
		p_entries[i]->previous = i > 0 ? p_entries[i - 1] : nullptr;
		p_entries[i]->next = i + 1 < p_count ? p_entries[i + 1] : nullptr;
	}
}

} // namespace engine_double::internal
