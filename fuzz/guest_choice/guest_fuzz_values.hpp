#pragma once

// Values for the guest fuzzers: a byte reader whose exhausted input reads as zeros (so a
// short input means "no mutation" and the empty input is the valid baseline scenario),
// value makers biased to what a game script plausibly holds, and the plug-in host every
// guest fuzzer calls through.

#include <engine_double/host.hpp>
#include <engine_double/script_double.hpp>

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace veltrin_fuzz {

class GuestBytes {
	const uint8_t *data;
	size_t size;
	size_t offset = 0;

public:
	GuestBytes(const uint8_t *p_data, size_t p_size) :
	        data(p_data), size(p_size) {}

	bool exhausted() const { return offset >= size; }
	uint8_t byte();
	// 0 .. p_count - 1 (0 when p_count is 0).
	uint32_t below(uint32_t p_count);
	// True with probability p_per_256 / 256; never once the input is exhausted.
	bool chance(uint32_t p_per_256);
	// An integer with a bias to the edges: 0, ±1, small values, limits of the game's rules,
	// INT64 bounds and powers of two.
	int64_t edge_int();
	double edge_double();
	uint64_t raw64();
};

// Objects a scenario made for one input; freed ones are deleted before the call and the
// others when the input is done.
class GuestObjectKeeper {
	std::vector<godot::Variant> held;

public:
	~GuestObjectKeeper();
	void hold(const godot::Variant &p_value) { held.push_back(p_value); }
	// A plain Object, freed at once: a Variant holding it points at a dead instance.
	godot::Variant freed_object();
	// A plain Object that lives until the input is done.
	godot::Variant plain_object();
	// A RefCounted running a script at p_path with no members.
	godot::Variant script_object(const char *p_path);
	// A new object running p_script: a plain Object (as nodes are, which scripts may free;
	// freed when the input is done if still alive) when p_plain, else a RefCounted.
	godot::Variant instance_of(const godot::Ref<engine_double::ScriptDouble> &p_script, bool p_plain);
};

// A name out of p_names, as a StringName or (when p_string) a String.
godot::Variant name_value(GuestBytes &r_in, const std::vector<const char *> &p_names, bool p_string);
// An Array of names (String and StringName mixed), sometimes typed StringName.
godot::Variant name_list(GuestBytes &r_in, const std::vector<const char *> &p_names);
// Any engine value: every kind the guest code may meet, nested containers up to p_depth,
// typed and read-only containers, null, plain and freed objects.
godot::Variant junk_value(GuestBytes &r_in, GuestObjectKeeper &r_keeper, const std::vector<const char *> &p_names, int p_depth = 2);

// p_value when a method parameter of p_type takes it (the engine converts it), else
// p_fallback: an argument the engine refuses is the caller's error, not the method's input.
godot::Variant argument_of(const godot::Variant &p_value, godot::Variant::Type p_type, const godot::Variant &p_fallback);

// The plug-in loaded through the engine double's host, and one VeltrinNumericCore.
struct GuestPlugin {
	engine_double::PluginHost host;
	godot::Variant core;
};
GuestPlugin &guest_plugin();

// Whether the error log holds a message that marks undefined behaviour in the real engine
// (the double prints them where the engine would crash or hand out a dangling pointer).
// p_freed_arguments freed-object messages are the host's own argument conversion.
std::string engine_fault(int p_freed_arguments);

// The error log's messages, one a line, for a failure message.
std::string engine_errors();

// Prints p_message and aborts, so libFuzzer records the input.
[[noreturn]] void guest_fuzz_fail(const std::string &p_message);

// Seed inputs by file name.
using GuestSeeds = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

// Writes each seed to p_directory/<name>.
void write_guest_seeds(const char *p_directory, const GuestSeeds &p_seeds);

// A guest fuzzer's LLVMFuzzerInitialize: loads the plug-in and turns the call log off; with
// VELTRIN_WRITE_SEEDS=<directory> set, writes p_seeds() there and exits instead of fuzzing.
int guest_fuzzer_initialize(GuestSeeds (*p_seeds)());

// Calls p_method of the plug-in's core with p_arguments on a clear error log and checks the
// call: no engine fault (p_freed_arguments freed-object messages are the host's own argument
// conversion) and a Dictionary answer, which it returns. VELTRIN_FUZZ_TRACE=1 prints the
// arguments, every script call and the answer.
godot::Dictionary call_guest_method(const char *p_method, const std::vector<godot::Variant> &p_arguments, int p_freed_arguments);

std::string text(const godot::Variant &p_value);

} // namespace veltrin_fuzz
