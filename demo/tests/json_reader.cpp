#include "json_reader.hpp"

#include <cstdlib>

namespace veltrin_demo_test {

namespace {

class Reader {
	const std::string &text;
	size_t at = 0;

	void skip_space() {
		while (at < text.size() && (text[at] == ' ' || text[at] == '\n' || text[at] == '\t' || text[at] == '\r')) {
			at++;
		}
	}
	bool take(char p_expected) {
		skip_space();
		if (at < text.size() && text[at] == p_expected) {
			at++;
			return true;
		}
		return false;
	}
	bool take_word(const char *p_word) {
		const std::string word(p_word);
		if (text.compare(at, word.size(), word) != 0) {
			return false;
		}
		at += word.size();
		return true;
	}
	bool read_string(std::string &r_out) {
		if (!take('"')) {
			return false;
		}
		while (at < text.size() && text[at] != '"') {
			char c = text[at++];
			if (static_cast<unsigned char>(c) < 0x20) {
				return false;
			}
			if (c == '\\') {
				if (at >= text.size()) {
					return false;
				}
				const char escaped = text[at++];
				switch (escaped) {
					case '"':
					case '\\':
					case '/':
						c = escaped;
						break;
					case 'n':
						c = '\n';
						break;
					case 't':
						c = '\t';
						break;
					case 'u': {
						if (at + 4 > text.size()) {
							return false;
						}
						const std::string hex = text.substr(at, 4);
						if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
							return false;
						}
						at += 4;
						// Only the control characters the demo escapes are expected here.
						c = static_cast<char>(std::strtol(hex.c_str(), nullptr, 16) & 0x7f);
						break;
					}
					default:
						return false;
				}
			}
			r_out.push_back(c);
		}
		return at++ < text.size();
	}
	bool read_number(JsonValue &r_value) {
		const size_t begin = at;
		if (at < text.size() && text[at] == '-') {
			at++;
		}
		const size_t digits = at;
		while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
			at++;
		}
		if (at == digits) {
			return false;
		}
		if (at < text.size() && text[at] == '.') {
			at++;
			const size_t fraction = at;
			while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
				at++;
			}
			if (at == fraction) {
				return false;
			}
		}
		r_value.kind = JsonValue::Kind::NUMBER;
		r_value.text = text.substr(begin, at - begin);
		r_value.number = std::strtod(r_value.text.c_str(), nullptr);
		return true;
	}

public:
	explicit Reader(const std::string &p_text) :
	        text(p_text) {}
	size_t offset() const { return at; }

	bool read_value(JsonValue &r_value, int p_depth = 0) {
		if (p_depth > 64) {
			return false;
		}
		skip_space();
		if (at >= text.size()) {
			return false;
		}
		const char c = text[at];
		if (c == '{') {
			at++;
			r_value.kind = JsonValue::Kind::OBJECT;
			if (take('}')) {
				return true;
			}
			do {
				std::pair<std::string, JsonValue> member;
				if (!read_string(member.first) || !take(':') || !read_value(member.second, p_depth + 1)) {
					return false;
				}
				r_value.members.push_back(std::move(member));
			} while (take(','));
			return take('}');
		}
		if (c == '[') {
			at++;
			r_value.kind = JsonValue::Kind::ARRAY;
			if (take(']')) {
				return true;
			}
			do {
				JsonValue item;
				if (!read_value(item, p_depth + 1)) {
					return false;
				}
				r_value.items.push_back(std::move(item));
			} while (take(','));
			return take(']');
		}
		if (c == '"') {
			r_value.kind = JsonValue::Kind::STRING;
			return read_string(r_value.text);
		}
		if (take_word("true") || take_word("false")) {
			r_value.kind = JsonValue::Kind::BOOLEAN;
			r_value.boolean = text[at - 1] == 'e' && text.compare(at - 4, 4, "true") == 0;
			return true;
		}
		if (take_word("null")) {
			r_value.kind = JsonValue::Kind::NUL;
			return true;
		}
		return read_number(r_value);
	}
	bool at_end() {
		skip_space();
		return at == text.size();
	}
};

} // namespace

const JsonValue &JsonValue::operator[](const std::string &p_key) const {
	static const JsonValue absent;
	for (const auto &member : members) {
		if (member.first == p_key) {
			return member.second;
		}
	}
	return absent;
}

bool JsonValue::has(const std::string &p_key) const {
	for (const auto &member : members) {
		if (member.first == p_key) {
			return true;
		}
	}
	return false;
}

bool read_json(const std::string &p_text, JsonValue &r_value, std::string &r_error) {
	Reader reader(p_text);
	r_value = JsonValue();
	if (!reader.read_value(r_value) || !reader.at_end()) {
		r_error = "malformed JSON near offset " + std::to_string(reader.offset());
		return false;
	}
	return true;
}

} // namespace veltrin_demo_test
