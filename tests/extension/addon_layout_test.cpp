// What a game project receives: the .gdextension file that tells Godot how to load the
// plug-in, and the add-on folder that `cmake --install` lays out.

#include <engine_double/host.hpp>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char *const ADDON_DIR = "addons/veltrin_numeric_core";
const char *const GDEXTENSION_NAME = "veltrin_numeric_core.gdextension";

std::string read_file(const fs::path &p_path) {
	std::ifstream file(p_path, std::ios::binary);
	std::ostringstream content;
	content << file.rdbuf();
	return content.str();
}

std::vector<std::string> split(const std::string &p_text, char p_separator) {
	std::vector<std::string> parts;
	std::string part;
	std::istringstream stream(p_text);
	while (std::getline(stream, part, p_separator)) {
		parts.push_back(part);
	}
	return parts;
}

// The .gdextension file as Godot's ConfigFile reads it, for the forms it uses: [section],
// key = "string" or key = true/false, and ';' comments. Keys are "section/key".
bool read_gdextension(const std::string &p_source, std::map<std::string, std::string> &r_values, std::string &r_error) {
	std::string section;
	int line_number = 0;
	for (std::string line : split(p_source, '\n')) {
		line_number++;
		const std::string where = "line " + std::to_string(line_number);
		while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
			line.pop_back();
		}
		if (line.empty() || line[0] == ';') {
			continue;
		}
		if (line[0] == '[') {
			if (line.back() != ']' || line.size() < 3) {
				r_error = where + ": bad section header";
				return false;
			}
			section = line.substr(1, line.size() - 2);
			continue;
		}
		const size_t equals = line.find(" = ");
		if (section.empty() || equals == std::string::npos || equals == 0) {
			r_error = where + ": expected key = value inside a section";
			return false;
		}
		const std::string key = section + "/" + line.substr(0, equals);
		std::string value = line.substr(equals + 3);
		if (value.size() >= 2 && value.front() == '"' && value.back() == '"' && value.find('"', 1) == value.size() - 1) {
			value = value.substr(1, value.size() - 2);
		} else if (value != "true" && value != "false") {
			r_error = where + ": value is neither a quoted string nor a boolean";
			return false;
		}
		if (!r_values.emplace(key, value).second) {
			r_error = where + ": duplicate key " + key;
			return false;
		}
	}
	return true;
}

// Godot's loader reads compatibility_minimum as up to three dot-separated numbers (missing
// ones are 0) and compares major, minor and patch in turn with the running engine's.
bool godot_accepts(const std::string &p_minimum, int p_major, int p_minor, int p_patch) {
	int minimum[3] = { 0, 0, 0 };
	const std::vector<std::string> parts = split(p_minimum, '.');
	for (size_t i = 0; i < parts.size() && i < 3; i++) {
		minimum[i] = std::atoi(parts[i].c_str());
	}
	if (p_major != minimum[0]) {
		return p_major > minimum[0];
	}
	if (p_minor != minimum[1]) {
		return p_minor > minimum[1];
	}
	return p_patch >= minimum[2];
}

// The build's platform, target (template_debug or template_release) and architecture are
// part of the plug-in's name: libveltrin_numeric_core.<platform>.<target>.<arch>.<suffix>.
std::string built_library_key() {
	const std::vector<std::string> parts = split(fs::path(VELTRIN_PLUGIN_PATH).filename().string(), '.');
	if (parts.size() != 5 || parts[2].rfind("template_", 0) != 0) {
		return "libraries/(unexpected plug-in name)";
	}
	return "libraries/" + parts[1] + "." + parts[2].substr(9) + "." + parts[3];
}

class GdextensionFile : public ::testing::Test {
protected:
	std::map<std::string, std::string> values;

	void SetUp() override {
		const std::string source = read_file(fs::path(VELTRIN_SOURCE_DIR) / GDEXTENSION_NAME);
		ASSERT_FALSE(source.empty());
		std::string error;
		ASSERT_TRUE(read_gdextension(source, values, error)) << error;
	}
};

// Runs the build's install step into a fresh directory, removed afterwards.
class InstalledAddon : public ::testing::Test {
protected:
	fs::path prefix;

	void SetUp() override {
#ifdef VELTRIN_INSTALL_STEP_FOREIGN
		GTEST_SKIP() << "the build's cmake cannot run from this platform's programs";
#endif
		static std::atomic<int> counter { 0 };
		prefix = fs::temp_directory_path() / ("veltrin_install_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
		fs::remove_all(prefix);
		const std::string command = "\"" VELTRIN_CMAKE_COMMAND "\" --install \"" VELTRIN_BINARY_DIR "\" --prefix \"" + prefix.string() + "\" > /dev/null";
		ASSERT_EQ(std::system(command.c_str()), 0) << command;
	}

	void TearDown() override {
		std::error_code ignored;
		fs::remove_all(prefix, ignored);
	}
};

} // namespace

TEST_F(GdextensionFile, ConfigurationNamesTheExportedEntry) {
	const std::string entry = values["configuration/entry_symbol"];
	EXPECT_EQ(entry, "veltrin_numeric_core_init");
	// The engine resolves the entry by this very name; a typo makes the add-on fail to load.
	engine_double::PluginHost host;
	EXPECT_TRUE(host.load(VELTRIN_PLUGIN_PATH, entry));
	host.unload();
}

// The plug-in needs Godot 4.7.2: earlier 4.7 releases must refuse to load it.
TEST_F(GdextensionFile, OnlyEnginesFrom472LoadIt) {
	const std::string minimum = values["configuration/compatibility_minimum"];
	EXPECT_TRUE(godot_accepts(minimum, 4, 7, 2));
	EXPECT_TRUE(godot_accepts(minimum, 4, 8, 0));
	EXPECT_TRUE(godot_accepts(minimum, 5, 0, 0));
	EXPECT_FALSE(godot_accepts(minimum, 4, 7, 1));
	EXPECT_FALSE(godot_accepts(minimum, 4, 7, 0));
	EXPECT_FALSE(godot_accepts(minimum, 4, 6, 9));
}

TEST_F(GdextensionFile, LibrariesFollowGodotsBinaryNaming) {
	const std::string bin = std::string("res://") + ADDON_DIR + "/bin/";
	EXPECT_EQ(values[built_library_key()], bin + fs::path(VELTRIN_PLUGIN_PATH).filename().string());

	// Exactly what the repository's toolchains build: Linux x86_64 and arm64, Windows x86_64.
	const std::map<std::string, std::string> extensions = { { "linux", ".so" }, { "windows", ".dll" } };
	const std::set<std::string> built = { "linux.x86_64", "linux.arm64", "windows.x86_64" };
	int libraries = 0;
	for (const auto &entry : values) {
		if (entry.first.rfind("libraries/", 0) != 0) {
			continue;
		}
		libraries++;
		SCOPED_TRACE(entry.first);
		const std::vector<std::string> tags = split(entry.first.substr(10), '.');
		ASSERT_EQ(tags.size(), 3u);
		ASSERT_EQ(built.count(tags[0] + "." + tags[2]), 1u);
		ASSERT_TRUE(tags[1] == "debug" || tags[1] == "release");
		EXPECT_EQ(entry.second, bin + "libveltrin_numeric_core." + tags[0] + ".template_" + tags[1] + "." + tags[2] + extensions.at(tags[0]));
		// A platform that ships a debug library ships the release one too, and back.
		std::string twin = entry.first;
		twin.replace(10 + tags[0].size() + 1, tags[1].size(), tags[1] == "debug" ? "release" : "debug");
		EXPECT_EQ(values.count(twin), 1u) << twin;
	}
	EXPECT_EQ(libraries, 6);
}

TEST_F(InstalledAddon, GameProjectGetsTheAddonFolder) {
	const fs::path addon = prefix / ADDON_DIR;
	const std::string installed = read_file(addon / GDEXTENSION_NAME);
	// The installed copy is the repository's with the version filled in, in its first line.
	std::string expected = read_file(fs::path(VELTRIN_SOURCE_DIR) / GDEXTENSION_NAME);
	const size_t placeholder = expected.find("@PROJECT_VERSION@");
	ASSERT_LT(placeholder, expected.find('\n'));
	expected.replace(placeholder, std::strlen("@PROJECT_VERSION@"), VELTRIN_VERSION);
	EXPECT_EQ(installed, expected);
	std::map<std::string, std::string> values;
	std::string error;
	ASSERT_TRUE(read_gdextension(installed, values, error)) << error;

	// The game project is res://, so the file's path for this build must name the installed
	// library, and that library must load and register the class.
	const std::string library = values[built_library_key()];
	ASSERT_EQ(library.rfind("res://", 0), 0u) << library;
	const fs::path resolved = prefix / library.substr(6);
	ASSERT_TRUE(fs::is_regular_file(resolved)) << resolved;
	EXPECT_EQ(resolved.parent_path(), addon / "bin");

	engine_double::PluginHost host;
	ASSERT_TRUE(host.load(resolved.string(), values["configuration/entry_symbol"]));
	host.initialize(godot::MODULE_INITIALIZATION_LEVEL_SCENE);
	EXPECT_EQ(host.instantiate("VeltrinNumericCore").get_type(), godot::Variant::OBJECT);
	host.unload();

	// Nothing lands in the game project outside the add-on's folder.
	for (const fs::directory_entry &entry : fs::recursive_directory_iterator(prefix)) {
		if (entry.is_regular_file()) {
			const std::string relative = fs::relative(entry.path(), prefix).string();
			EXPECT_EQ(relative.rfind(std::string(ADDON_DIR) + "/", 0), 0u) << relative;
		}
	}
}

TEST(GdextensionReader, RefusesWhatGodotWouldMisread) {
	const std::vector<std::pair<const char *, std::string>> cases = {
		{ "key outside a section", "entry_symbol = \"x\"\n" },
		{ "unquoted string", "[configuration]\nentry_symbol = veltrin_numeric_core_init\n" },
		{ "quote left open", "[configuration]\nentry_symbol = \"x\n" },
		{ "duplicate key", "[libraries]\nlinux.debug.x86_64 = \"a\"\nlinux.debug.x86_64 = \"b\"\n" },
		{ "bad header", "[configuration\n" },
	};
	for (const auto &entry : cases) {
		std::map<std::string, std::string> values;
		std::string error;
		EXPECT_FALSE(read_gdextension(entry.second, values, error)) << entry.first;
	}
}
