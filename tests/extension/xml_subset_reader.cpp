#include "xml_subset_reader.hpp"

#include <cstring>

namespace {

// Deep enough for any class reference; bounds the recursion on hostile input.
constexpr int MAX_DEPTH = 32;

bool is_space(char p_c) {
	return p_c == ' ' || p_c == '\t' || p_c == '\n' || p_c == '\r';
}

bool is_name_start(char p_c) {
	return (p_c >= 'a' && p_c <= 'z') || (p_c >= 'A' && p_c <= 'Z') || p_c == '_';
}

bool is_name_char(char p_c) {
	return is_name_start(p_c) || (p_c >= '0' && p_c <= '9') || p_c == '-' || p_c == '.' || p_c == ':';
}

class Reader {
	const std::string &source;
	size_t pos = 0;
	std::string error;

	bool fail(const std::string &p_what) {
		if (error.empty()) {
			error = p_what + " at byte " + std::to_string(pos);
		}
		return false;
	}

	bool at(const char *p_text) const {
		return source.compare(pos, std::strlen(p_text), p_text) == 0;
	}

	void skip_spaces() {
		while (pos < source.size() && is_space(source[pos])) {
			pos++;
		}
	}

	bool read_name(std::string &r_name) {
		if (pos >= source.size() || !is_name_start(source[pos])) {
			return fail("expected a name");
		}
		const size_t start = pos;
		while (pos < source.size() && is_name_char(source[pos])) {
			pos++;
		}
		r_name = source.substr(start, pos - start);
		return true;
	}

	// Text up to p_end (exclusive), with entities decoded; a raw '<' is never allowed.
	bool decode(size_t p_end, std::string &r_text) {
		while (pos < p_end) {
			const char c = source[pos];
			if (c == '<') {
				return fail("'<' inside a value");
			}
			if (c != '&') {
				r_text += c;
				pos++;
				continue;
			}
			static const std::pair<const char *, char> entities[] = { { "&lt;", '<' }, { "&gt;", '>' }, { "&amp;", '&' }, { "&quot;", '"' }, { "&apos;", '\'' } };
			bool known = false;
			for (const auto &entity : entities) {
				const size_t length = std::strlen(entity.first);
				if (pos + length <= p_end && at(entity.first)) {
					r_text += entity.second;
					pos += length;
					known = true;
					break;
				}
			}
			if (!known) {
				return fail("unknown entity");
			}
		}
		return true;
	}

	bool skip_comment() {
		const size_t end = source.find("-->", pos + 4);
		if (end == std::string::npos) {
			return fail("comment left open");
		}
		pos = end + 3;
		return true;
	}

	// Whitespace and comments between the prolog, the root and the end.
	bool skip_misc() {
		for (;;) {
			skip_spaces();
			if (!at("<!--")) {
				return true;
			}
			if (!skip_comment()) {
				return false;
			}
		}
	}

	bool read_attributes(XmlElement &r_element, bool &r_empty) {
		for (;;) {
			const size_t before = pos;
			skip_spaces();
			if (pos >= source.size()) {
				return fail("tag left open");
			}
			if (at("/>")) {
				pos += 2;
				r_empty = true;
				return true;
			}
			if (source[pos] == '>') {
				pos++;
				r_empty = false;
				return true;
			}
			if (pos == before) {
				return fail("attributes must be separated by whitespace");
			}
			std::string name;
			if (!read_name(name)) {
				return false;
			}
			if (r_element.attribute(name) != nullptr) {
				return fail("duplicate attribute '" + name + "'");
			}
			skip_spaces();
			if (pos >= source.size() || source[pos] != '=') {
				return fail("expected '=' after attribute '" + name + "'");
			}
			pos++;
			skip_spaces();
			if (pos >= source.size() || (source[pos] != '"' && source[pos] != '\'')) {
				return fail("attribute '" + name + "' is not quoted");
			}
			const char quote = source[pos++];
			const size_t end = source.find(quote, pos);
			if (end == std::string::npos) {
				return fail("attribute '" + name + "' left open");
			}
			std::string value;
			if (!decode(end, value)) {
				return false;
			}
			pos = end + 1;
			r_element.attributes.emplace_back(name, value);
		}
	}

	bool read_element(XmlElement &r_element, int p_depth) {
		if (p_depth > MAX_DEPTH) {
			return fail("elements nested too deeply");
		}
		if (pos >= source.size() || source[pos] != '<') {
			return fail("expected an element");
		}
		pos++;
		if (!read_name(r_element.name)) {
			return false;
		}
		bool empty = false;
		if (!read_attributes(r_element, empty)) {
			return false;
		}
		if (empty) {
			return true;
		}
		for (;;) {
			if (pos >= source.size()) {
				return fail("element '" + r_element.name + "' left open");
			}
			if (at("</")) {
				pos += 2;
				std::string name;
				if (!read_name(name)) {
					return false;
				}
				if (name != r_element.name) {
					return fail("'" + r_element.name + "' closed by '" + name + "'");
				}
				skip_spaces();
				if (pos >= source.size() || source[pos] != '>') {
					return fail("closing tag left open");
				}
				pos++;
				return true;
			}
			if (at("<!--")) {
				if (!skip_comment()) {
					return false;
				}
				continue;
			}
			if (at("<!") || at("<?")) {
				return fail("markup outside the supported subset");
			}
			if (source[pos] == '<') {
				r_element.children.emplace_back();
				if (!read_element(r_element.children.back(), p_depth + 1)) {
					return false;
				}
				continue;
			}
			size_t end = source.find('<', pos);
			if (end == std::string::npos) {
				end = source.size();
			}
			if (!decode(end, r_element.text)) {
				return false;
			}
		}
	}

public:
	explicit Reader(const std::string &p_source) :
	        source(p_source) {}

	bool read_document(XmlElement &r_root) {
		if (at("<?xml")) {
			const size_t end = source.find("?>", pos);
			if (end == std::string::npos) {
				return fail("prolog left open");
			}
			pos = end + 2;
		}
		if (!skip_misc()) {
			return false;
		}
		if (at("<!") || at("<?")) {
			return fail("markup outside the supported subset");
		}
		if (!read_element(r_root, 0)) {
			return false;
		}
		if (!skip_misc()) {
			return false;
		}
		if (pos != source.size()) {
			return fail("content after the root element");
		}
		return true;
	}

	const std::string &message() const {
		return error;
	}
};

} // namespace

const std::string *XmlElement::attribute(const std::string &p_name) const {
	for (const auto &entry : attributes) {
		if (entry.first == p_name) {
			return &entry.second;
		}
	}
	return nullptr;
}

bool read_xml(const std::string &p_source, XmlElement &r_root, std::string &r_error) {
	Reader reader(p_source);
	r_root = XmlElement();
	if (reader.read_document(r_root)) {
		r_error.clear();
		return true;
	}
	r_error = reader.message();
	return false;
}
