#pragma once

#include <godot_cpp/core/defs.hpp>

#include <cmath>

namespace godot {

class String;
struct Vector2i;

struct ENGINE_DOUBLE_API Vector2 {
	enum Axis {
		AXIS_X,
		AXIS_Y,
	};

	union {
		struct {
			real_t x;
			real_t y;
		};
		real_t coord[2];
	};

	Vector2() :
	        x(0), y(0) {}
	Vector2(real_t p_x, real_t p_y) :
	        x(p_x), y(p_y) {}

	real_t &operator[](int p_axis) { return coord[p_axis]; }
	const real_t &operator[](int p_axis) const { return coord[p_axis]; }

	real_t length() const { return std::sqrt(x * x + y * y); }
	real_t length_squared() const { return x * x + y * y; }

	Vector2 operator+(const Vector2 &p_v) const { return Vector2(x + p_v.x, y + p_v.y); }
	Vector2 operator-(const Vector2 &p_v) const { return Vector2(x - p_v.x, y - p_v.y); }
	Vector2 operator*(real_t p_s) const { return Vector2(x * p_s, y * p_s); }
	Vector2 operator/(real_t p_s) const { return Vector2(x / p_s, y / p_s); }
	Vector2 operator-() const { return Vector2(-x, -y); }

	bool operator==(const Vector2 &p_v) const { return x == p_v.x && y == p_v.y; }
	bool operator!=(const Vector2 &p_v) const { return !(*this == p_v); }
	bool operator<(const Vector2 &p_v) const { return x == p_v.x ? y < p_v.y : x < p_v.x; }

	operator String() const;
	operator Vector2i() const;
};

} // namespace godot
