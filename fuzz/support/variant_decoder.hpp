#pragma once

// Decodes engine values from fuzz input: every Variant type the engine double stores,
// nested Arrays and Dictionaries up to a depth limit, String and StringName keys drawn from
// a list of names, typed and read-only containers, containers placed twice (shared), null
// objects, live objects and objects freed before the call under test.
//
// A name hook lets a fuzzer steer a named value towards the shapes the plug-in accepts
// (field("_adjacency") → a Dictionary of cells to edge lists), so inputs reach deep paths.

#include "fuzz_input.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <functional>
#include <string>
#include <vector>

namespace veltrin_fuzz {

struct DecoderLimits {
	int max_depth = 3;
	int max_elements = 6;
};

class VariantDecoder;

// Fills r_value with a plausible value for p_name and returns true, or returns false to let
// the decoder draw any value.
using NameHook = std::function<bool(VariantDecoder &r_decoder, const std::string &p_name, int p_depth, godot::Variant &r_value)>;

class VariantDecoder {
public:
	VariantDecoder(FuzzInput &r_input, std::vector<std::string> p_names, DecoderLimits p_limits = DecoderLimits());
	// Frees the plain objects it created that are still alive.
	~VariantDecoder();
	VariantDecoder(const VariantDecoder &) = delete;
	VariantDecoder &operator=(const VariantDecoder &) = delete;

	FuzzInput &input() { return in; }
	const DecoderLimits &limits() const { return limit; }
	void set_hook(NameHook p_hook) { hook = std::move(p_hook); }
	// Objects the decoder may place in values (e.g. the service under test).
	void add_known_object(const godot::Variant &p_object) { known_objects.push_back(p_object); }

	// Any stored type.
	godot::Variant value(int p_depth = 0);
	// A value of p_type (NIL gives nil); containers nest from p_depth.
	godot::Variant value_of_type(godot::Variant::Type p_type, int p_depth = 0);
	// The hook's plausible value for p_name most of the time, otherwise any value.
	godot::Variant field(const std::string &p_name, int p_depth = 0);

	// Dictionary keys: mostly a name as StringName, sometimes as String, an int, a cell or
	// any value.
	godot::Variant key(int p_depth = 0);
	godot::StringName name();
	godot::String text();
	godot::Vector3i cell();
	// Small numbers near the edges of arithmetic.
	int64_t integer() { return in.edgy_int64(); }

	// Containers: elements drawn by p_element (default: value()), then maybe typed (only
	// when every element fits), read-only, or replaced by a container decoded earlier.
	godot::Array array(int p_depth, const std::function<godot::Variant(int)> &p_element = nullptr);
	godot::Dictionary dictionary(int p_depth, const std::function<godot::Variant(int)> &p_key = nullptr, const std::function<godot::Variant(int)> &p_value = nullptr);
	// Finishing touches on a container built by the caller: typed, read-only or shared.
	godot::Variant finish(const godot::Variant &p_container);

	// An OBJECT-typed value: null, a known object, a live plain or script object, or one
	// that free_marked_objects() frees before the call.
	godot::Variant object();
	godot::Callable callable();

	// Frees the objects decoded as freed. Call once the state is built, before the call.
	void free_marked_objects();

private:
	FuzzInput &in;
	std::vector<std::string> names;
	DecoderLimits limit;
	NameHook hook;
	std::vector<godot::Variant> known_objects;
	std::vector<godot::Variant> containers; // Decoded so far: candidates for sharing.
	std::vector<uint64_t> owned_objects; // Plain objects still to free at the end, by id.
	std::vector<godot::Object *> marked_objects; // Freed before the call.

	int element_count();
	godot::Variant scalar(godot::Variant::Type p_type);
	godot::Variant remember(const godot::Variant &p_container);
};

// Every type the double stores, for typed containers and type picks.
extern const godot::Variant::Type STORED_TYPES[];
extern const size_t STORED_TYPE_COUNT;

} // namespace veltrin_fuzz
