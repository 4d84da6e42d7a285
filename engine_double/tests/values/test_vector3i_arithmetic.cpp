// Vector3i and the engine's integer operators.

#include "engine_errors.hpp"

#include <godot_cpp/variant/variant.hpp>

#include <cmath>

using namespace godot;

namespace {

class Vector3iArithmetic : public EngineErrors {};

Variant evaluate(Variant::Operator p_op, const Variant &p_a, const Variant &p_b, bool &r_valid) {
	Variant result;
	Variant::evaluate(p_op, p_a, p_b, result, r_valid);
	return result;
}

TEST_F(Vector3iArithmetic, ComponentsAreInt32AndWrap) {
	const Vector3i big(INT32_MAX, INT32_MIN, 7);
	EXPECT_EQ(big + Vector3i(1, 0, 0), Vector3i(INT32_MIN, INT32_MIN, 7));
	EXPECT_EQ(big - Vector3i(0, 1, 0), Vector3i(INT32_MAX, INT32_MAX, 7));
	EXPECT_EQ(-Vector3i(INT32_MIN, 1, 0), Vector3i(INT32_MIN, -1, 0));
	EXPECT_EQ(Vector3i(INT32_MIN, 0, 0) / -1, Vector3i(INT32_MIN, 0, 0));
	EXPECT_EQ(Vector3i(-7, 7, 9) / 2, Vector3i(-3, 3, 4));
	EXPECT_EQ(Vector3i(-7, 7, 9) % 2, Vector3i(-1, 1, 1));
	EXPECT_EQ(Vector3i(1, 2, 3) * 2, Vector3i(2, 4, 6));
}

TEST_F(Vector3iArithmetic, DivisionByZeroIsReportedInsteadOfCrashing) {
	EXPECT_EQ(Vector3i(1, 2, 3) / Vector3i(1, 0, 1), Vector3i(1, 0, 3));
	EXPECT_EQ(errors(), std::vector<std::string> { "Vector3i division by zero (the engine would crash)" });
}

TEST_F(Vector3iArithmetic, OrderIsLexicographic) {
	EXPECT_TRUE(Vector3i(0, 9, 9) < Vector3i(1, 0, 0));
	EXPECT_TRUE(Vector3i(1, 0, 9) < Vector3i(1, 1, 0));
	EXPECT_TRUE(Vector3i(1, 1, 0) < Vector3i(1, 1, 1));
	EXPECT_FALSE(Vector3i(1, 1, 1) < Vector3i(1, 1, 1));
	EXPECT_TRUE(Vector3i(1, 1, 1) <= Vector3i(1, 1, 1));
}

TEST_F(Vector3iArithmetic, Helpers) {
	const Vector3i v(-3, 4, 0);
	EXPECT_EQ(v.length_squared(), 25);
	EXPECT_EQ(v.length(), 5.0);
	EXPECT_EQ(v.abs(), Vector3i(3, 4, 0));
	EXPECT_EQ(v.sign(), Vector3i(-1, 1, 0));
	EXPECT_EQ(v.min_axis_index(), Vector3i::AXIS_X);
	EXPECT_EQ(v.max_axis_index(), Vector3i::AXIS_Y);
	EXPECT_EQ(v.clampi(-1, 1), Vector3i(-1, 1, 0));
	EXPECT_EQ(Vector3i(7, -7, 12).snappedi(5), Vector3i(5, -5, 10));
	EXPECT_EQ(v.distance_squared_to(Vector3i()), 25);
	EXPECT_EQ(v[1], 4);
	EXPECT_EQ(String(v), "(-3, 4, 0)");
	EXPECT_EQ(Vector3(v), Vector3(-3, 4, 0));
}

TEST_F(Vector3iArithmetic, IntegerOperatorsWrapAndTruncate) {
	bool valid = false;
	EXPECT_EQ(int64_t(evaluate(Variant::OP_ADD, INT64_MAX, int64_t(1), valid)), INT64_MIN);
	EXPECT_TRUE(valid);
	EXPECT_EQ(int64_t(evaluate(Variant::OP_MULTIPLY, INT64_MAX, int64_t(2), valid)), -2);
	EXPECT_EQ(int64_t(evaluate(Variant::OP_DIVIDE, int64_t(-7), int64_t(2), valid)), -3);
	EXPECT_EQ(int64_t(evaluate(Variant::OP_MODULE, int64_t(-7), int64_t(2), valid)), -1);
	EXPECT_EQ(evaluate(Variant::OP_DIVIDE, int64_t(7), 2.0, valid).get_type(), Variant::FLOAT);
}

TEST_F(Vector3iArithmetic, DivisionByZeroIsAnInvalidOperation) {
	bool valid = true;
	const Variant result = evaluate(Variant::OP_DIVIDE, int64_t(1), int64_t(0), valid);
	EXPECT_FALSE(valid);
	EXPECT_EQ(String(result), "Division by zero error");
	EXPECT_EQ(String(evaluate(Variant::OP_MODULE, int64_t(1), int64_t(0), valid)), "Modulo by zero error");
	EXPECT_FALSE(valid);
	evaluate(Variant::OP_DIVIDE, Vector3i(1, 1, 1), Vector3i(1, 0, 1), valid);
	EXPECT_FALSE(valid);
	EXPECT_TRUE(std::isinf(double(evaluate(Variant::OP_DIVIDE, 1.0, 0.0, valid))));
	EXPECT_TRUE(valid);
	EXPECT_EQ(error_count(), 0u);
}

TEST_F(Vector3iArithmetic, VectorOperatorsThroughVariants) {
	bool valid = false;
	EXPECT_EQ(Vector3i(evaluate(Variant::OP_ADD, Vector3i(1, 2, 3), Vector3i(1, 1, 1), valid)), Vector3i(2, 3, 4));
	EXPECT_EQ(Vector3i(evaluate(Variant::OP_MULTIPLY, Vector3i(1, 2, 3), int64_t(2), valid)), Vector3i(2, 4, 6));
	evaluate(Variant::OP_ADD, Vector3i(), Vector3(), valid);
	EXPECT_FALSE(valid);
}

} // namespace
