#pragma once

// The hash map behind Dictionary: entries in insertion order (a linked list of nodes that
// never move, so references to values stay valid while others are added), indexed by an
// open-addressing table with linear probing. Keys compare the string-like way: strict
// equality plus String == StringName of the same text. Lookups are inline: they are the hot
// path of every script-facing call.

#include "hashing.hpp"
#include "variant_access.hpp"

#include <godot_cpp/variant/variant.hpp>

#include <cstdint>

// The map is private to the library: hidden symbols bind directly, without the PLT.
#define ENGINE_DOUBLE_LOCAL __attribute__((visibility("hidden")))

namespace engine_double::internal {

// 64 bytes: the key's hash lives in the table's slot, not here.
struct VariantMapEntry {
	godot::Variant key;
	godot::Variant value;
	VariantMapEntry *previous = nullptr;
	VariantMapEntry *next = nullptr;
};

// The table's own key hash. Equal keys must hash alike, so a String and a StringName of the
// same text both use the text hash; otherwise any good mix will do, and the common key
// types get a cheap one.
inline uint32_t map_key_hash(const godot::Variant &p_key) {
	using godot::Variant;
	using godot::VariantAccess;
	uint32_t hash;
	switch (VariantAccess::type(p_key)) {
		case Variant::INT:
			hash = hash_mix_64(uint64_t(VariantAccess::payload<int64_t>(p_key)));
			break;
		case Variant::VECTOR3I: {
			const godot::Vector3i &v = VariantAccess::payload<godot::Vector3i>(p_key);
			hash = hash_mix_64((uint64_t(uint32_t(v.x)) << 32 | uint32_t(v.y)) ^ (uint64_t(uint32_t(v.z)) * 0x9e3779b97f4a7c15ull));
		} break;
		case Variant::STRING_NAME:
			hash = hash_finish_32(VariantAccess::payload<godot::StringName>(p_key)._hash32());
			break;
		default:
			hash = hash_finish_32(p_key.hash());
			break;
	}
	// 0 marks a free slot in the table.
	return hash ? hash : 1;
}

inline bool map_keys_equal(const godot::Variant &p_stored, const godot::Variant &p_key) {
	using godot::Variant;
	using godot::VariantAccess;
	if (VariantAccess::type(p_stored) == VariantAccess::type(p_key)) {
		switch (VariantAccess::type(p_key)) {
			case Variant::INT:
				return VariantAccess::payload<int64_t>(p_stored) == VariantAccess::payload<int64_t>(p_key);
			case Variant::VECTOR3I:
				return VariantAccess::payload<godot::Vector3i>(p_stored) == VariantAccess::payload<godot::Vector3i>(p_key);
			case Variant::STRING_NAME:
				return VariantAccess::payload<godot::StringName>(p_stored)._data_pointer() == VariantAccess::payload<godot::StringName>(p_key)._data_pointer();
			default:
				break;
		}
	}
	return p_stored.string_like_compare(p_key);
}

class ENGINE_DOUBLE_LOCAL VariantMap {
	static const uint32_t NOT_FOUND = 0xffffffffu;

	// Two parallel tables in one allocation: the key hashes (0 marks a free slot), probed
	// first, and the entries, read only on a hash match. The hashes of a few thousand keys fit
	// in the first-level cache.
	uint32_t *_hashes = nullptr;
	VariantMapEntry **_entries = nullptr;
	uint32_t _capacity = 0; // a power of two, or 0 before the first insert
	uint32_t _count = 0;
	VariantMapEntry *_head = nullptr;
	VariantMapEntry *_tail = nullptr;

	__attribute__((always_inline)) uint32_t _find_slot(const godot::Variant &p_key, uint32_t p_hash) const {
		if (_capacity == 0) {
			return NOT_FOUND;
		}
		const uint32_t mask = _capacity - 1;
		for (uint32_t index = p_hash & mask;; index = (index + 1) & mask) {
			const uint32_t hash = _hashes[index];
			if (hash == 0) {
				return NOT_FOUND;
			}
			if (hash == p_hash && map_keys_equal(_entries[index]->key, p_key)) {
				return index;
			}
		}
	}
	void _place(VariantMapEntry *p_entry, uint32_t p_hash);

public:
	VariantMap() = default;
	VariantMap(const VariantMap &p_other);
	VariantMap &operator=(const VariantMap &p_other);
	~VariantMap();

	uint32_t size() const { return _count; }
	bool is_empty() const { return _count == 0; }
	VariantMapEntry *first() const { return _head; }

	__attribute__((always_inline)) VariantMapEntry *find(const godot::Variant &p_key) const {
		const uint32_t index = _find_slot(p_key, map_key_hash(p_key));
		return index == NOT_FOUND ? nullptr : _entries[index];
	}
	// Adds p_key with p_value at the end unless present; an existing key keeps its place and
	// its stored key.
	VariantMapEntry *insert(const godot::Variant &p_key, const godot::Variant &p_value, bool &r_inserted);
	bool erase(const godot::Variant &p_key);
	void clear();
	void reserve(uint32_t p_count);
	// Re-links the entries in the order of p_entries (a permutation of the current ones).
	void relink(VariantMapEntry **p_entries, uint32_t p_count);
};

} // namespace engine_double::internal
