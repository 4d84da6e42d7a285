#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector2i.hpp>
#include <godot_cpp/variant/vector3.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cmath>

namespace godot {

namespace {

// The engine prints real_t components with the single-precision overload of num_real.
String component_text(real_t p_value) {
	const double value = p_value;
	if (!std::isfinite(value)) {
		return String::num(value);
	}
	if (value > -9.2e18 && value < 9.2e18 && value == double(int64_t(value))) {
		return String::num_int64(int64_t(value)) + ".0";
	}
	int64_t decimals = 6;
	const double magnitude = std::fabs(value);
	if (magnitude > 10) {
		decimals -= int64_t(std::floor(std::log10(magnitude)));
	}
	return String::num(value, decimals);
}

// Truncation toward zero that stays defined for values outside int32.
int32_t truncate_component(real_t p_value) {
	if (!(p_value > -2147483649.0f && p_value < 2147483648.0f)) {
		return INT32_MIN;
	}
	return int32_t(p_value);
}

int32_t snap_component(int32_t p_value, int32_t p_step) {
	if (p_step == 0) {
		return p_value;
	}
	const double snapped = std::floor(double(p_value) / double(p_step) + 0.5) * double(p_step);
	if (!(snapped > -2147483649.0 && snapped < 2147483648.0)) {
		return INT32_MIN;
	}
	return int32_t(snapped);
}

} // namespace

Vector2::operator String() const {
	return "(" + component_text(x) + ", " + component_text(y) + ")";
}

Vector2::operator Vector2i() const {
	return Vector2i(truncate_component(x), truncate_component(y));
}

Vector2i::operator String() const {
	return "(" + itos(x) + ", " + itos(y) + ")";
}

Vector2i::operator Vector2() const {
	return Vector2(real_t(x), real_t(y));
}

Vector3::operator String() const {
	return "(" + component_text(x) + ", " + component_text(y) + ", " + component_text(z) + ")";
}

Vector3::operator Vector3i() const {
	return Vector3i(truncate_component(x), truncate_component(y), truncate_component(z));
}

Vector3i::operator String() const {
	return "(" + itos(x) + ", " + itos(y) + ", " + itos(z) + ")";
}

Vector3i::operator Vector3() const {
	return Vector3(real_t(x), real_t(y), real_t(z));
}

double Vector3i::length() const {
	return std::sqrt(double(length_squared()));
}

Vector3i Vector3i::snapped(const Vector3i &p_step) const {
	return Vector3i(snap_component(x, p_step.x), snap_component(y, p_step.y), snap_component(z, p_step.z));
}

namespace vector3i_detail {

int32_t divide(int32_t p_a, int32_t p_b) {
	if (p_b == 0) {
		ERR_PRINT("Vector3i division by zero (the engine would crash)");
		return 0;
	}
	return wrap(int64_t(p_a) / p_b);
}

int32_t modulo(int32_t p_a, int32_t p_b) {
	if (p_b == 0) {
		ERR_PRINT("Vector3i modulo by zero (the engine would crash)");
		return 0;
	}
	return wrap(int64_t(p_a) % p_b);
}

} // namespace vector3i_detail

} // namespace godot
