// The error log and godot-cpp's error macros, which report into it.

#include "engine_errors.hpp"

#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/utility_functions.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <thread>

using namespace godot;

namespace {

class ErrorLog : public EngineErrors {};

int fail_if_negative(int p_value) {
	ERR_FAIL_COND_V(p_value < 0, -1);
	return p_value;
}

void fail_with_message(bool p_fail) {
	ERR_FAIL_COND_MSG(p_fail, "Custom reason.");
}

int index_into(int64_t p_index) {
	const int64_t size = 3;
	ERR_FAIL_INDEX_V(p_index, size, 0);
	return 1;
}

void fail_with_string_message() {
	ERR_FAIL_MSG(String("Built ") + itos(2));
}

TEST_F(ErrorLog, MacrosRecordTheEngineText) {
	EXPECT_EQ(fail_if_negative(-5), -1);
	EXPECT_EQ(fail_if_negative(5), 5);
	fail_with_message(true);
	fail_with_message(false);
	EXPECT_EQ(index_into(7), 0);
	fail_with_string_message();
	WARN_PRINT("Careful.");
	EXPECT_EQ(errors(), (std::vector<std::string> {
	                            "Condition \"p_value < 0\" is true. Returning: -1",
	                            "Custom reason.",
	                            "Index p_index = 7 is out of bounds (size = 3).",
	                            "Built 2",
	                            "WARNING: Careful.",
	                    }));
}

TEST_F(ErrorLog, PushErrorJoinsItsArguments) {
	UtilityFunctions::push_error("bad ", int64_t(3), " ", Vector3i(1, 2, 3));
	EXPECT_EQ(errors(), std::vector<std::string> { "bad 3 (1, 2, 3)" });
	EXPECT_EQ(UtilityFunctions::str("a", int64_t(1), 1.5), "a11.5");
}

TEST_F(ErrorLog, ClearEmptiesTheLog) {
	ERR_PRINT("one");
	EXPECT_EQ(error_count(), 1u);
	engine_double::error_log_clear();
	EXPECT_EQ(error_count(), 0u);
	EXPECT_TRUE(errors().empty());
}

TEST_F(ErrorLog, RecordingFromManyThreadsLosesNothing) {
	std::vector<std::thread> threads;
	for (int t = 0; t < 4; t++) {
		threads.emplace_back([]() {
			for (int i = 0; i < 500; i++) {
				engine_double::error_log_record("threaded");
			}
		});
	}
	for (std::thread &thread : threads) {
		thread.join();
	}
	EXPECT_EQ(error_count(), 2000u);
}

} // namespace
