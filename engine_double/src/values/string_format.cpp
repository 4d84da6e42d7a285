// String % values: the engine's printf-style formatting. On a bad format the result is the
// engine's error text, as evaluating the operator gives.

#include <engine_double/internal/crossing.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cmath>

namespace godot {

namespace {

String pad(const String &p_text, int64_t p_width, bool p_left_justify, char32_t p_fill) {
	if (p_text.length() >= p_width) {
		return p_text;
	}
	const String padding = String::chr(p_fill).repeat(p_width - p_text.length());
	if (p_left_justify) {
		return p_text + String(" ").repeat(p_width - p_text.length());
	}
	if (p_fill == '0' && (p_text.begins_with("-") || p_text.begins_with("+"))) {
		return p_text.substr(0, 1) + padding + p_text.substr(1);
	}
	return padding + p_text;
}

} // namespace

String String::operator%(const Variant &p_values) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	Array values;
	if (p_values.get_type() == Variant::ARRAY) {
		values = p_values;
	} else {
		values.push_back(p_values);
	}
	String result;
	int64_t next_value = 0;
	const char32_t *format = ptr();
	const int64_t n = length();
	for (int64_t i = 0; i < n; i++) {
		if (format[i] != '%') {
			result += format[i];
			continue;
		}
		i++;
		if (i >= n) {
			return "incomplete format";
		}
		if (format[i] == '%') {
			result += '%';
			continue;
		}
		bool left_justify = false;
		bool plus = false;
		char32_t fill = ' ';
		while (i < n && (format[i] == '-' || format[i] == '+' || format[i] == '0')) {
			left_justify |= format[i] == '-';
			plus |= format[i] == '+';
			if (format[i] == '0') {
				fill = '0';
			}
			i++;
		}
		int64_t width = 0;
		while (i < n && format[i] >= '0' && format[i] <= '9') {
			width = width * 10 + (format[i] - '0');
			i++;
		}
		int64_t precision = -1;
		if (i < n && format[i] == '.') {
			precision = 0;
			i++;
			while (i < n && format[i] >= '0' && format[i] <= '9') {
				precision = precision * 10 + (format[i] - '0');
				i++;
			}
		}
		if (i >= n) {
			return "incomplete format";
		}
		const char32_t conversion = format[i];
		if (next_value >= values.size()) {
			return "not enough arguments for format string";
		}
		const Variant value = values[next_value++];
		String piece;
		switch (conversion) {
			case 'd':
			case 'i':
			case 'x':
			case 'X':
			case 'o': {
				if (value.get_type() != Variant::INT && value.get_type() != Variant::FLOAT) {
					return "a number is required";
				}
				const int64_t number = value;
				const int64_t base = conversion == 'o' ? 8 : ((conversion == 'x' || conversion == 'X') ? 16 : 10);
				piece = num_int64(number, base, conversion == 'X');
				if (plus && number >= 0) {
					piece = "+" + piece;
				}
			} break;
			case 'f': {
				if (value.get_type() != Variant::INT && value.get_type() != Variant::FLOAT) {
					return "a number is required";
				}
				const double number = value;
				char buffer[512];
				std::snprintf(buffer, sizeof(buffer), "%.*f", int(precision < 0 ? 6 : (precision > 100 ? 100 : precision)), number);
				piece = String(buffer);
				if (plus && number >= 0) {
					piece = "+" + piece;
				}
			} break;
			case 's':
				piece = value.stringify();
				break;
			case 'c':
				if (value.get_type() == Variant::INT) {
					piece = chr(int64_t(value));
				} else if (value.get_type() == Variant::STRING && String(value).length() == 1) {
					piece = value;
				} else {
					return "%c requires number or single-character string";
				}
				break;
			case 'v':
				piece = value.stringify();
				break;
			default:
				return "unsupported format character";
		}
		result += pad(piece, width, left_justify, conversion == 's' || conversion == 'c' ? ' ' : fill);
	}
	if (next_value < values.size()) {
		return "not all arguments converted during string formatting";
	}
	return result;
}

} // namespace godot
