#pragma once

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>

namespace godot {

class ENGINE_DOUBLE_API UtilityFunctions {
	static void _print(const Variant **p_args, int p_count);
	static void _printerr(const Variant **p_args, int p_count);
	static void _print_verbose(const Variant **p_args, int p_count);
	static void _push_error(const Variant **p_args, int p_count);
	static void _push_warning(const Variant **p_args, int p_count);
	static String _str(const Variant **p_args, int p_count);

	template <typename F, typename... Args>
	static auto _forward(F p_function, const Args &...p_args) {
		const Variant arguments[sizeof...(Args) + 1] = { Variant(p_args)..., Variant() };
		const Variant *pointers[sizeof...(Args) + 1];
		// Not "<": with no arguments GCC 10 warns that "i < 0" is always false.
		for (size_t i = 0; i != sizeof...(Args); i++) {
			pointers[i] = &arguments[i];
		}
		return p_function(pointers, int(sizeof...(Args)));
	}

public:
	// The engine's binary serialization, byte for byte.
	static PackedByteArray var_to_bytes(const Variant &p_variable);
	static PackedByteArray var_to_bytes_with_objects(const Variant &p_variable);
	static Variant bytes_to_var(const PackedByteArray &p_bytes);
	static Variant bytes_to_var_with_objects(const PackedByteArray &p_bytes);

	static bool is_same(const Variant &p_a, const Variant &p_b);
	static int64_t hash(const Variant &p_variable);
	static Object *instance_from_id(int64_t p_instance_id);
	static bool is_instance_id_valid(int64_t p_id);
	static Variant type_convert(const Variant &p_variant, int64_t p_type);
	static String type_string(int64_t p_type);
	static int64_t type_of(const Variant &p_variable);
	static String var_to_str(const Variant &p_variable);
	static Variant str_to_var(const String &p_string);

	static int64_t absi(int64_t p_x);
	static double absf(double p_x);
	static int64_t signi(int64_t p_x);
	static double signf(double p_x);
	static int64_t clampi(int64_t p_value, int64_t p_min, int64_t p_max);
	static double clampf(double p_value, double p_min, double p_max);
	static int64_t mini(int64_t p_a, int64_t p_b);
	static int64_t maxi(int64_t p_a, int64_t p_b);
	static double minf(double p_a, double p_b);
	static double maxf(double p_a, double p_b);
	static int64_t floori(double p_x);
	static int64_t ceili(double p_x);
	static int64_t roundi(double p_x);
	static double floorf(double p_x);
	static double ceilf(double p_x);
	static double roundf(double p_x);
	static double sqrt(double p_x);
	static double pow(double p_base, double p_exp);
	static int64_t posmod(int64_t p_x, int64_t p_y);
	static double fmod(double p_x, double p_y);
	static double fposmod(double p_x, double p_y);
	static bool is_nan(double p_x);
	static bool is_inf(double p_x);
	static bool is_equal_approx(double p_a, double p_b);
	static bool is_zero_approx(double p_x);
	static double lerpf(double p_from, double p_to, double p_weight);
	static int64_t randi();
	static double randf();
	static int64_t randi_range(int64_t p_from, int64_t p_to);
	static double randf_range(double p_from, double p_to);
	static void randomize();
	static void seed(int64_t p_base);

	template <typename... Args>
	static void print(const Variant &p_arg1, const Args &...p_args) { _forward(_print, p_arg1, p_args...); }
	template <typename... Args>
	static void printerr(const Variant &p_arg1, const Args &...p_args) { _forward(_printerr, p_arg1, p_args...); }
	template <typename... Args>
	static void print_verbose(const Variant &p_arg1, const Args &...p_args) { _forward(_print_verbose, p_arg1, p_args...); }
	// Recorded in the error log like any engine error.
	template <typename... Args>
	static void push_error(const Variant &p_arg1, const Args &...p_args) { _forward(_push_error, p_arg1, p_args...); }
	template <typename... Args>
	static void push_warning(const Variant &p_arg1, const Args &...p_args) { _forward(_push_warning, p_arg1, p_args...); }
	template <typename... Args>
	static String str(const Variant &p_arg1, const Args &...p_args) { return _forward(_str, p_arg1, p_args...); }
};

} // namespace godot
