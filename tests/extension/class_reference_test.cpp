// The class reference the editor shows must describe the class the plug-in really binds:
// every method, with its arguments named, typed and ordered as bound, and nothing that is
// not bound (the diagnostic methods excepted where the build leaves them out).

#include "class_reference_reader.hpp"
#include "plugin_fixture.hpp"

#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/variant/string.hpp>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace godot;

namespace {

const char *const REFERENCE_PATH = VELTRIN_SOURCE_DIR "/doc_classes/VeltrinNumericCore.xml";

std::string text(const StringName &p_name) {
	return String(p_name).utf8().get_data();
}

std::string read_file(const std::string &p_path) {
	std::ifstream file(p_path, std::ios::binary);
	std::ostringstream content;
	content << file.rdbuf();
	return content.str();
}

// The type name Godot's doctool writes for an argument or return value.
std::string doc_type(const PropertyInfo &p_info) {
	if (p_info.type == Variant::OBJECT) {
		return p_info.class_name == StringName() ? std::string("Object") : text(p_info.class_name);
	}
	if (p_info.type == Variant::ARRAY && p_info.hint == PROPERTY_HINT_ARRAY_TYPE && !p_info.hint_string.is_empty()) {
		return std::string(p_info.hint_string.utf8().get_data()) + "[]";
	}
	if (p_info.type == Variant::NIL) {
		return "Variant";
	}
	return String(Variant::get_type_name(p_info.type)).utf8().get_data();
}

// Documented methods that a build may leave unbound.
std::set<std::string> optional_methods() {
#ifdef VELTRIN_DIAGNOSTICS
	return {};
#else
	return { "diagnostic_reset", "diagnostic_snapshot" };
#endif
}

// Every way the reference differs from the bound class; empty when they agree.
std::vector<std::string> reference_mismatches(const engine_double::ClassListing &p_class, const ClassReference &p_reference, const std::set<std::string> &p_optional) {
	std::vector<std::string> problems;
	if (p_reference.name != text(p_class.name)) {
		problems.push_back("documents class '" + p_reference.name + "'");
	}
	if (p_reference.inherits != text(p_class.parent)) {
		problems.push_back("inherits '" + p_reference.inherits + "', bound under '" + text(p_class.parent) + "'");
	}
	if (p_reference.brief_description.empty() || p_reference.description.empty()) {
		problems.push_back("the class has an empty brief or full description");
	}
	std::set<std::string> bound;
	for (const engine_double::MethodListing &method : p_class.methods) {
		const std::string name = text(method.name);
		bound.insert(name);
		const MethodReference *documented = p_reference.method(name);
		if (documented == nullptr) {
			problems.push_back(name + ": bound but not documented");
			continue;
		}
		if (documented->description.empty()) {
			problems.push_back(name + ": empty description");
		}
		const std::string return_type = method.has_return ? doc_type(method.return_value) : std::string("void");
		if (documented->return_type != return_type) {
			problems.push_back(name + ": returns " + documented->return_type + ", bound " + return_type);
		}
		if ((documented->qualifiers == "const") != method.is_const) {
			problems.push_back(name + ": qualifiers '" + documented->qualifiers + "' disagree with the binding");
		}
		if (documented->parameters.size() != method.arguments.size()) {
			problems.push_back(name + ": documents " + std::to_string(documented->parameters.size()) + " arguments, binds " + std::to_string(method.arguments.size()));
			continue;
		}
		for (size_t i = 0; i < method.arguments.size(); i++) {
			const ParameterReference &parameter = documented->parameters[i];
			const std::string bound_name = text(method.arguments[i].name);
			const std::string bound_type = doc_type(method.arguments[i]);
			if (parameter.name != bound_name || parameter.type != bound_type) {
				problems.push_back(name + ": argument " + std::to_string(i) + " documented as " + parameter.name + ": " + parameter.type + ", bound as " + bound_name + ": " + bound_type);
			}
		}
	}
	for (const MethodReference &method : p_reference.methods) {
		if (bound.count(method.name) == 0 && p_optional.count(method.name) == 0) {
			problems.push_back(method.name + ": documented but not bound");
		}
	}
	return problems;
}

std::string joined(const std::vector<std::string> &p_lines) {
	std::string all;
	for (const std::string &line : p_lines) {
		all += line + "\n";
	}
	return all;
}

// References inside [code] or [codeblock], where the editor's help parses no tags and shows
// them as typed: one line per tag found, with the span it sits in. Brackets that are code
// ([FRONT, BACK], cells[i]) pass.
std::vector<std::string> tags_inside_code(const std::string &p_source) {
	static const char *const TAGS[] = { "param", "method", "member", "constant", "signal", "enum", "annotation",
		"constructor", "operator", "theme_item", "url" };
	std::vector<std::string> found;
	for (const char *span : { "code", "codeblock" }) {
		const std::string open = std::string("[") + span + "]";
		const std::string close = std::string("[/") + span + "]";
		for (size_t begin = p_source.find(open); begin != std::string::npos; begin = p_source.find(open, begin + 1)) {
			const size_t inner = begin + open.size();
			const size_t end = p_source.find(close, inner);
			const std::string body = p_source.substr(inner, end == std::string::npos ? std::string::npos : end - inner);
			for (size_t at = body.find('['); at != std::string::npos; at = body.find('[', at + 1)) {
				const size_t name = body[at + 1] == '/' ? at + 2 : at + 1;
				for (const char *tag : TAGS) {
					const size_t length = std::char_traits<char>::length(tag);
					const char after = name + length < body.size() ? body[name + length] : '\0';
					if (body.compare(name, length, tag) == 0 && (after == ']' || after == ' ' || after == '=')) {
						found.push_back(open + body.substr(0, 60));
					}
				}
			}
		}
	}
	return found;
}

// p_source with the first occurrence of p_from replaced; fails the test if there is none.
std::string replaced(std::string p_source, const std::string &p_from, const std::string &p_to) {
	const size_t at = p_source.find(p_from);
	EXPECT_NE(at, std::string::npos) << p_from;
	if (at != std::string::npos) {
		p_source.replace(at, p_from.size(), p_to);
	}
	return p_source;
}

// p_source with the description of p_method emptied.
std::string without_description(std::string p_source, const std::string &p_method) {
	const size_t method = p_source.find("<method name=\"" + p_method + "\"");
	const size_t begin = p_source.find("<description>", method);
	const size_t end = p_source.find("</description>", begin);
	EXPECT_NE(method, std::string::npos);
	EXPECT_NE(end, std::string::npos);
	if (method != std::string::npos && end != std::string::npos) {
		p_source.erase(begin + 13, end - begin - 13);
	}
	return p_source;
}

class ClassReferenceTest : public PluginTest {
protected:
	std::string source;
	engine_double::ClassListing bound;

	void SetUp() override {
		source = read_file(REFERENCE_PATH);
		ASSERT_FALSE(source.empty()) << REFERENCE_PATH;
		const std::vector<engine_double::ClassListing> classes = host->classes();
		ASSERT_EQ(classes.size(), 1u);
		bound = classes[0];
	}

	std::vector<std::string> mismatches_of(const std::string &p_source, const std::set<std::string> &p_optional) const {
		ClassReference reference;
		std::string error;
		if (!read_class_reference(p_source, reference, error)) {
			return { "unreadable: " + error };
		}
		return reference_mismatches(bound, reference, p_optional);
	}
};

} // namespace

TEST_F(ClassReferenceTest, DescribesExactlyTheBoundClass) {
	ClassReference reference;
	std::string error;
	ASSERT_TRUE(read_class_reference(source, reference, error)) << error;
	EXPECT_EQ(joined(reference_mismatches(bound, reference, optional_methods())), "");
	// The diagnostic methods are documented in every build, bound or not.
	EXPECT_NE(reference.method("diagnostic_reset"), nullptr);
	EXPECT_NE(reference.method("diagnostic_snapshot"), nullptr);
}

TEST_F(ClassReferenceTest, DriftFromTheBindingIsCaught) {
	struct Drift {
		const char *what;
		std::string source;
		const char *expected; // a fragment of one reported problem
	};
	const std::vector<Drift> drifts = {
		{ "renamed argument", replaced(source, "name=\"start_index\"", "name=\"start\""), "search: argument 2" },
		{ "retyped argument", replaced(source, "name=\"duration_us\" type=\"int\"", "name=\"duration_us\" type=\"float\""), "performance_record_sample: argument 2" },
		{ "typed array documented plain", replaced(source, "name=\"layers\" type=\"int[]\"", "name=\"layers\" type=\"Array\""), "nearest_guest_access: argument 4" },
		{ "argument dropped", replaced(source, "\t\t\t<param index=\"3\" name=\"access\" type=\"Array\" />\n", ""), "guest_tree_edge_rows: documents 3 arguments" },
		{ "wrong return", replaced(source, "<method name=\"clear_edge_cache\">\n\t\t\t<return type=\"void\" />", "<method name=\"clear_edge_cache\">\n\t\t\t<return type=\"bool\" />"), "clear_edge_cache: returns bool" },
		{ "method renamed", replaced(source, "<method name=\"search_cached\">", "<method name=\"search_with_cache\">"), "search_cached: bound but not documented" },
		{ "unbound method documented", replaced(source, "<method name=\"search_cached\">", "<method name=\"search_with_cache\">"), "search_with_cache: documented but not bound" },
		{ "empty method description", without_description(source, "clear_edge_cache"), "clear_edge_cache: empty description" },
		{ "wrong parent", replaced(source, "inherits=\"RefCounted\"", "inherits=\"Object\""), "inherits 'Object'" },
		{ "file cut short", source.substr(0, source.size() / 2), "unreadable" },
	};
	for (const Drift &drift : drifts) {
		SCOPED_TRACE(drift.what);
		const std::string problems = joined(mismatches_of(drift.source, optional_methods()));
		EXPECT_NE(problems, "");
		EXPECT_NE(problems.find(drift.expected), std::string::npos) << problems;
	}
}

TEST_F(ClassReferenceTest, NoReferenceInsideCode) {
	EXPECT_EQ(joined(tags_inside_code(source)), "");
	EXPECT_EQ(tags_inside_code("[code]get_guest([param guest_id])[/code] and [code]x[/code]").size(), 1u);
	EXPECT_EQ(tags_inside_code("[codeblock]\n[method f]([url=x]x[/url])\n[/codeblock]").size(), 3u);
	EXPECT_TRUE(tags_inside_code("[param a] [code][FRONT, BACK][/code] [code]a[i][/code] [b]x[/b]").empty());
}

TEST_F(ClassReferenceTest, OnlyTheDiagnosticMethodsMayGoUnbound) {
	const std::string extra = "\t\t<method name=\"diagnostic_extra\">\n\t\t\t<return type=\"void\" />\n\t\t\t<description>Not bound.</description>\n\t\t</method>\n\t</methods>";
	const std::string problems = joined(mismatches_of(replaced(source, "\t</methods>", extra), optional_methods()));
	EXPECT_NE(problems.find("diagnostic_extra: documented but not bound"), std::string::npos) << problems;
#ifdef VELTRIN_DIAGNOSTICS
	// Bound here, so a missing entry is a fault even though other builds leave them out.
	const size_t begin = source.find("\t\t<method name=\"diagnostic_reset\">");
	const size_t end = source.find("\t\t</method>\n", begin);
	ASSERT_NE(end, std::string::npos);
	std::string without = source;
	without.erase(begin, end + 12 - begin);
	const std::string missing = joined(mismatches_of(without, { "diagnostic_reset", "diagnostic_snapshot" }));
	EXPECT_NE(missing.find("diagnostic_reset: bound but not documented"), std::string::npos) << missing;
#endif
}

TEST(ClassReferenceReader, ReadsTheSubsetExactly) {
	const std::string source = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<!-- header -->\n"
	                           "<class name=\"A\" inherits='RefCounted'>\n"
	                           "\t<brief_description> Short &amp; sweet. </brief_description>\n"
	                           "\t<description>Uses [code]a &lt; b &gt; c[/code] &quot;q&quot; &apos;s&apos;</description>\n"
	                           "\t<tutorials><link title=\"T\">$DOCS_URL/x.html</link></tutorials>\n"
	                           "\t<methods>\n"
	                           "\t\t<method name=\"f\" qualifiers=\"const\"><return type=\"int[]\" /><param index=\"0\" name=\"x\" type=\"Vector3i\"/><description>F.</description></method>\n"
	                           "\t\t<method name=\"g\"><description>G.</description></method>\n"
	                           "\t</methods>\n"
	                           "</class>\n";
	ClassReference reference;
	std::string error;
	ASSERT_TRUE(read_class_reference(source, reference, error)) << error;
	EXPECT_EQ(reference.name, "A");
	EXPECT_EQ(reference.inherits, "RefCounted");
	EXPECT_EQ(reference.brief_description, "Short & sweet.");
	EXPECT_EQ(reference.description, "Uses [code]a < b > c[/code] \"q\" 's'");
	ASSERT_EQ(reference.methods.size(), 2u);
	EXPECT_EQ(reference.methods[0].qualifiers, "const");
	EXPECT_EQ(reference.methods[0].return_type, "int[]");
	ASSERT_EQ(reference.methods[0].parameters.size(), 1u);
	EXPECT_EQ(reference.methods[0].parameters[0].name, "x");
	EXPECT_EQ(reference.methods[0].parameters[0].type, "Vector3i");
	EXPECT_EQ(reference.methods[1].return_type, "void");
	EXPECT_TRUE(reference.methods[1].parameters.empty());
}

TEST(ClassReferenceReader, RefusesMalformedFiles) {
	const std::string head = "<class name=\"A\" inherits=\"B\"><brief_description>b</brief_description><description>d</description>";
	const std::string tail = "</class>";
	std::string deep_open;
	for (int i = 0; i < 40; i++) {
		deep_open += "<a>";
	}
	const std::vector<std::pair<const char *, std::string>> cases = {
		{ "empty file", "" },
		{ "root left open", head },
		{ "mismatched closing tag", head + "<methods></method>" + tail },
		{ "unknown entity", head + "<methods><method name=\"f\"><description>&nbsp;</description></method></methods>" + tail },
		{ "character reference", head + "<methods><method name=\"f\"><description>&#60;</description></method></methods>" + tail },
		{ "text after the root", head + tail + "x" },
		{ "second root", head + tail + "<class/>" },
		{ "duplicate attribute", "<class name=\"A\" name=\"B\" inherits=\"B\"><brief_description>b</brief_description><description>d</description>" + tail },
		{ "unquoted attribute", "<class name=A inherits=\"B\"><brief_description>b</brief_description><description>d</description>" + tail },
		{ "attributes run together", "<class name=\"A\"inherits=\"B\"><brief_description>b</brief_description><description>d</description>" + tail },
		{ "'<' in an attribute", "<class name=\"A<\" inherits=\"B\"><brief_description>b</brief_description><description>d</description>" + tail },
		{ "DOCTYPE", "<!DOCTYPE class>" + head + tail },
		{ "CDATA", head + "<methods><method name=\"f\"><description><![CDATA[x]]></description></method></methods>" + tail },
		{ "comment left open", head + "<!-- " + tail },
		{ "nesting too deep", head + deep_open + tail },
		{ "wrong root", "<klass name=\"A\" inherits=\"B\"><brief_description>b</brief_description><description>d</description></klass>" },
		{ "no inherits", "<class name=\"A\"><brief_description>b</brief_description><description>d</description>" + tail },
		{ "no description", "<class name=\"A\" inherits=\"B\"><brief_description>b</brief_description>" + tail },
		{ "unknown section", head + "<operators></operators>" + tail },
		{ "stray text in a section", head + "<methods>oops</methods>" + tail },
		{ "method without a name", head + "<methods><method><description>x</description></method></methods>" + tail },
		{ "method without a description", head + "<methods><method name=\"f\"><return type=\"int\"/></method></methods>" + tail },
		{ "method documented twice", head + "<methods><method name=\"f\"><description>x</description></method><method name=\"f\"><description>y</description></method></methods>" + tail },
		{ "parameter index skipped", head + "<methods><method name=\"f\"><param index=\"1\" name=\"a\" type=\"int\"/><description>x</description></method></methods>" + tail },
		{ "parameter without a type", head + "<methods><method name=\"f\"><param index=\"0\" name=\"a\"/><description>x</description></method></methods>" + tail },
		{ "two returns", head + "<methods><method name=\"f\"><return type=\"int\"/><return type=\"int\"/><description>x</description></method></methods>" + tail },
	};
	for (const auto &entry : cases) {
		ClassReference reference;
		std::string error;
		EXPECT_FALSE(read_class_reference(entry.second, reference, error)) << entry.first;
		EXPECT_FALSE(error.empty()) << entry.first;
	}
}
