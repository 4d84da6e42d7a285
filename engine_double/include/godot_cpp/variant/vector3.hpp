#pragma once

#include <godot_cpp/core/defs.hpp>

#include <cmath>

namespace godot {

class String;
struct Vector3i;

struct ENGINE_DOUBLE_API Vector3 {
	enum Axis {
		AXIS_X,
		AXIS_Y,
		AXIS_Z,
	};

	union {
		struct {
			real_t x;
			real_t y;
			real_t z;
		};
		real_t coord[3];
	};

	Vector3() :
	        x(0), y(0), z(0) {}
	Vector3(real_t p_x, real_t p_y, real_t p_z) :
	        x(p_x), y(p_y), z(p_z) {}

	real_t &operator[](int p_axis) { return coord[p_axis]; }
	const real_t &operator[](int p_axis) const { return coord[p_axis]; }

	real_t length() const { return std::sqrt(x * x + y * y + z * z); }
	real_t length_squared() const { return x * x + y * y + z * z; }
	real_t dot(const Vector3 &p_v) const { return x * p_v.x + y * p_v.y + z * p_v.z; }
	real_t distance_to(const Vector3 &p_v) const { return (p_v - *this).length(); }

	Vector3 operator+(const Vector3 &p_v) const { return Vector3(x + p_v.x, y + p_v.y, z + p_v.z); }
	Vector3 operator-(const Vector3 &p_v) const { return Vector3(x - p_v.x, y - p_v.y, z - p_v.z); }
	Vector3 operator*(real_t p_s) const { return Vector3(x * p_s, y * p_s, z * p_s); }
	Vector3 operator/(real_t p_s) const { return Vector3(x / p_s, y / p_s, z / p_s); }
	Vector3 operator-() const { return Vector3(-x, -y, -z); }
	Vector3 &operator+=(const Vector3 &p_v) {
		x += p_v.x;
		y += p_v.y;
		z += p_v.z;
		return *this;
	}
	Vector3 &operator-=(const Vector3 &p_v) {
		x -= p_v.x;
		y -= p_v.y;
		z -= p_v.z;
		return *this;
	}

	bool operator==(const Vector3 &p_v) const { return x == p_v.x && y == p_v.y && z == p_v.z; }
	bool operator!=(const Vector3 &p_v) const { return !(*this == p_v); }
	bool operator<(const Vector3 &p_v) const {
		if (x != p_v.x) {
			return x < p_v.x;
		}
		return y == p_v.y ? z < p_v.z : y < p_v.y;
	}

	operator String() const;
	operator Vector3i() const;
};

inline Vector3 operator*(real_t p_s, const Vector3 &p_v) {
	return p_v * p_s;
}

} // namespace godot
