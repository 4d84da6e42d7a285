// What the demo does with command lines it cannot use.

#include "demo_program.hpp"

#include <gtest/gtest.h>

namespace veltrin_demo_test {
namespace {

TEST(DemoOptions, BadOptionsPrintUsageAndExitTwo) {
	const std::vector<std::vector<std::string>> bad = {
		{ "--guests" },
		{ "--guests", "0" },
		{ "--guests", "101" },
		{ "--guests", "-1" },
		{ "--guests", "3x" },
		{ "--facilities", "" },
		{ "--facilities", "5001" },
		{ "--facilities", "+12" },
		{ "--seed", "18446744073709551616" },
		{ "--seed", "1.5" },
		{ "--plugin", "" },
		{ "--colour" },
		{ "guests" },
	};
	for (const auto &arguments : bad) {
		std::string shown;
		for (const std::string &argument : arguments) {
			shown += "[" + argument + "]";
		}
		SCOPED_TRACE(shown);
		const DemoRun run = run_demo(arguments);
		EXPECT_EQ(run.exit_code, 2);
		EXPECT_EQ(run.out, "");
		EXPECT_NE(run.err.find("usage: "), std::string::npos);
	}
}

TEST(DemoOptions, LimitsAndHelpAreAccepted) {
	const DemoRun help = run_demo({ "--help" });
	EXPECT_EQ(help.exit_code, 0);
	EXPECT_NE(help.out.find("usage: "), std::string::npos);

	const DemoRun smallest = run_demo({ "--guests", "1", "--facilities", "1", "--seed", "18446744073709551615", "--no-timing" });
	EXPECT_EQ(smallest.exit_code, 0) << smallest.err;
	EXPECT_NE(smallest.out.find("== Guest ada:"), std::string::npos);
	EXPECT_NE(smallest.out.find("seed 18446744073709551615\n"), std::string::npos);
	EXPECT_EQ(smallest.out.find("== Guest bruno:"), std::string::npos);
}

TEST(DemoOptions, AMissingPluginIsReportedNotCrashedOn) {
	const DemoRun run = run_demo({ "--plugin", "/nonexistent/libveltrin_numeric_core.so" });
	EXPECT_EQ(run.exit_code, 1);
	EXPECT_EQ(run.out, "");
	EXPECT_NE(run.err.find("cannot start the plug-in"), std::string::npos) << run.err;
}

} // namespace
} // namespace veltrin_demo_test
