#include "guest_fuzz_values.hpp"

#include <fuzz_check.hpp>
#include <plugin_loader.hpp>

#include <engine_double/call_log.hpp>
#include <engine_double/error_log.hpp>
#include <engine_double/script_double.hpp>

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/typed_dictionary.hpp>
#include <godot_cpp/variant/vector2i.hpp>
#include <godot_cpp/variant/vector3.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>

using namespace godot;

namespace veltrin_fuzz {

uint8_t GuestBytes::byte() {
	if (offset >= size) {
		return 0;
	}
	return data[offset++];
}

uint32_t GuestBytes::below(uint32_t p_count) {
	if (p_count <= 1) {
		return 0;
	}
	uint32_t value = byte();
	if (p_count > 256) {
		value = (value << 8) | byte();
	}
	return value % p_count;
}

bool GuestBytes::chance(uint32_t p_per_256) {
	if (exhausted()) {
		return false;
	}
	return byte() < p_per_256;
}

uint64_t GuestBytes::raw64() {
	uint64_t value = 0;
	for (int i = 0; i < 8; i++) {
		value = (value << 8) | byte();
	}
	return value;
}

int64_t GuestBytes::edge_int() {
	static const int64_t EDGES[] = {
		0,
		1,
		-1,
		2,
		10,
		50,
		74,
		75,
		99,
		100,
		101,
		120,
		124,
		150,
		-100,
		1000,
		std::numeric_limits<int64_t>::max(),
		std::numeric_limits<int64_t>::min(),
		std::numeric_limits<int64_t>::max() - 1,
		std::numeric_limits<int64_t>::min() + 1,
		int64_t(1) << 62,
		-(int64_t(1) << 62),
		int64_t(1) << 31,
		(int64_t(1) << 31) - 1,
		-(int64_t(1) << 31),
		int64_t(1) << 32,
		std::numeric_limits<int64_t>::max() / 100,
		std::numeric_limits<int64_t>::max() / 3,
	};
	const uint8_t selector = byte();
	constexpr uint8_t EDGE_COUNT = uint8_t(sizeof(EDGES) / sizeof(EDGES[0]));
	if (selector < EDGE_COUNT) {
		return EDGES[selector];
	}
	if (selector < 200) {
		// Small values around the rule thresholds.
		return int64_t(selector) - 100 - EDGE_COUNT;
	}
	return int64_t(raw64());
}

double GuestBytes::edge_double() {
	switch (below(8)) {
		case 0:
			return 0.5;
		case 1:
			return std::numeric_limits<double>::quiet_NaN();
		case 2:
			return std::numeric_limits<double>::infinity();
		case 3:
			return -std::numeric_limits<double>::infinity();
		case 4:
			return -0.0;
		case 5:
			return 1e19;
		case 6:
			return double(edge_int());
		default: {
			const uint64_t bits = raw64();
			double value = 0;
			std::memcpy(&value, &bits, sizeof(value));
			return value;
		}
	}
}

GuestObjectKeeper::~GuestObjectKeeper() {
	for (Variant &value : held) {
		Object *object = value.get_validated_object();
		if (object != nullptr && Object::cast_to<RefCounted>(object) == nullptr) {
			memdelete(object);
		}
	}
}

Variant GuestObjectKeeper::freed_object() {
	Object *object = memnew(Object);
	const Variant value(object);
	memdelete(object);
	return value;
}

Variant GuestObjectKeeper::plain_object() {
	Object *object = memnew(Object);
	const Variant value(object);
	held.push_back(value);
	return value;
}

Variant GuestObjectKeeper::script_object(const char *p_path) {
	// One script per path for the whole run: scripts are resources the game loads once.
	static std::map<std::string, Ref<engine_double::ScriptDouble>> scripts;
	Ref<engine_double::ScriptDouble> &script = scripts[p_path];
	if (script.is_null()) {
		script = engine_double::ScriptDouble::create(p_path);
	}
	const Variant value(script->instantiate().ptr());
	held.push_back(value);
	return value;
}

Variant GuestObjectKeeper::instance_of(const Ref<engine_double::ScriptDouble> &p_script, bool p_plain) {
	if (!p_plain) {
		return Variant(p_script->instantiate().ptr());
	}
	const Variant value(p_script->instantiate_object());
	held.push_back(value);
	return value;
}

Variant name_value(GuestBytes &r_in, const std::vector<const char *> &p_names, bool p_string) {
	const char *name = p_names.empty() ? "" : p_names[r_in.below(uint32_t(p_names.size()))];
	if (p_string) {
		return String(name);
	}
	return StringName(name);
}

Variant name_list(GuestBytes &r_in, const std::vector<const char *> &p_names) {
	Array list;
	const uint8_t shape = r_in.byte();
	if (shape % 4 == 3) {
		list = TypedArray<StringName>();
	}
	const uint32_t count = r_in.below(5);
	for (uint32_t i = 0; i < count; i++) {
		list.append(name_value(r_in, p_names, r_in.chance(80)));
	}
	if (shape % 16 == 15) {
		list.make_read_only();
	}
	return list;
}

namespace {

const char *const FOREIGN_SCRIPT_PATHS[] = {
	"res://scripts/guest/guest_service.gd",
	"res://scripts/guest/guest_runtime.gd",
	"res://scripts/guest/guest_definition.gd",
	"res://scripts/world/path_service.gd ",
	"res://Scripts/world/path_service.gd",
	"",
};

Variant object_value(GuestBytes &r_in, GuestObjectKeeper &r_keeper) {
	switch (r_in.below(4)) {
		case 0:
			return Variant(static_cast<Object *>(nullptr));
		case 1:
			return r_keeper.freed_object();
		case 2:
			return r_keeper.plain_object();
		default:
			return r_keeper.script_object(FOREIGN_SCRIPT_PATHS[r_in.below(sizeof(FOREIGN_SCRIPT_PATHS) / sizeof(FOREIGN_SCRIPT_PATHS[0]))]);
	}
}

Vector3i small_cell(GuestBytes &r_in) {
	return Vector3i(int32_t(r_in.below(8)) - 1, int32_t(r_in.below(4)) - 1, int32_t(r_in.below(3)) - 1);
}

} // namespace

Variant junk_value(GuestBytes &r_in, GuestObjectKeeper &r_keeper, const std::vector<const char *> &p_names, int p_depth) {
	const uint32_t kind = r_in.below(p_depth > 0 ? 20 : 15);
	switch (kind) {
		case 0:
			return Variant();
		case 1:
			return r_in.chance(128);
		case 2:
		case 3:
			return r_in.edge_int();
		case 4:
			return r_in.edge_double();
		case 5:
			return name_value(r_in, p_names, true);
		case 6:
			return name_value(r_in, p_names, false);
		case 7:
			return small_cell(r_in);
		case 8:
			return Vector3(float(r_in.below(8)), float(r_in.below(4)), float(r_in.below(3)));
		case 9:
			return Vector2i(int32_t(r_in.below(8)), int32_t(r_in.below(4)));
		case 10:
			return object_value(r_in, r_keeper);
		case 11: {
			PackedInt64Array packed;
			const uint32_t count = r_in.below(5);
			for (uint32_t i = 0; i < count; i++) {
				packed.push_back(r_in.edge_int());
			}
			return packed;
		}
		case 12: {
			PackedByteArray packed;
			const uint32_t count = r_in.below(5);
			for (uint32_t i = 0; i < count; i++) {
				packed.push_back(r_in.byte());
			}
			return packed;
		}
		case 13:
			return Callable();
		case 14:
			return name_list(r_in, p_names);
		case 15:
		case 16: {
			Array array;
			const uint32_t typing = r_in.below(6);
			if (typing == 1) {
				array = TypedArray<int64_t>();
			} else if (typing == 2) {
				array = TypedArray<Vector3i>();
			} else if (typing == 3) {
				array = TypedArray<Dictionary>();
			}
			const uint32_t count = r_in.below(5);
			for (uint32_t i = 0; i < count; i++) {
				array.append(junk_value(r_in, r_keeper, p_names, p_depth - 1));
			}
			if (r_in.chance(24)) {
				array.make_read_only();
			}
			return array;
		}
		default: {
			Dictionary dictionary;
			const uint32_t typing = r_in.below(6);
			if (typing == 1) {
				dictionary = TypedDictionary<StringName, int64_t>();
			} else if (typing == 2) {
				dictionary = TypedDictionary<Vector3i, bool>();
			} else if (typing == 3) {
				dictionary = TypedDictionary<int64_t, Variant>();
			}
			const uint32_t count = r_in.below(5);
			for (uint32_t i = 0; i < count; i++) {
				const Variant key = r_in.chance(160) ? name_value(r_in, p_names, r_in.chance(100)) : junk_value(r_in, r_keeper, p_names, 0);
				dictionary[key] = junk_value(r_in, r_keeper, p_names, p_depth - 1);
			}
			if (r_in.chance(24)) {
				dictionary.make_read_only();
			}
			return dictionary;
		}
	}
}

Variant argument_of(const Variant &p_value, Variant::Type p_type, const Variant &p_fallback) {
	return Variant::can_convert_strict(p_value.get_type(), p_type) ? p_value : p_fallback;
}

GuestPlugin &guest_plugin() {
	static GuestPlugin *plugin = [] {
		GuestPlugin *made = new GuestPlugin();
		made->core = load_numeric_core(made->host, VELTRIN_PLUGIN_PATH);
		return made;
	}();
	return *plugin;
}

std::string engine_fault(int p_freed_arguments) {
	int freed = 0;
	for (const std::string &message : engine_double::error_log_messages()) {
		if (message.find("on a freed object") != std::string::npos) {
			freed++;
			if (freed <= p_freed_arguments) {
				continue;
			}
			return message;
		}
		if (message.find("(the engine would") != std::string::npos || message.find("Please report") != std::string::npos) {
			return message;
		}
	}
	return std::string();
}

std::string engine_errors() {
	std::string lines;
	for (const std::string &message : engine_double::error_log_messages()) {
		lines += "\n  " + message;
	}
	return lines;
}

void guest_fuzz_fail(const std::string &p_message) {
	std::fprintf(stderr, "\n*** guest fuzzer: %s\n", p_message.c_str());
	std::fflush(stderr);
	std::abort();
}

void write_guest_seeds(const char *p_directory, const GuestSeeds &p_seeds) {
	for (const auto &seed : p_seeds) {
		const std::string path = std::string(p_directory) + "/" + seed.first;
		std::ofstream out(path, std::ios::binary);
		out.write(reinterpret_cast<const char *>(seed.second.data()), std::streamsize(seed.second.size()));
		if (!out) {
			guest_fuzz_fail("cannot write seed " + path);
		}
	}
	std::printf("wrote %zu seeds to %s\n", p_seeds.size(), p_directory);
}

int guest_fuzzer_initialize(GuestSeeds (*p_seeds)()) {
	guest_plugin();
	engine_double::call_log_set_enabled(false);
	if (const char *directory = std::getenv("VELTRIN_WRITE_SEEDS")) {
		write_guest_seeds(directory, p_seeds());
		std::exit(0);
	}
	return 0;
}

Dictionary call_guest_method(const char *p_method, const std::vector<Variant> &p_arguments, int p_freed_arguments) {
	GuestPlugin &plugin = guest_plugin();
	// VELTRIN_FUZZ_TRACE=1 prints the arguments, every script call and the answer, for
	// reading a finding.
	static const bool trace = std::getenv("VELTRIN_FUZZ_TRACE") != nullptr;
	engine_double::error_log_clear();
	engine_double::call_log_set_enabled(trace);
	engine_double::call_log_clear();
	const Variant result = plugin.host.call(plugin.core, p_method, p_arguments);
	engine_double::call_log_set_enabled(false);
	if (trace) {
		for (const Variant &argument : p_arguments) {
			std::fprintf(stderr, "  argument %s\n", text(argument).c_str());
		}
		for (const std::string &line : engine_double::call_log_lines()) {
			std::fprintf(stderr, "  %s\n", line.c_str());
		}
		std::fprintf(stderr, "  result %s%s\n", text(result).c_str(), engine_errors().c_str());
	}
	const std::string fault = engine_fault(p_freed_arguments);
	FUZZ_CHECK(fault.empty(), std::string(p_method) + ": engine fault: " + fault);
	FUZZ_CHECK(result.get_type() == Variant::DICTIONARY, std::string(p_method) + ": the answer is not a Dictionary: " + text(result) + "; engine errors: " + engine_errors());
	return result;
}

std::string text(const Variant &p_value) {
	return p_value.stringify().utf8().get_data();
}

} // namespace veltrin_fuzz
