#pragma once

#include <godot_cpp/core/defs.hpp>

#include <cstdint>

namespace godot {

class String;
struct Vector3;

struct Vector3i;
namespace vector3i_detail {
// int32 arithmetic that wraps like the engine does in practice, without C++ overflow.
inline int32_t wrap(int64_t p_value) {
	return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(p_value)));
}
ENGINE_DOUBLE_API int32_t divide(int32_t p_a, int32_t p_b);
ENGINE_DOUBLE_API int32_t modulo(int32_t p_a, int32_t p_b);
} // namespace vector3i_detail

struct ENGINE_DOUBLE_API Vector3i {
	enum Axis {
		AXIS_X,
		AXIS_Y,
		AXIS_Z,
	};

	union {
		struct {
			int32_t x;
			int32_t y;
			int32_t z;
		};
		int32_t coord[3];
	};

	Vector3i() :
	        x(0), y(0), z(0) {}
	Vector3i(int32_t p_x, int32_t p_y, int32_t p_z) :
	        x(p_x), y(p_y), z(p_z) {}

	int32_t &operator[](int p_axis) { return coord[p_axis]; }
	const int32_t &operator[](int p_axis) const { return coord[p_axis]; }

	Axis min_axis_index() const { return x < y ? (x < z ? AXIS_X : AXIS_Z) : (y < z ? AXIS_Y : AXIS_Z); }
	Axis max_axis_index() const { return x < y ? (y < z ? AXIS_Z : AXIS_Y) : (x < z ? AXIS_Z : AXIS_X); }

	int64_t length_squared() const { return int64_t(x) * x + int64_t(y) * y + int64_t(z) * z; }
	double length() const;
	int64_t distance_squared_to(const Vector3i &p_to) const { return (p_to - *this).length_squared(); }
	double distance_to(const Vector3i &p_to) const { return (p_to - *this).length(); }

	Vector3i abs() const { return Vector3i(x < 0 ? vector3i_detail::wrap(-int64_t(x)) : x, y < 0 ? vector3i_detail::wrap(-int64_t(y)) : y, z < 0 ? vector3i_detail::wrap(-int64_t(z)) : z); }
	Vector3i sign() const { return Vector3i((x > 0) - (x < 0), (y > 0) - (y < 0), (z > 0) - (z < 0)); }
	Vector3i min(const Vector3i &p_v) const { return Vector3i(x < p_v.x ? x : p_v.x, y < p_v.y ? y : p_v.y, z < p_v.z ? z : p_v.z); }
	Vector3i max(const Vector3i &p_v) const { return Vector3i(x > p_v.x ? x : p_v.x, y > p_v.y ? y : p_v.y, z > p_v.z ? z : p_v.z); }
	Vector3i mini(int32_t p_v) const { return min(Vector3i(p_v, p_v, p_v)); }
	Vector3i maxi(int32_t p_v) const { return max(Vector3i(p_v, p_v, p_v)); }
	Vector3i clamp(const Vector3i &p_min, const Vector3i &p_max) const { return max(p_min).min(p_max); }
	Vector3i clampi(int32_t p_min, int32_t p_max) const { return clamp(Vector3i(p_min, p_min, p_min), Vector3i(p_max, p_max, p_max)); }
	Vector3i snapped(const Vector3i &p_step) const;
	Vector3i snappedi(int32_t p_step) const { return snapped(Vector3i(p_step, p_step, p_step)); }

	Vector3i operator+(const Vector3i &p_v) const { return Vector3i(vector3i_detail::wrap(int64_t(x) + p_v.x), vector3i_detail::wrap(int64_t(y) + p_v.y), vector3i_detail::wrap(int64_t(z) + p_v.z)); }
	Vector3i operator-(const Vector3i &p_v) const { return Vector3i(vector3i_detail::wrap(int64_t(x) - p_v.x), vector3i_detail::wrap(int64_t(y) - p_v.y), vector3i_detail::wrap(int64_t(z) - p_v.z)); }
	Vector3i operator*(const Vector3i &p_v) const { return Vector3i(vector3i_detail::wrap(int64_t(x) * p_v.x), vector3i_detail::wrap(int64_t(y) * p_v.y), vector3i_detail::wrap(int64_t(z) * p_v.z)); }
	Vector3i operator/(const Vector3i &p_v) const { return Vector3i(vector3i_detail::divide(x, p_v.x), vector3i_detail::divide(y, p_v.y), vector3i_detail::divide(z, p_v.z)); }
	Vector3i operator%(const Vector3i &p_v) const { return Vector3i(vector3i_detail::modulo(x, p_v.x), vector3i_detail::modulo(y, p_v.y), vector3i_detail::modulo(z, p_v.z)); }
	Vector3i operator+(int32_t p_s) const { return *this + Vector3i(p_s, p_s, p_s); }
	Vector3i operator-(int32_t p_s) const { return *this - Vector3i(p_s, p_s, p_s); }
	Vector3i operator*(int32_t p_s) const { return *this * Vector3i(p_s, p_s, p_s); }
	Vector3i operator/(int32_t p_s) const { return *this / Vector3i(p_s, p_s, p_s); }
	Vector3i operator%(int32_t p_s) const { return *this % Vector3i(p_s, p_s, p_s); }
	Vector3i operator-() const { return Vector3i(vector3i_detail::wrap(-int64_t(x)), vector3i_detail::wrap(-int64_t(y)), vector3i_detail::wrap(-int64_t(z))); }

	Vector3i &operator+=(const Vector3i &p_v) { return *this = *this + p_v; }
	Vector3i &operator-=(const Vector3i &p_v) { return *this = *this - p_v; }
	Vector3i &operator*=(const Vector3i &p_v) { return *this = *this * p_v; }
	Vector3i &operator/=(const Vector3i &p_v) { return *this = *this / p_v; }
	Vector3i &operator%=(const Vector3i &p_v) { return *this = *this % p_v; }
	Vector3i &operator+=(int32_t p_s) { return *this = *this + p_s; }
	Vector3i &operator-=(int32_t p_s) { return *this = *this - p_s; }
	Vector3i &operator*=(int32_t p_s) { return *this = *this * p_s; }
	Vector3i &operator/=(int32_t p_s) { return *this = *this / p_s; }
	Vector3i &operator%=(int32_t p_s) { return *this = *this % p_s; }

	bool operator==(const Vector3i &p_v) const { return x == p_v.x && y == p_v.y && z == p_v.z; }
	bool operator!=(const Vector3i &p_v) const { return !(*this == p_v); }
	bool operator<(const Vector3i &p_v) const {
		if (x != p_v.x) {
			return x < p_v.x;
		}
		return y == p_v.y ? z < p_v.z : y < p_v.y;
	}
	bool operator>(const Vector3i &p_v) const { return p_v < *this; }
	bool operator<=(const Vector3i &p_v) const { return !(p_v < *this); }
	bool operator>=(const Vector3i &p_v) const { return !(*this < p_v); }

	operator String() const;
	operator Vector3() const;
};

inline Vector3i operator*(int32_t p_s, const Vector3i &p_v) {
	return p_v * p_s;
}

} // namespace godot
