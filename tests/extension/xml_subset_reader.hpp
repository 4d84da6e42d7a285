#pragma once

// A strict reader for the XML that Godot's class reference files use: an optional prolog,
// comments, elements with quoted attributes, text and the five predefined entities. Anything
// outside that subset (DOCTYPE, CDATA, character references, text outside the root, a tag left
// open) is an error, so a damaged file fails to read instead of reading as less.

#include <string>
#include <utility>
#include <vector>

struct XmlElement {
	std::string name;
	std::vector<std::pair<std::string, std::string>> attributes; // in document order
	std::vector<XmlElement> children;
	std::string text; // all text directly inside this element, entities decoded

	// nullptr when the attribute is absent.
	const std::string *attribute(const std::string &p_name) const;
};

// On failure r_error says what and where (byte offset); r_root is then unspecified.
bool read_xml(const std::string &p_source, XmlElement &r_root, std::string &r_error);
