#include "guest_access/tag_relief.hpp"

#include <godot_cpp/variant/variant.hpp>

#include <algorithm>
#include <cstdint>

namespace veltrin {

namespace {

enum TagBit : uint32_t {
	TAG_DINING = 1u << 0,
	TAG_LODGING = 1u << 1,
	TAG_SOCIAL = 1u << 2,
	TAG_LEISURE = 1u << 3,
	TAG_HYGIENE = 1u << 4,
	TAG_BATH = 1u << 5,
	TAG_MEDICAL = 1u << 6,
	TAG_WELLNESS = 1u << 7,
	TAG_ADULT_ONLY = 1u << 8,
	TAG_RESTRICTED_SERVICE = 1u << 9,
};

} // namespace

ReliefKeys::ReliefKeys(const ProjectionNames &p_names) :
        hunger(p_names.hunger),
        sleep(p_names.sleep),
        hygiene(p_names.hygiene),
        medical(p_names.medical),
        leisure(p_names.leisure),
        intimacy(p_names.intimacy),
        food(p_names.food),
        lodging(p_names.lodging),
        service(p_names.service) {
	const struct {
		const godot::StringName &name;
		uint32_t bit;
	} tested[] = {
		{ p_names.dining, TAG_DINING },
		{ p_names.lodging, TAG_LODGING },
		{ p_names.social, TAG_SOCIAL },
		{ p_names.leisure, TAG_LEISURE },
		{ p_names.hygiene, TAG_HYGIENE },
		{ p_names.bath, TAG_BATH },
		{ p_names.medical, TAG_MEDICAL },
		{ p_names.wellness, TAG_WELLNESS },
		{ p_names.adult_only, TAG_ADULT_ONLY },
		{ p_names.restricted_service, TAG_RESTRICTED_SERVICE },
	};
	int index = 0;
	for (const auto &entry : tested) {
		tag_bits.set(entry.name, static_cast<int64_t>(entry.bit));
		tested_names[index] = &entry.name;
		tested_bits[index] = entry.bit;
		index++;
	}
}

// A tag matches by its text, whether held as a String or a StringName, as Array::has finds it.
uint32_t builtin_tag_bits(const ReliefKeys &p_keys, const godot::Array &p_tags) {
	uint32_t bits = 0;
	// No script runs while the tags are read: their count stays put.
	const int64_t count = p_tags.size();
	for (int64_t i = 0; i < count; i++) {
		const godot::Variant &element = p_tags[i];
		const godot::Variant::Type type = element.get_type();
		if (type == godot::Variant::STRING_NAME) {
			// Names are interned: the same text is the same name, as the lookup would find.
			const godot::StringName name = element;
			for (int tested = 0; tested < ReliefKeys::TESTED_COUNT; tested++) {
				if (name == *p_keys.tested_names[tested]) {
					bits |= p_keys.tested_bits[tested];
					break;
				}
			}
		} else if (type == godot::Variant::STRING && p_keys.tag_bits.has(element)) {
			bits |= static_cast<uint32_t>(static_cast<int64_t>(p_keys.tag_bits[element]));
		}
	}
	return bits;
}

godot::Dictionary tag_relief(const ReliefKeys &p_keys, uint32_t p_tag_bits) {
	const uint32_t bits = p_tag_bits;
	int64_t hunger = 0;
	int64_t sleep = 0;
	int64_t hygiene = 0;
	int64_t medical = 0;
	int64_t leisure = 0;
	int64_t intimacy = 0;
	if (bits & TAG_DINING) {
		hunger = 80;
		leisure = 10;
	}
	if (bits & TAG_LODGING) {
		sleep = 90;
		hygiene = std::max<int64_t>(hygiene, 10);
	}
	if (bits & (TAG_SOCIAL | TAG_LEISURE)) {
		leisure = std::max<int64_t>(leisure, 40);
	}
	if (bits & (TAG_HYGIENE | TAG_BATH)) {
		hygiene = std::max<int64_t>(hygiene, 80);
	}
	if (bits & TAG_MEDICAL) {
		medical = 90;
	} else if (bits & TAG_WELLNESS) {
		medical = std::max<int64_t>(medical, 20);
	}
	if (bits & (TAG_ADULT_ONLY | TAG_RESTRICTED_SERVICE)) {
		intimacy = 80;
	}

	godot::Dictionary relief;
	relief[p_keys.hunger] = hunger;
	relief[p_keys.sleep] = sleep;
	relief[p_keys.hygiene] = hygiene;
	relief[p_keys.medical] = medical;
	relief[p_keys.leisure] = leisure;
	relief[p_keys.intimacy] = intimacy;
	return relief;
}

const godot::Variant &tag_category(const ReliefKeys &p_keys, uint32_t p_tag_bits) {
	const uint32_t bits = p_tag_bits;
	if (bits & TAG_DINING) {
		return p_keys.food;
	}
	if (bits & TAG_LODGING) {
		return p_keys.lodging;
	}
	if (bits & TAG_SOCIAL) {
		return p_keys.leisure;
	}
	return p_keys.service;
}

godot::Dictionary builtin_tag_relief(const ProjectionNames &p_names, const godot::Array &p_tags) {
	const ReliefKeys keys(p_names);
	return tag_relief(keys, builtin_tag_bits(keys, p_tags));
}

godot::StringName builtin_tag_category(const ProjectionNames &p_names, const godot::Array &p_tags) {
	const ReliefKeys keys(p_names);
	return tag_category(keys, builtin_tag_bits(keys, p_tags));
}

} // namespace veltrin
