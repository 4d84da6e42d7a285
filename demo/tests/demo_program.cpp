#include "demo_program.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace veltrin_demo_test {

namespace {

std::string read_file(const std::string &p_path) {
	std::ifstream in(p_path, std::ios::binary);
	std::ostringstream text;
	text << in.rdbuf();
	return text.str();
}

// Single quotes for the shell; the arguments here are the tests' own.
std::string shell_quoted(const std::string &p_text) {
	std::string quoted = "'";
	for (const char c : p_text) {
		quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
	}
	return quoted + "'";
}

std::vector<std::string> lines_of(const std::string &p_text) {
	std::vector<std::string> lines;
	std::istringstream in(p_text);
	for (std::string line; std::getline(in, line);) {
		lines.push_back(line);
	}
	return lines;
}

// The lines of the table that follows the line p_heading, up to the first blank line.
std::vector<std::string> table_after(const std::string &p_section, const std::string &p_heading) {
	std::vector<std::string> table;
	bool inside = false;
	for (const std::string &line : lines_of(p_section)) {
		if (!inside) {
			inside = line.find(p_heading) != std::string::npos;
			continue;
		}
		if (line.empty()) {
			break;
		}
		table.push_back(line);
	}
	return table;
}

std::vector<std::string> words_of(const std::string &p_line) {
	std::vector<std::string> words;
	std::istringstream in(p_line);
	for (std::string word; in >> word;) {
		words.push_back(word);
	}
	return words;
}

} // namespace

DemoRun run_demo(const std::vector<std::string> &p_arguments) {
	static int run_count = 0;
	const std::string base = ::testing::TempDir() + "veltrin_demo_run_" + std::to_string(run_count++);
	std::string command = shell_quoted(VELTRIN_DEMO_PROGRAM);
	for (const std::string &argument : p_arguments) {
		command += " " + shell_quoted(argument);
	}
	command += " >" + shell_quoted(base + ".out") + " 2>" + shell_quoted(base + ".err");
	DemoRun run;
	const int status = std::system(command.c_str());
	run.exit_code = (status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
	run.out = read_file(base + ".out");
	run.err = read_file(base + ".err");
	std::remove((base + ".out").c_str());
	std::remove((base + ".err").c_str());
	return run;
}

std::vector<std::string> text_sections(const std::string &p_report) {
	std::vector<std::string> sections(1);
	for (const std::string &line : lines_of(p_report)) {
		if (line.rfind("== ", 0) == 0) {
			sections.emplace_back();
		}
		sections.back() += line + "\n";
	}
	return sections;
}

std::vector<std::string> ranked_ids(const std::string &p_section) {
	std::vector<std::string> ids;
	const std::vector<std::string> table = table_after(p_section, "Ranked (best first)");
	// The first line is the column heading.
	for (size_t i = 1; i < table.size(); i++) {
		const std::vector<std::string> words = words_of(table[i]);
		if (words.size() > 1) {
			ids.push_back(words[1]);
		}
	}
	return ids;
}

std::vector<std::pair<std::string, std::string>> rejected_entries(const std::string &p_section) {
	std::vector<std::pair<std::string, std::string>> entries;
	for (const std::string &line : table_after(p_section, "Rejected")) {
		const std::vector<std::string> words = words_of(line);
		if (words.size() == 2) {
			entries.emplace_back(words[0], words[1]);
		}
	}
	return entries;
}

std::vector<std::string> map_lines(const std::string &p_section) {
	return table_after(p_section, "Route to ");
}

} // namespace veltrin_demo_test
