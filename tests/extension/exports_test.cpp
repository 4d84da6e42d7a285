// The engine finds the plug-in by one symbol; nothing else of it may leak into the
// process's dynamic symbol table (another extension could bind to it).

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32

// The names in the DLL's export directory, as the loader maps it; an export by ordinal only
// has no name, so the count of exported addresses is checked as well.
std::vector<std::string> exported_functions(const std::string &p_library, size_t &r_address_count) {
	std::vector<std::string> names;
	r_address_count = 0;
	HMODULE module = LoadLibraryA(p_library.c_str());
	if (module == nullptr) {
		return names;
	}
	const unsigned char *base = reinterpret_cast<const unsigned char *>(module);
	const IMAGE_NT_HEADERS *headers = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + reinterpret_cast<const IMAGE_DOS_HEADER *>(base)->e_lfanew);
	const IMAGE_DATA_DIRECTORY &directory = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
	if (directory.Size != 0) {
		const IMAGE_EXPORT_DIRECTORY *exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(base + directory.VirtualAddress);
		const DWORD *name_offsets = reinterpret_cast<const DWORD *>(base + exports->AddressOfNames);
		for (DWORD i = 0; i < exports->NumberOfNames; i++) {
			names.emplace_back(reinterpret_cast<const char *>(base + name_offsets[i]));
		}
		r_address_count = exports->NumberOfFunctions;
	}
	FreeLibrary(module);
	return names;
}

#else

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

#endif

} // namespace

#ifdef _WIN32

TEST(PluginExports, OnlyTheEntryIsExported) {
	size_t address_count = 0;
	EXPECT_EQ(exported_functions(VELTRIN_PLUGIN_PATH, address_count), std::vector<std::string>({ "veltrin_numeric_core_init" }));
	EXPECT_EQ(address_count, 1u);
}

#else

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

#endif
