// The engine finds the plug-in by one symbol; nothing else of it may leak into the
// process's dynamic symbol table (another extension could bind to it).

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::string> defined_dynamic_symbols(const std::string &p_library) {
	std::vector<std::string> symbols;
	const std::string command = "nm -D --defined-only '" + p_library + "' 2>/dev/null";
	FILE *pipe = popen(command.c_str(), "r");
	if (pipe == nullptr) {
		return symbols;
	}
	char line[1024];
	while (fgets(line, sizeof(line), pipe) != nullptr) {
		std::string entry(line);
		while (!entry.empty() && (entry.back() == '\n' || entry.back() == '\r')) {
			entry.pop_back();
		}
		const size_t last_space = entry.rfind(' ');
		symbols.push_back(last_space == std::string::npos ? entry : entry.substr(last_space + 1));
	}
	pclose(pipe);
	return symbols;
}

} // namespace

TEST(PluginExports, OnlyTheEntryIsExported) {
	const std::vector<std::string> symbols = defined_dynamic_symbols(VELTRIN_PLUGIN_PATH);
	std::vector<std::string> functions;
	for (const std::string &symbol : symbols) {
		// Version-node markers are not symbols of ours.
		if (symbol.find('@') == std::string::npos) {
			functions.push_back(symbol);
		}
	}
	EXPECT_EQ(functions, std::vector<std::string>({ "veltrin_numeric_core_init" }));
}
