// Number parsing and printing with the engine's exact rules.

#include <engine_double/internal/crossing.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/string.hpp>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace godot {

namespace {

const int MAX_DECIMALS = 32;

bool is_digit(char32_t p_char) {
	return p_char >= '0' && p_char <= '9';
}

// What an x86-64 float-to-int64 conversion gives: truncation, INT64_MIN when out of range.
int64_t truncate_like_hardware(double p_value) {
	if (!(p_value >= -9223372036854775808.0 && p_value < 9223372036854775808.0)) {
		return INT64_MIN;
	}
	return int64_t(p_value);
}

// The engine's decimal parser: optional blanks and sign, a mantissa with at most one point
// (only its first 18 digits count), an optional exponent; it stops at anything else.
double parse_decimal(const char32_t *p_text) {
	static const double POWERS_OF_10[] = { 10., 100., 1.0e4, 1.0e8, 1.0e16, 1.0e32, 1.0e64, 1.0e128, 1.0e256 };
	const int max_exponent = 511;

	const char32_t *cursor = p_text;
	while (*cursor == ' ' || *cursor == '\t' || *cursor == '\n') {
		cursor++;
	}
	bool negative = false;
	if (*cursor == '-') {
		negative = true;
		cursor++;
	} else if (*cursor == '+') {
		cursor++;
	}

	int mantissa_size = 0;
	int point_position = -1;
	for (;; mantissa_size++) {
		const char32_t c = cursor[mantissa_size];
		if (!is_digit(c)) {
			if (c != '.' || point_position >= 0) {
				break;
			}
			point_position = mantissa_size;
		}
	}
	const char32_t *exponent_start = cursor + mantissa_size;
	if (point_position < 0) {
		point_position = mantissa_size;
	} else {
		mantissa_size--;
	}
	int fraction_exponent;
	if (mantissa_size > 18) {
		fraction_exponent = point_position - 18;
		mantissa_size = 18;
	} else {
		fraction_exponent = point_position - mantissa_size;
	}
	if (mantissa_size == 0) {
		return negative ? -0.0 : 0.0;
	}

	int high = 0;
	int low = 0;
	const char32_t *digit = cursor;
	for (; mantissa_size > 9; mantissa_size--) {
		if (*digit == '.') {
			digit++;
		}
		high = 10 * high + int(*digit - '0');
		digit++;
	}
	for (; mantissa_size > 0; mantissa_size--) {
		if (*digit == '.') {
			digit++;
		}
		low = 10 * low + int(*digit - '0');
		digit++;
	}
	double fraction = (1.0e9 * high) + low;

	int exponent = 0;
	bool exponent_negative = false;
	const char32_t *e = exponent_start;
	if (*e == 'E' || *e == 'e') {
		e++;
		if (*e == '-') {
			exponent_negative = true;
			e++;
		} else if (*e == '+') {
			e++;
		}
		if (is_digit(*e)) {
			while (is_digit(*e)) {
				if (exponent < 100000) {
					exponent = exponent * 10 + int(*e - '0');
				}
				e++;
			}
		} else {
			// The engine then skips the scaling altogether: "1.5e" reads as 15.
			return negative ? -fraction : fraction;
		}
	}
	exponent = exponent_negative ? fraction_exponent - exponent : fraction_exponent + exponent;
	if (exponent < 0) {
		exponent_negative = true;
		exponent = -exponent;
	} else {
		exponent_negative = false;
	}
	if (exponent > max_exponent) {
		exponent = max_exponent;
		_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Exponent too high", false, true);
	}
	double scale = 1.0;
	for (const double *power = POWERS_OF_10; exponent != 0; exponent >>= 1, power++) {
		if (exponent & 1) {
			scale *= *power;
		}
	}
	fraction = exponent_negative ? fraction / scale : fraction * scale;
	return negative ? -fraction : fraction;
}

} // namespace

int64_t String::to_int() const {
	ENGINE_DOUBLE_CROSSING;
	const int64_t n = length();
	if (n == 0) {
		return 0;
	}
	const char32_t *data = ptr();
	int64_t to = 0;
	while (to < n && data[to] != '.') {
		to++;
	}
	// Digits accumulate unsigned so that INT64_MIN fits; junk is skipped, and each '-' seen
	// before the first non-zero digit flips the sign.
	uint64_t integer = 0;
	int digits = 0;
	bool positive = true;
	for (int64_t i = 0; i < to; i++) {
		const char32_t c = data[i];
		if (is_digit(c)) {
			if (digits > 18) {
				const bool overflow = (integer > uint64_t(INT64_MAX) / 10) || (integer == uint64_t(INT64_MAX) / 10 && ((positive && c > '7') || (!positive && c > '8')));
				if (overflow) {
					_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Method/function failed.", "Cannot represent " + *this + " as a 64-bit signed integer, since the value is " + (positive ? "too large." : "too small."));
					return positive ? INT64_MAX : INT64_MIN;
				}
			}
			integer = integer * 10 + uint64_t(c - '0');
			digits++;
		} else if (integer == 0 && c == '-') {
			positive = !positive;
		}
	}
	return positive ? int64_t(integer) : int64_t(integer * uint64_t(-1));
}

double String::to_float() const {
	ENGINE_DOUBLE_CROSSING;
	if (is_empty()) {
		return 0;
	}
	return parse_decimal(ptr());
}

bool String::is_valid_int() const {
	ENGINE_DOUBLE_CROSSING;
	const int64_t n = length();
	if (n == 0) {
		return false;
	}
	const char32_t *data = ptr();
	int64_t from = (data[0] == '-' || data[0] == '+') ? 1 : 0;
	if (from == n) {
		return false;
	}
	for (int64_t i = from; i < n; i++) {
		if (!is_digit(data[i])) {
			return false;
		}
	}
	return true;
}

bool String::is_valid_float() const {
	ENGINE_DOUBLE_CROSSING;
	const int64_t n = length();
	if (n == 0) {
		return false;
	}
	const char32_t *data = ptr();
	int64_t i = (data[0] == '-' || data[0] == '+') ? 1 : 0;
	bool digits = false;
	bool point = false;
	bool exponent = false;
	for (; i < n; i++) {
		const char32_t c = data[i];
		if (is_digit(c)) {
			digits = true;
		} else if (c == '.' && !point && !exponent) {
			point = true;
		} else if ((c == 'e' || c == 'E') && digits && !exponent) {
			exponent = true;
			digits = false;
			if (i + 1 < n && (data[i + 1] == '-' || data[i + 1] == '+')) {
				i++;
			}
		} else {
			return false;
		}
	}
	return digits;
}

String String::num(double p_number, int64_t p_decimals) {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	if (std::isnan(p_number)) {
		return "nan";
	}
	if (std::isinf(p_number)) {
		return std::signbit(p_number) ? "-inf" : "inf";
	}
	if (p_decimals < 0) {
		p_decimals = 14;
		const double magnitude = std::fabs(p_number);
		if (magnitude > 10) {
			p_decimals -= int64_t(std::floor(std::log10(magnitude)));
		}
	}
	if (p_decimals > MAX_DECIMALS) {
		p_decimals = MAX_DECIMALS;
	}
	char buffer[512];
	if (p_decimals < 0) {
		std::snprintf(buffer, sizeof(buffer), "%lf", p_number);
	} else {
		std::snprintf(buffer, sizeof(buffer), "%.*lf", int(p_decimals), p_number);
	}
	buffer[sizeof(buffer) - 1] = 0;
	// Trailing zeros go, and the point with them when nothing follows it.
	if (std::strchr(buffer, '.')) {
		int64_t end = int64_t(std::strlen(buffer)) - 1;
		while (end > 0) {
			if (buffer[end] == '0') {
				buffer[end] = 0;
			} else if (buffer[end] == '.') {
				buffer[end] = 0;
				break;
			} else {
				break;
			}
			end--;
		}
	}
	return String(buffer);
}

String String::num_real(double p_number, bool p_trailing) {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	if (!std::isfinite(p_number)) {
		return num(p_number);
	}
	if (p_number == double(truncate_like_hardware(p_number))) {
		const String integral = num_int64(truncate_like_hardware(p_number));
		return p_trailing ? integral + ".0" : integral;
	}
	int64_t decimals = 14;
	const double magnitude = std::fabs(p_number);
	if (magnitude > 10) {
		decimals -= int64_t(std::floor(std::log10(magnitude)));
	}
	return num(p_number, decimals);
}

String String::num_scientific(double p_number) {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	if (std::isnan(p_number)) {
		return "nan";
	}
	if (std::isinf(p_number)) {
		return std::signbit(p_number) ? "-inf" : "inf";
	}
	char buffer[256];
	std::snprintf(buffer, sizeof(buffer), "%.*g", 17, p_number);
	return String(buffer);
}

String String::num_int64(int64_t p_number, int64_t p_base, bool p_capitalize_hex) {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	if (p_base < 2 || p_base > 36) {
		_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"base < 2 || base > 36\" is true. Returning: \"\"", "Cannot convert to base " + num_uint64(uint64_t(p_base)) + ", since the value is outside the range [2, 36].");
		return String();
	}
	const bool negative = p_number < 0;
	uint64_t magnitude = negative ? uint64_t(0) - uint64_t(p_number) : uint64_t(p_number);
	String digits = num_uint64(magnitude, p_base, p_capitalize_hex);
	return negative ? "-" + digits : digits;
}

String String::num_uint64(uint64_t p_number, int64_t p_base, bool p_capitalize_hex) {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	if (p_base < 2 || p_base > 36) {
		return String();
	}
	char32_t buffer[72];
	int position = 71;
	buffer[position] = 0;
	do {
		const uint64_t digit = p_number % uint64_t(p_base);
		p_number /= uint64_t(p_base);
		buffer[--position] = digit < 10 ? char32_t('0' + digit) : char32_t((p_capitalize_hex ? 'A' : 'a') + digit - 10);
	} while (p_number);
	return String(buffer + position, 71 - position);
}

String itos(int64_t p_value) {
	return String::num_int64(p_value);
}

String uitos(uint64_t p_value) {
	return String::num_uint64(p_value);
}

String rtos(double p_value) {
	return String::num(p_value);
}

} // namespace godot
