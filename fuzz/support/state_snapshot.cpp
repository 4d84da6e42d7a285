#include "state_snapshot.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/script_double.hpp>

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/node_path.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/packed_float32_array.hpp>
#include <godot_cpp/variant/packed_float64_array.hpp>
#include <godot_cpp/variant/packed_int32_array.hpp>
#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/packed_string_array.hpp>
#include <godot_cpp/variant/packed_vector2_array.hpp>
#include <godot_cpp/variant/packed_vector3_array.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector2i.hpp>
#include <godot_cpp/variant/vector3.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <deque>
#include <set>
#include <unordered_map>

using namespace godot;

namespace veltrin_fuzz {

namespace {

const int MAX_DEPTH = 48;

std::string hex_bytes(const void *p_data, size_t p_size) {
	static const char DIGITS[] = "0123456789abcdef";
	std::string text;
	const auto *bytes = static_cast<const uint8_t *>(p_data);
	for (size_t i = 0; i < p_size; i++) {
		text.push_back(DIGITS[bytes[i] >> 4]);
		text.push_back(DIGITS[bytes[i] & 15]);
	}
	return text;
}

template <typename T>
std::string bits_of(const T &p_value) {
	return hex_bytes(&p_value, sizeof(p_value));
}

// Printable ASCII as is, everything else as \u{hex}: exact for any code point.
std::string quoted(const String &p_text) {
	std::string text = "\"";
	const char32_t *chars = p_text.ptr();
	for (int64_t i = 0; i < p_text.length(); i++) {
		const char32_t c = chars[i];
		if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
			text.push_back(char(c));
		} else {
			char escape[16];
			std::snprintf(escape, sizeof(escape), "\\u{%x}", unsigned(c));
			text += escape;
		}
	}
	return text + "\"";
}

std::string number(int64_t p_value) {
	char text[32];
	std::snprintf(text, sizeof(text), "%" PRId64, p_value);
	return text;
}

class SnapshotWalker {
public:
	std::vector<std::string> lines;
	bool with_addresses = true;

	void root(const std::string &p_label, const Variant &p_value) {
		encode(p_label, p_value, 0);
		drain_objects();
	}

private:
	std::unordered_map<const void *, size_t> container_numbers;
	std::set<uint64_t> walked_objects;
	std::deque<std::pair<std::string, Object *>> pending_objects;

	void emit(const std::string &p_path, const std::string &p_text) {
		lines.push_back(p_path + " = " + p_text);
	}

	// True when the container was met before (and says so); numbers it otherwise.
	bool revisit(const std::string &p_path, const Variant &p_value, const char *p_kind, std::string &r_header) {
		const void *identity = p_value._identity();
		const auto found = container_numbers.find(identity);
		if (found != container_numbers.end()) {
			emit(p_path, std::string("same ") + p_kind + "#" + number(int64_t(found->second)));
			return true;
		}
		const size_t number_given = container_numbers.size();
		container_numbers.emplace(identity, number_given);
		r_header = std::string(p_kind) + "#" + number(int64_t(number_given));
		if (with_addresses) {
			char address[32];
			std::snprintf(address, sizeof(address), " @%p", identity);
			r_header += address;
		}
		return false;
	}

	void encode_array(const std::string &p_path, const Variant &p_value, int p_depth) {
		std::string header;
		if (revisit(p_path, p_value, "Array", header)) {
			return;
		}
		const Array array = p_value;
		if (array.is_typed()) {
			header += " typed(" + number(array.get_typed_builtin()) + "," + quoted(String(array.get_typed_class_name())) + ")";
		}
		if (array.is_read_only()) {
			header += " read-only";
		}
		header += " size " + number(array.size());
		emit(p_path, header);
		for (int64_t i = 0; i < array.size(); i++) {
			encode(p_path + "[" + number(i) + "]", array[i], p_depth + 1);
		}
	}

	void encode_dictionary(const std::string &p_path, const Variant &p_value, int p_depth) {
		std::string header;
		if (revisit(p_path, p_value, "Dictionary", header)) {
			return;
		}
		const Dictionary dictionary = p_value;
		if (dictionary.is_typed()) {
			header += " typed(" + number(dictionary.get_typed_key_builtin()) + "," + number(dictionary.get_typed_value_builtin()) + ")";
		}
		if (dictionary.is_read_only()) {
			header += " read-only";
		}
		header += " size " + number(dictionary.size());
		emit(p_path, header);
		const Array keys = dictionary.keys();
		for (int64_t i = 0; i < keys.size(); i++) {
			const std::string entry = p_path + "{" + number(i) + "}";
			encode(entry + ".key", keys[i], p_depth + 1);
			encode(entry + ".value", dictionary.get(keys[i], Variant()), p_depth + 1);
		}
	}

	void encode_object(const std::string &p_path, const Variant &p_value) {
		const uint64_t id = p_value._object_id();
		Object *live = p_value.get_validated_object();
		if (id == 0) {
			emit(p_path, "Object null");
			return;
		}
		if (live == nullptr) {
			emit(p_path, "Object #" + number(int64_t(id)) + " freed");
			return;
		}
		emit(p_path, "Object #" + number(int64_t(id)) + " " + quoted(live->get_class()));
		if (walked_objects.insert(id).second) {
			pending_objects.emplace_back("object#" + number(int64_t(id)), live);
		}
	}

	void encode_callable(const std::string &p_path, const Variant &p_value, int p_depth) {
		const Callable callable = p_value;
		std::string text = "Callable";
		if (callable.is_null()) {
			emit(p_path, text + " null");
			return;
		}
		text += callable.is_valid() ? " valid" : " invalid";
		text += " object #" + number(callable.get_object_id());
		if (callable.is_custom()) {
			emit(p_path, text + " custom hash " + number(callable.hash()));
			return;
		}
		text += " method " + quoted(String(callable.get_method()));
		// A fresh array per query: only its elements are the callable's.
		const Array bound = callable.get_bound_arguments();
		emit(p_path, text + " bound " + number(bound.size()));
		for (int64_t i = 0; i < bound.size(); i++) {
			encode(p_path + ".bound[" + number(i) + "]", bound[i], p_depth + 1);
		}
	}

	template <typename Packed>
	void encode_packed(const std::string &p_path, const char *p_kind, const Variant &p_value) {
		const Packed packed = p_value;
		emit(p_path, std::string(p_kind) + " " + number(packed.size()) + " " + hex_bytes(packed.ptr(), size_t(packed.size()) * sizeof(*packed.ptr())));
	}

	void encode(const std::string &p_path, const Variant &p_value, int p_depth) {
		if (p_depth > MAX_DEPTH) {
			emit(p_path, "too deep");
			return;
		}
		switch (p_value.get_type()) {
			case Variant::NIL:
				emit(p_path, "nil");
				return;
			case Variant::BOOL:
				emit(p_path, bool(p_value) ? "true" : "false");
				return;
			case Variant::INT:
				emit(p_path, "int " + number(int64_t(p_value)));
				return;
			case Variant::FLOAT:
				emit(p_path, "float " + bits_of(double(p_value)));
				return;
			case Variant::STRING:
				emit(p_path, "String " + quoted(String(p_value)));
				return;
			case Variant::STRING_NAME:
				emit(p_path, "StringName " + quoted(String(StringName(p_value))));
				return;
			case Variant::NODE_PATH:
				emit(p_path, "NodePath " + quoted(p_value.stringify()));
				return;
			case Variant::VECTOR2: {
				const Vector2 v = p_value;
				emit(p_path, "Vector2 " + bits_of(v.x) + " " + bits_of(v.y));
				return;
			}
			case Variant::VECTOR2I: {
				const Vector2i v = p_value;
				emit(p_path, "Vector2i " + number(v.x) + " " + number(v.y));
				return;
			}
			case Variant::VECTOR3: {
				const Vector3 v = p_value;
				emit(p_path, "Vector3 " + bits_of(v.x) + " " + bits_of(v.y) + " " + bits_of(v.z));
				return;
			}
			case Variant::VECTOR3I: {
				const Vector3i v = p_value;
				emit(p_path, "Vector3i " + number(v.x) + " " + number(v.y) + " " + number(v.z));
				return;
			}
			case Variant::OBJECT:
				encode_object(p_path, p_value);
				return;
			case Variant::CALLABLE:
				encode_callable(p_path, p_value, p_depth);
				return;
			case Variant::ARRAY:
				encode_array(p_path, p_value, p_depth);
				return;
			case Variant::DICTIONARY:
				encode_dictionary(p_path, p_value, p_depth);
				return;
			case Variant::PACKED_BYTE_ARRAY:
				encode_packed<PackedByteArray>(p_path, "PackedByteArray", p_value);
				return;
			case Variant::PACKED_INT32_ARRAY:
				encode_packed<PackedInt32Array>(p_path, "PackedInt32Array", p_value);
				return;
			case Variant::PACKED_INT64_ARRAY:
				encode_packed<PackedInt64Array>(p_path, "PackedInt64Array", p_value);
				return;
			case Variant::PACKED_FLOAT32_ARRAY:
				encode_packed<PackedFloat32Array>(p_path, "PackedFloat32Array", p_value);
				return;
			case Variant::PACKED_FLOAT64_ARRAY:
				encode_packed<PackedFloat64Array>(p_path, "PackedFloat64Array", p_value);
				return;
			case Variant::PACKED_VECTOR2_ARRAY:
				encode_packed<PackedVector2Array>(p_path, "PackedVector2Array", p_value);
				return;
			case Variant::PACKED_VECTOR3_ARRAY:
				encode_packed<PackedVector3Array>(p_path, "PackedVector3Array", p_value);
				return;
			case Variant::PACKED_STRING_ARRAY: {
				const PackedStringArray strings = p_value;
				std::string text = "PackedStringArray " + number(strings.size());
				for (int64_t i = 0; i < strings.size(); i++) {
					text += " " + quoted(strings[i]);
				}
				emit(p_path, text);
				return;
			}
			default:
				// Types the double does not store: their text is all there is.
				emit(p_path, "type " + number(int64_t(p_value.get_type())) + " " + quoted(p_value.stringify()));
				return;
		}
	}

	// Script objects contribute their members, breadth first after the value that named them.
	void drain_objects() {
		while (!pending_objects.empty()) {
			const std::pair<std::string, Object *> next = pending_objects.front();
			pending_objects.pop_front();
			const Dictionary members = engine_double::script_state_snapshot(next.second);
			const Array names = members.keys();
			for (int64_t i = 0; i < names.size(); i++) {
				const StringName member = names[i];
				encode(next.first + "." + String(member).utf8().get_data(), next.second->get(member), 1);
			}
		}
	}
};

} // namespace

StateSnapshot take_snapshot(const std::vector<SnapshotRoot> &p_roots, bool p_with_addresses) {
	const bool logging = engine_double::call_log_is_enabled();
	engine_double::call_log_set_enabled(false);
	SnapshotWalker walker;
	walker.with_addresses = p_with_addresses;
	for (const SnapshotRoot &root : p_roots) {
		walker.root(root.first, root.second);
	}
	engine_double::call_log_set_enabled(logging);
	StateSnapshot snapshot;
	snapshot.lines = std::move(walker.lines);
	return snapshot;
}

std::string snapshot_diff(const StateSnapshot &p_before, const StateSnapshot &p_after, size_t p_max_lines) {
	size_t first = 0;
	while (first < p_before.lines.size() && first < p_after.lines.size() && p_before.lines[first] == p_after.lines[first]) {
		first++;
	}
	std::string text = "snapshots differ from line " + number(int64_t(first)) + " (before " + number(int64_t(p_before.lines.size())) +
	        " lines, after " + number(int64_t(p_after.lines.size())) + ")\n";
	const size_t from = first > 2 ? first - 2 : 0;
	for (size_t i = from; i < p_before.lines.size() && i < first + p_max_lines; i++) {
		text += (i < first ? "   " : " - ") + p_before.lines[i] + "\n";
	}
	for (size_t i = first; i < p_after.lines.size() && i < first + p_max_lines; i++) {
		text += " + " + p_after.lines[i] + "\n";
	}
	return text;
}

} // namespace veltrin_fuzz
