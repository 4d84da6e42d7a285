#include "guest_choice/guest_need_map.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/string_name.hpp>

using namespace godot;

namespace veltrin {

std::array<const GuestBatchKey *, GUEST_NEED_COUNT> guest_need_keys(const GuestBatchNames &p_names) {
	return { &p_names.hunger, &p_names.sleep, &p_names.hygiene, &p_names.medical, &p_names.leisure, &p_names.intimacy };
}

namespace {

// The need named by a map's key; nullptr when the key names none. A String and a StringName
// of one text hash alike, so the hash rules out the other needs without asking the engine.
const GuestBatchKey *find_need(const std::array<const GuestBatchKey *, GUEST_NEED_COUNT> &p_needs, const Variant &p_key) {
	const uint32_t hash = p_key.hash();
	for (const GuestBatchKey *need : p_needs) {
		if (uint32_t(need->hash) != hash) {
			continue;
		}
		if (p_key.hash_compare(need->key) || (p_key.get_type() == Variant::STRING && need->name == StringName(p_key))) {
			return need;
		}
	}
	return nullptr;
}

// Walks a need map, handing each entry's need index and level to p_take, which answers
// false for a need met twice. False when the map is not a valid need map.
template <typename Take>
bool walk_need_map(const GuestBatchNames &p_names, const Variant &p_value, Take p_take) {
	if (p_value.get_type() != Variant::DICTIONARY) {
		return false;
	}
	const Dictionary map = p_value;
	if (map.size() > GUEST_NEED_COUNT) {
		return false;
	}
	const std::array<const GuestBatchKey *, GUEST_NEED_COUNT> needs = guest_need_keys(p_names);
	const Array keys = map.keys();
	const Array values = map.values();
	const int64_t count = keys.size();
	for (int64_t i = 0; i < count; i++) {
		const Variant &key = keys[i];
		const Variant::Type key_type = key.get_type();
		if (key_type != Variant::STRING && key_type != Variant::STRING_NAME) {
			return false;
		}
		const GuestBatchKey *need = find_need(needs, key);
		if (need == nullptr) {
			return false;
		}
		size_t index = 0;
		while (needs[index] != need) {
			index++;
		}
		const Variant &level = values[i];
		if (level.get_type() != Variant::INT || !p_take(index, level)) {
			return false;
		}
	}
	return true;
}

} // namespace

bool guest_normalize_need(const GuestBatchNames &p_names, const Variant &p_value, Dictionary &r_out) {
	const std::array<const GuestBatchKey *, GUEST_NEED_COUNT> needs = guest_need_keys(p_names);
	return walk_need_map(p_names, p_value, [&](size_t p_index, const Variant &p_level) {
		if (r_out.has(needs[p_index]->key)) {
			return false;
		}
		r_out[needs[p_index]->key] = p_level;
		return true;
	});
}

bool guest_need_levels(const GuestBatchNames &p_names, const Variant &p_value, int64_t (&r_levels)[GUEST_NEED_COUNT]) {
	bool seen[GUEST_NEED_COUNT] = {};
	for (int64_t &level : r_levels) {
		level = 0;
	}
	return walk_need_map(p_names, p_value, [&](size_t p_index, const Variant &p_level) {
		if (seen[p_index]) {
			return false;
		}
		seen[p_index] = true;
		r_levels[p_index] = p_level;
		return true;
	});
}

} // namespace veltrin
