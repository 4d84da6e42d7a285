// Runs the built oracle program as a script or CI job would.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct ProgramRun {
	int exit_status = -1;
	std::string standard_output;
};

ProgramRun run_oracle_program(const std::string &p_arguments) {
	ProgramRun run;
	const std::string command = std::string(ORACLE_EXECUTABLE) + " " + p_arguments;
	FILE *pipe = popen(command.c_str(), "r");
	if (pipe == nullptr) {
		return run;
	}
	char buffer[256];
	size_t read = 0;
	while ((read = fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
		run.standard_output.append(buffer, read);
	}
	const int status = pclose(pipe);
	run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	return run;
}

bool file_exists(const std::string &p_path) {
	return std::ifstream(p_path).good();
}

class OracleProgram : public testing::Test {
protected:
	std::string path = testing::TempDir() + "oracle_program_output.txt";
	std::string other = testing::TempDir() + "oracle_program_other.txt";

	void SetUp() override {
		std::remove(path.c_str());
		std::remove(other.c_str());
	}
	void TearDown() override {
		std::remove(path.c_str());
		std::remove(other.c_str());
	}
};

TEST_F(OracleProgram, WrongArgumentCountExitsWith98AndWritesNothing) {
	const ProgramRun none = run_oracle_program("");
	EXPECT_EQ(none.exit_status, 98);
	EXPECT_EQ(none.standard_output, "");

	const ProgramRun two = run_oracle_program(path + " " + other);
	EXPECT_EQ(two.exit_status, 98);
	EXPECT_EQ(two.standard_output, "");
	EXPECT_FALSE(file_exists(path));
	EXPECT_FALSE(file_exists(other));
}

TEST_F(OracleProgram, UnopenableOutputExitsWith98) {
	const ProgramRun missing_directory = run_oracle_program(testing::TempDir() + "no_such_directory/out.txt");
	EXPECT_EQ(missing_directory.exit_status, 98);
	EXPECT_EQ(missing_directory.standard_output, "");

	const ProgramRun directory = run_oracle_program(testing::TempDir());
	EXPECT_EQ(directory.exit_status, 98);
	EXPECT_EQ(directory.standard_output, "");
}

TEST_F(OracleProgram, FailedWritesExitWith98AndPrintNothing) {
	if (!file_exists("/dev/full")) {
		GTEST_SKIP() << "no /dev/full on this system";
	}
	// Opens fine, but every write fails.
	const ProgramRun run = run_oracle_program("/dev/full");
	EXPECT_EQ(run.exit_status, 98);
	EXPECT_EQ(run.standard_output, "");
}

TEST_F(OracleProgram, FullRunPassesAndWritesEveryCase) {
	// An existing file is truncated, not appended to.
	std::ofstream(path) << "stale content that must disappear\n";

	const ProgramRun run = run_oracle_program(path);
	EXPECT_EQ(run.exit_status, 0);
	EXPECT_EQ(run.standard_output, "NUMERIC_DIFFERENTIAL 16388 PASS\n");

	std::ifstream written(path, std::ios::binary);
	std::stringstream content;
	content << written.rdbuf();
	const std::string text = content.str();
	ASSERT_FALSE(text.empty());
	const std::string record = "usable|0,9223372036854775807,9223372036854775807,|-1,-1,-1,|0,||0,|";
	EXPECT_EQ(text.substr(0, text.find('\n') + 1), "0\t3,0::///\t" + record + "\t" + record + "\n");
	EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 16388);
	EXPECT_EQ(text.find("stale"), std::string::npos);
	EXPECT_EQ(text.back(), '\n');
	const std::string last_line = "16387\t1,1:0,:/\tunusable||||||\tunusable||||||\n";
	EXPECT_EQ(text.substr(text.size() - last_line.size()), last_line);
}

} // namespace
