#include <engine_double/internal/crossing.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

#include "marshalls.hpp"
#include "random.hpp"

#include <engine_double/error_log.hpp>
#include <engine_double/internal/object_seam.hpp>
#include <godot_cpp/core/error_macros.hpp>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>

namespace engine_double::internal {

namespace {

struct RandomSource {
	std::mutex mutex;
	std::mt19937_64 engine { 0x5eed };
};

RandomSource &random_source() {
	static RandomSource *source = new RandomSource;
	return *source;
}

} // namespace

uint32_t random_u32() {
	RandomSource &source = random_source();
	std::lock_guard<std::mutex> lock(source.mutex);
	return uint32_t(source.engine() >> 32);
}

void random_seed(uint64_t p_seed) {
	RandomSource &source = random_source();
	std::lock_guard<std::mutex> lock(source.mutex);
	source.engine.seed(p_seed);
}

} // namespace engine_double::internal

namespace godot {

namespace {

String joined(const Variant **p_args, int p_count) {
	String text;
	for (int i = 0; i < p_count; i++) {
		text += p_args[i]->stringify();
	}
	return text;
}

int64_t truncate(double p_value) {
	if (!(p_value >= -9223372036854775808.0 && p_value < 9223372036854775808.0)) {
		return INT64_MIN;
	}
	return int64_t(p_value);
}

} // namespace

PackedByteArray UtilityFunctions::var_to_bytes(const Variant &p_variable) {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, VAR_TO_BYTES);
	std::vector<uint8_t> bytes;
	PackedByteArray result;
	// The encoder has printed what went wrong; the engine adds nothing and answers empty bytes.
	if (!engine_double::internal::encode_variant(p_variable, bytes, false)) {
		return result;
	}
	result.resize(int64_t(bytes.size()));
	if (!bytes.empty()) {
		std::memcpy(result.ptrw(), bytes.data(), bytes.size());
	}
	return result;
}

PackedByteArray UtilityFunctions::var_to_bytes_with_objects(const Variant &p_variable) {
	ENGINE_DOUBLE_CROSSINGS(2);
	return var_to_bytes(p_variable);
}

Variant UtilityFunctions::bytes_to_var(const PackedByteArray &p_bytes) {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, VAR_TO_BYTES);
	Variant value;
	int64_t used = 0;
	if (!engine_double::internal::decode_variant(value, p_bytes.ptr(), p_bytes.size(), used, false)) {
		ERR_FAIL_V_MSG(Variant(), "Not enough bytes for decoding bytes, or invalid format.");
	}
	return value;
}

Variant UtilityFunctions::bytes_to_var_with_objects(const PackedByteArray &p_bytes) {
	ENGINE_DOUBLE_CROSSINGS(2);
	return bytes_to_var(p_bytes);
}

bool UtilityFunctions::is_same(const Variant &p_a, const Variant &p_b) {
	ENGINE_DOUBLE_COSTED(IS_SAME);
	return p_a.identity_compare(p_b);
}

int64_t UtilityFunctions::hash(const Variant &p_variable) {
	ENGINE_DOUBLE_CROSSING;
	return p_variable.hash();
}

Object *UtilityFunctions::instance_from_id(int64_t p_instance_id) {
	ENGINE_DOUBLE_COSTED(OBJECT_DB_GET);
	return engine_double::internal::object_from_instance_id(uint64_t(p_instance_id));
}

bool UtilityFunctions::is_instance_id_valid(int64_t p_id) {
	ENGINE_DOUBLE_COSTED(OBJECT_DB_GET);
	return engine_double::internal::object_from_instance_id(uint64_t(p_id)) != nullptr;
}

Variant UtilityFunctions::type_convert(const Variant &p_variant, int64_t p_type) {
	ENGINE_DOUBLE_CROSSINGS(2);
	switch (p_type) {
		case Variant::NIL:
			return Variant();
		case Variant::BOOL:
			return p_variant.booleanize();
		case Variant::INT:
			return int64_t(p_variant);
		case Variant::FLOAT:
			return double(p_variant);
		case Variant::STRING:
			return String(p_variant);
		case Variant::VECTOR2:
			return Vector2(p_variant);
		case Variant::VECTOR2I:
			return Vector2i(p_variant);
		case Variant::VECTOR3:
			return Vector3(p_variant);
		case Variant::VECTOR3I:
			return Vector3i(p_variant);
		case Variant::STRING_NAME:
			return StringName(p_variant);
		case Variant::NODE_PATH:
			return NodePath(p_variant);
		case Variant::OBJECT:
			return static_cast<Object *>(p_variant);
		case Variant::CALLABLE:
			return Callable(p_variant);
		case Variant::DICTIONARY:
			return Dictionary(p_variant);
		case Variant::ARRAY:
			return Array(p_variant);
		case Variant::PACKED_BYTE_ARRAY:
			return PackedByteArray(p_variant);
		case Variant::PACKED_INT32_ARRAY:
			return PackedInt32Array(p_variant);
		case Variant::PACKED_INT64_ARRAY:
			return PackedInt64Array(p_variant);
		case Variant::PACKED_FLOAT32_ARRAY:
			return PackedFloat32Array(p_variant);
		case Variant::PACKED_FLOAT64_ARRAY:
			return PackedFloat64Array(p_variant);
		case Variant::PACKED_STRING_ARRAY:
			return PackedStringArray(p_variant);
		case Variant::PACKED_VECTOR2_ARRAY:
			return PackedVector2Array(p_variant);
		case Variant::PACKED_VECTOR3_ARRAY:
			return PackedVector3Array(p_variant);
		default:
			return Variant();
	}
}

String UtilityFunctions::type_string(int64_t p_type) {
	ENGINE_DOUBLE_CROSSINGS(2);
	ERR_FAIL_INDEX_V_MSG(p_type, int64_t(Variant::VARIANT_MAX), "<invalid type>", "Invalid type argument to type_string(), use the TYPE_* constants.");
	return Variant::get_type_name(Variant::Type(p_type));
}

int64_t UtilityFunctions::type_of(const Variant &p_variable) {
	ENGINE_DOUBLE_CROSSING;
	return p_variable.get_type();
}

String UtilityFunctions::var_to_str(const Variant &p_variable) {
	ENGINE_DOUBLE_CROSSINGS(2);
	return p_variable.stringify();
}

Variant UtilityFunctions::str_to_var(const String &p_string) {
	ENGINE_DOUBLE_CROSSINGS(2);
	if (p_string.is_valid_int()) {
		return p_string.to_int();
	}
	if (p_string.is_valid_float()) {
		return p_string.to_float();
	}
	if (p_string == "true" || p_string == "false") {
		return p_string == "true";
	}
	if (p_string.length() >= 2 && p_string.begins_with("\"") && p_string.ends_with("\"")) {
		return p_string.substr(1, p_string.length() - 2);
	}
	return Variant();
}

int64_t UtilityFunctions::absi(int64_t p_x) {
	ENGINE_DOUBLE_CROSSING;
	return p_x < 0 ? int64_t(0 - uint64_t(p_x)) : p_x;
}

double UtilityFunctions::absf(double p_x) {
	ENGINE_DOUBLE_CROSSING;
	return std::fabs(p_x);
}

int64_t UtilityFunctions::signi(int64_t p_x) {
	ENGINE_DOUBLE_CROSSING;
	return (p_x > 0) - (p_x < 0);
}

double UtilityFunctions::signf(double p_x) {
	ENGINE_DOUBLE_CROSSING;
	return p_x > 0 ? 1.0 : (p_x < 0 ? -1.0 : 0.0);
}

int64_t UtilityFunctions::clampi(int64_t p_value, int64_t p_min, int64_t p_max) {
	ENGINE_DOUBLE_CROSSING;
	return p_value < p_min ? p_min : (p_value > p_max ? p_max : p_value);
}

double UtilityFunctions::clampf(double p_value, double p_min, double p_max) {
	ENGINE_DOUBLE_CROSSING;
	return p_value < p_min ? p_min : (p_value > p_max ? p_max : p_value);
}

int64_t UtilityFunctions::mini(int64_t p_a, int64_t p_b) {
	ENGINE_DOUBLE_CROSSING;
	return p_a < p_b ? p_a : p_b;
}

int64_t UtilityFunctions::maxi(int64_t p_a, int64_t p_b) {
	ENGINE_DOUBLE_CROSSING;
	return p_a > p_b ? p_a : p_b;
}

double UtilityFunctions::minf(double p_a, double p_b) {
	ENGINE_DOUBLE_CROSSING;
	return p_a < p_b ? p_a : p_b;
}

double UtilityFunctions::maxf(double p_a, double p_b) {
	ENGINE_DOUBLE_CROSSING;
	return p_a > p_b ? p_a : p_b;
}

int64_t UtilityFunctions::floori(double p_x) {
	ENGINE_DOUBLE_CROSSING;
	return truncate(std::floor(p_x));
}

int64_t UtilityFunctions::ceili(double p_x) {
	ENGINE_DOUBLE_CROSSING;
	return truncate(std::ceil(p_x));
}

int64_t UtilityFunctions::roundi(double p_x) {
	ENGINE_DOUBLE_CROSSING;
	return truncate(std::round(p_x));
}

double UtilityFunctions::floorf(double p_x) {
	ENGINE_DOUBLE_CROSSING;
	return std::floor(p_x);
}

double UtilityFunctions::ceilf(double p_x) {
	ENGINE_DOUBLE_CROSSING;
	return std::ceil(p_x);
}

double UtilityFunctions::roundf(double p_x) {
	ENGINE_DOUBLE_CROSSING;
	return std::round(p_x);
}

double UtilityFunctions::sqrt(double p_x) {
	ENGINE_DOUBLE_CROSSING;
	return std::sqrt(p_x);
}

double UtilityFunctions::pow(double p_base, double p_exp) {
	ENGINE_DOUBLE_CROSSING;
	return std::pow(p_base, p_exp);
}

int64_t UtilityFunctions::posmod(int64_t p_x, int64_t p_y) {
	ENGINE_DOUBLE_CROSSING;
	ERR_FAIL_COND_V_MSG(p_y == 0, 0, "Division by zero in posmod is undefined. Returning 0 as fallback.");
	if (p_y == -1) {
		return 0;
	}
	int64_t value = p_x % p_y;
	if ((value < 0 && p_y > 0) || (value > 0 && p_y < 0)) {
		value += p_y;
	}
	return value;
}

double UtilityFunctions::fmod(double p_x, double p_y) {
	ENGINE_DOUBLE_CROSSING;
	return std::fmod(p_x, p_y);
}

double UtilityFunctions::fposmod(double p_x, double p_y) {
	ENGINE_DOUBLE_CROSSING;
	double value = std::fmod(p_x, p_y);
	if ((value < 0 && p_y > 0) || (value > 0 && p_y < 0)) {
		value += p_y;
	}
	return value;
}

bool UtilityFunctions::is_nan(double p_x) {
	ENGINE_DOUBLE_CROSSING;
	return std::isnan(p_x);
}

bool UtilityFunctions::is_inf(double p_x) {
	ENGINE_DOUBLE_CROSSING;
	return std::isinf(p_x);
}

bool UtilityFunctions::is_equal_approx(double p_a, double p_b) {
	ENGINE_DOUBLE_CROSSING;
	if (p_a == p_b) {
		return true;
	}
	double tolerance = 0.00001 * std::fabs(p_a);
	if (tolerance < 0.00001) {
		tolerance = 0.00001;
	}
	return std::fabs(p_a - p_b) < tolerance;
}

bool UtilityFunctions::is_zero_approx(double p_x) {
	ENGINE_DOUBLE_CROSSING;
	return std::fabs(p_x) < 0.00001;
}

double UtilityFunctions::lerpf(double p_from, double p_to, double p_weight) {
	ENGINE_DOUBLE_CROSSING;
	return p_from + (p_to - p_from) * p_weight;
}

int64_t UtilityFunctions::randi() {
	ENGINE_DOUBLE_CROSSING;
	return engine_double::internal::random_u32();
}

double UtilityFunctions::randf() {
	ENGINE_DOUBLE_CROSSING;
	return double(engine_double::internal::random_u32()) / 4294967296.0;
}

int64_t UtilityFunctions::randi_range(int64_t p_from, int64_t p_to) {
	ENGINE_DOUBLE_CROSSING;
	if (p_from > p_to) {
		std::swap(p_from, p_to);
	}
	const uint64_t span = uint64_t(p_to) - uint64_t(p_from) + 1;
	const uint64_t draw = (uint64_t(engine_double::internal::random_u32()) << 32) | engine_double::internal::random_u32();
	return span == 0 ? int64_t(draw) : int64_t(uint64_t(p_from) + draw % span);
}

double UtilityFunctions::randf_range(double p_from, double p_to) {
	ENGINE_DOUBLE_CROSSING;
	return p_from + (p_to - p_from) * randf();
}

void UtilityFunctions::randomize() {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::random_seed(std::random_device {}());
}

void UtilityFunctions::seed(int64_t p_base) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::random_seed(uint64_t(p_base));
}

void UtilityFunctions::_print(const Variant **p_args, int p_count) {
	std::printf("%s\n", joined(p_args, p_count).utf8().get_data());
}

void UtilityFunctions::_printerr(const Variant **p_args, int p_count) {
	std::fprintf(stderr, "%s\n", joined(p_args, p_count).utf8().get_data());
}

void UtilityFunctions::_print_verbose(const Variant **p_args, int p_count) {
}

void UtilityFunctions::_push_error(const Variant **p_args, int p_count) {
	engine_double::error_log_record(joined(p_args, p_count).utf8().get_data());
}

void UtilityFunctions::_push_warning(const Variant **p_args, int p_count) {
	engine_double::error_log_record(std::string("WARNING: ") + joined(p_args, p_count).utf8().get_data());
}

String UtilityFunctions::_str(const Variant **p_args, int p_count) {
	return joined(p_args, p_count);
}

} // namespace godot
