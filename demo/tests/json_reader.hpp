#pragma once

// Just enough of a JSON reader to check the demo's machine-readable report: the whole
// grammar is read, numbers are kept as text and as a double, nothing is left out silently.

#include <string>
#include <utility>
#include <vector>

namespace veltrin_demo_test {

struct JsonValue {
	enum class Kind {
		NUL,
		BOOLEAN,
		NUMBER,
		STRING,
		ARRAY,
		OBJECT,
	};
	Kind kind = Kind::NUL;
	bool boolean = false;
	double number = 0.0;
	// The string's value, or a number's text.
	std::string text;
	std::vector<JsonValue> items;
	std::vector<std::pair<std::string, JsonValue>> members;

	// The member p_key of an object; a null value when absent.
	const JsonValue &operator[](const std::string &p_key) const;
	bool has(const std::string &p_key) const;
};

// False (with the offset of the fault in r_error) unless p_text is one JSON value with
// nothing but white space around it.
bool read_json(const std::string &p_text, JsonValue &r_value, std::string &r_error);

} // namespace veltrin_demo_test
