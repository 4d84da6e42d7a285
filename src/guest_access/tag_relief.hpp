#pragma once

// A facility's tags mapped to the needs a visit relieves and to its service category,
// without asking the runtime script.

#include "guest_access/projection_names.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>

namespace veltrin {

// The relief dictionary's keys, the categories (leisure is both) and each tested tag's bit by
// its name, built once per call.
struct ReliefKeys {
	godot::Variant hunger;
	godot::Variant sleep;
	godot::Variant hygiene;
	godot::Variant medical;
	godot::Variant leisure;
	godot::Variant intimacy;
	godot::Variant food;
	godot::Variant lodging;
	godot::Variant service;
	// A String tag's lookup: it finds the StringName of its text, as Array::has does.
	godot::Dictionary tag_bits;
	// The tested names (the call's name table holds them) and their bits, in the same order:
	// a StringName tag is one of them exactly when it is the same name, compared in place.
	static constexpr int TESTED_COUNT = 10;
	const godot::StringName *tested_names[TESTED_COUNT] = {};
	uint32_t tested_bits[TESTED_COUNT] = {};

	explicit ReliefKeys(const ProjectionNames &p_names);
	ReliefKeys(const ReliefKeys &) = delete;
	ReliefKeys &operator=(const ReliefKeys &) = delete;
};

// The tested tags present in p_tags, read in one pass and shared by both tables below.
uint32_t builtin_tag_bits(const ReliefKeys &p_keys, const godot::Array &p_tags);
godot::Dictionary tag_relief(const ReliefKeys &p_keys, uint32_t p_tag_bits);
const godot::Variant &tag_category(const ReliefKeys &p_keys, uint32_t p_tag_bits);

// hunger, sleep, hygiene, medical, leisure and intimacy, in that order, each an int.
godot::Dictionary builtin_tag_relief(const ProjectionNames &p_names, const godot::Array &p_tags);

// food, lodging, leisure or service.
godot::StringName builtin_tag_category(const ProjectionNames &p_names, const godot::Array &p_tags);

} // namespace veltrin
