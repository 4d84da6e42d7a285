#pragma once

#include <godot_cpp/core/defs.hpp>

#include <cstdint>

namespace godot {

class String;
struct Vector2;

struct ENGINE_DOUBLE_API Vector2i {
	enum Axis {
		AXIS_X,
		AXIS_Y,
	};

	union {
		struct {
			int32_t x;
			int32_t y;
		};
		int32_t coord[2];
	};

	Vector2i() :
	        x(0), y(0) {}
	Vector2i(int32_t p_x, int32_t p_y) :
	        x(p_x), y(p_y) {}

	int32_t &operator[](int p_axis) { return coord[p_axis]; }
	const int32_t &operator[](int p_axis) const { return coord[p_axis]; }

	int64_t length_squared() const { return int64_t(x) * x + int64_t(y) * y; }

	bool operator==(const Vector2i &p_v) const { return x == p_v.x && y == p_v.y; }
	bool operator!=(const Vector2i &p_v) const { return !(*this == p_v); }
	bool operator<(const Vector2i &p_v) const { return x == p_v.x ? y < p_v.y : x < p_v.x; }

	operator String() const;
	operator Vector2() const;
};

} // namespace godot
