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

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <deque>
#include <unordered_map>
#include <unordered_set>

using namespace godot;

namespace veltrin_fuzz {

namespace {

const int MAX_DEPTH = 48;

// Record kinds. Each record is [depth][kind][payload]; integers are stored in host order
// (a snapshot is only ever compared within one process).
enum Kind : uint8_t {
	K_ROOT, // label
	K_MEMBER, // object id, member name; the value follows one level deeper
	K_NIL,
	K_TRUE,
	K_FALSE,
	K_INT,
	K_FLOAT,
	K_STRING,
	K_STRING_NAME,
	K_NODE_PATH,
	K_VECTOR2,
	K_VECTOR2I,
	K_VECTOR3,
	K_VECTOR3I,
	K_OBJECT_NULL,
	K_OBJECT_FREED, // id
	K_OBJECT, // id, class
	K_CALLABLE_NULL,
	K_CALLABLE_CUSTOM, // valid, object id, hash
	K_CALLABLE, // valid, object id, method, bound count; the bound values follow
	K_SAME_ARRAY, // number
	K_SAME_DICTIONARY, // number
	K_ARRAY, // number, address, typed builtin, class, read-only, size; the elements follow
	K_DICTIONARY, // number, address, key type, value type, read-only, size; key, value, ...
	K_PACKED, // type, element count, byte count, bytes
	K_PACKED_STRINGS, // count, strings
	K_TOO_DEEP,
	K_OTHER, // type, text
};

class SnapshotWalker {
public:
	std::string out;
	bool with_addresses = true;
	const std::vector<StringName> *skipped_members = nullptr;
	std::vector<Variant> skipped_held;

	// A skipped member's container and every container inside it: the call may write into
	// any of them (a memo's rows live a level down), and another root may hold one of them.
	void skip_container(const Variant &p_container, int p_depth = 0) {
		const Variant::Type type = p_container.get_type();
		if (p_depth > MAX_DEPTH || (type != Variant::ARRAY && type != Variant::DICTIONARY)) {
			return;
		}
		if (!skipped_containers.insert(p_container._identity()).second) {
			return;
		}
		skipped_held.push_back(p_container);
		if (type == Variant::ARRAY) {
			const Array array = p_container;
			for (int64_t i = 0; i < array.size(); i++) {
				skip_container(array[i], p_depth + 1);
			}
			return;
		}
		const Dictionary dictionary = p_container;
		const Array keys = dictionary.keys();
		const Array values = dictionary.values();
		for (int64_t i = 0; i < keys.size(); i++) {
			skip_container(keys[i], p_depth + 1);
			skip_container(values[i], p_depth + 1);
		}
	}

	void root(const std::string &p_label, const Variant &p_value) {
		record(0, K_ROOT);
		put_text(p_label);
		encode(p_value, 1);
		drain_objects();
	}

private:
	std::unordered_map<const void *, uint32_t> container_numbers;
	// Containers a skipped member holds: left out wherever they appear (another member may
	// share one).
	std::unordered_set<const void *> skipped_containers;
	std::vector<uint64_t> walked_objects;
	std::deque<Object *> pending_objects;

	template <typename T>
	void put(const T &p_value) {
		out.append(reinterpret_cast<const char *>(&p_value), sizeof(p_value));
	}
	void record(int p_depth, Kind p_kind) {
		out.push_back(char(uint8_t(p_depth)));
		out.push_back(char(p_kind));
	}
	void put_text(const std::string &p_text) {
		put(uint32_t(p_text.size()));
		out.append(p_text);
	}
	void put_string(const String &p_text) {
		const int64_t length = p_text.length();
		put(uint32_t(length));
		out.append(reinterpret_cast<const char *>(p_text.ptr()), size_t(length) * sizeof(char32_t));
	}

	// True when the container was met before (and says so); numbers it otherwise.
	bool revisit(const Variant &p_value, int p_depth, Kind p_same, Kind p_first) {
		const void *identity = p_value._identity();
		const auto found = container_numbers.find(identity);
		if (found != container_numbers.end()) {
			record(p_depth, p_same);
			put(found->second);
			return true;
		}
		const uint32_t number_given = uint32_t(container_numbers.size());
		container_numbers.emplace(identity, number_given);
		record(p_depth, p_first);
		put(number_given);
		put(uint64_t(with_addresses ? reinterpret_cast<uintptr_t>(identity) : 0));
		return false;
	}

	void encode_array(const Variant &p_value, int p_depth) {
		if (skipped_containers.count(p_value._identity()) != 0) {
			record(p_depth, K_NIL);
			return;
		}
		if (revisit(p_value, p_depth, K_SAME_ARRAY, K_ARRAY)) {
			return;
		}
		const Array array = p_value;
		const bool typed = array.is_typed();
		put(int32_t(typed ? array.get_typed_builtin() : -1));
		put_string(typed ? String(array.get_typed_class_name()) : String());
		put(uint8_t(array.is_read_only()));
		const int64_t size = array.size();
		put(uint64_t(size));
		for (int64_t i = 0; i < size; i++) {
			encode(array[i], p_depth + 1);
		}
	}

	void encode_dictionary(const Variant &p_value, int p_depth) {
		if (skipped_containers.count(p_value._identity()) != 0) {
			record(p_depth, K_NIL);
			return;
		}
		if (revisit(p_value, p_depth, K_SAME_DICTIONARY, K_DICTIONARY)) {
			return;
		}
		const Dictionary dictionary = p_value;
		const bool typed = dictionary.is_typed();
		put(int32_t(typed ? dictionary.get_typed_key_builtin() : -1));
		put(int32_t(typed ? dictionary.get_typed_value_builtin() : -1));
		put(uint8_t(dictionary.is_read_only()));
		put(uint64_t(dictionary.size()));
		const Array keys = dictionary.keys();
		const Array values = dictionary.values();
		for (int64_t i = 0; i < keys.size(); i++) {
			encode(keys[i], p_depth + 1);
			encode(values[i], p_depth + 1);
		}
	}

	void walk_later(uint64_t p_id, Object *p_live) {
		for (uint64_t walked : walked_objects) {
			if (walked == p_id) {
				return;
			}
		}
		walked_objects.push_back(p_id);
		pending_objects.push_back(p_live);
	}

	void encode_object(const Variant &p_value, int p_depth) {
		const uint64_t id = p_value._object_id();
		Object *live = p_value.get_validated_object();
		if (id == 0) {
			record(p_depth, K_OBJECT_NULL);
			return;
		}
		if (live == nullptr) {
			record(p_depth, K_OBJECT_FREED);
			put(id);
			return;
		}
		record(p_depth, K_OBJECT);
		put(id);
		put_string(live->get_class());
		walk_later(id, live);
	}

	void encode_callable(const Variant &p_value, int p_depth) {
		const Callable callable = p_value;
		if (callable.is_null()) {
			record(p_depth, K_CALLABLE_NULL);
			return;
		}
		const bool custom = callable.is_custom();
		record(p_depth, custom ? K_CALLABLE_CUSTOM : K_CALLABLE);
		put(uint8_t(callable.is_valid()));
		const int64_t id = callable.get_object_id();
		put(id);
		// The callee can reach its object: walk it like any referenced object.
		Object *target = callable.get_object(); // Looked up by id: null once freed.
		if (target != nullptr) {
			walk_later(uint64_t(id), target);
		}
		if (custom) {
			put(int64_t(callable.hash()));
			return;
		}
		put_string(String(callable.get_method()));
		// A fresh array per query: only its elements are the callable's.
		const Array bound = callable.get_bound_arguments();
		put(uint64_t(bound.size()));
		for (int64_t i = 0; i < bound.size(); i++) {
			encode(bound[i], p_depth + 1);
		}
	}

	template <typename Packed>
	void encode_packed(const Variant &p_value, int p_depth) {
		const Packed packed = p_value;
		record(p_depth, K_PACKED);
		put(uint8_t(p_value.get_type()));
		const size_t bytes = size_t(packed.size()) * sizeof(*packed.ptr());
		put(uint64_t(packed.size()));
		put(uint64_t(bytes));
		if (bytes != 0) {
			out.append(reinterpret_cast<const char *>(packed.ptr()), bytes);
		}
	}

	void encode(const Variant &p_value, int p_depth) {
		if (p_depth > MAX_DEPTH) {
			record(p_depth, K_TOO_DEEP);
			return;
		}
		switch (p_value.get_type()) {
			case Variant::NIL:
				record(p_depth, K_NIL);
				return;
			case Variant::BOOL:
				record(p_depth, bool(p_value) ? K_TRUE : K_FALSE);
				return;
			case Variant::INT:
				record(p_depth, K_INT);
				put(int64_t(p_value));
				return;
			case Variant::FLOAT:
				record(p_depth, K_FLOAT);
				put(double(p_value));
				return;
			case Variant::STRING:
				record(p_depth, K_STRING);
				put_string(String(p_value));
				return;
			case Variant::STRING_NAME:
				record(p_depth, K_STRING_NAME);
				put_string(String(StringName(p_value)));
				return;
			case Variant::NODE_PATH:
				record(p_depth, K_NODE_PATH);
				put_string(p_value.stringify());
				return;
			case Variant::VECTOR2: {
				const Vector2 v = p_value;
				record(p_depth, K_VECTOR2);
				put(v.x);
				put(v.y);
				return;
			}
			case Variant::VECTOR2I: {
				const Vector2i v = p_value;
				record(p_depth, K_VECTOR2I);
				put(int32_t(v.x));
				put(int32_t(v.y));
				return;
			}
			case Variant::VECTOR3: {
				const Vector3 v = p_value;
				record(p_depth, K_VECTOR3);
				put(v.x);
				put(v.y);
				put(v.z);
				return;
			}
			case Variant::VECTOR3I: {
				const Vector3i v = p_value;
				record(p_depth, K_VECTOR3I);
				put(int32_t(v.x));
				put(int32_t(v.y));
				put(int32_t(v.z));
				return;
			}
			case Variant::OBJECT:
				encode_object(p_value, p_depth);
				return;
			case Variant::CALLABLE:
				encode_callable(p_value, p_depth);
				return;
			case Variant::ARRAY:
				encode_array(p_value, p_depth);
				return;
			case Variant::DICTIONARY:
				encode_dictionary(p_value, p_depth);
				return;
			case Variant::PACKED_BYTE_ARRAY:
				encode_packed<PackedByteArray>(p_value, p_depth);
				return;
			case Variant::PACKED_INT32_ARRAY:
				encode_packed<PackedInt32Array>(p_value, p_depth);
				return;
			case Variant::PACKED_INT64_ARRAY:
				encode_packed<PackedInt64Array>(p_value, p_depth);
				return;
			case Variant::PACKED_FLOAT32_ARRAY:
				encode_packed<PackedFloat32Array>(p_value, p_depth);
				return;
			case Variant::PACKED_FLOAT64_ARRAY:
				encode_packed<PackedFloat64Array>(p_value, p_depth);
				return;
			case Variant::PACKED_VECTOR2_ARRAY:
				encode_packed<PackedVector2Array>(p_value, p_depth);
				return;
			case Variant::PACKED_VECTOR3_ARRAY:
				encode_packed<PackedVector3Array>(p_value, p_depth);
				return;
			case Variant::PACKED_STRING_ARRAY: {
				const PackedStringArray strings = p_value;
				record(p_depth, K_PACKED_STRINGS);
				put(uint64_t(strings.size()));
				for (int64_t i = 0; i < strings.size(); i++) {
					put_string(strings[i]);
				}
				return;
			}
			default:
				// Types the double does not store: their text is all there is.
				record(p_depth, K_OTHER);
				put(uint32_t(p_value.get_type()));
				put_string(p_value.stringify());
				return;
		}
	}

	// Script objects contribute their members, breadth first after the value that named them.
	void drain_objects() {
		while (!pending_objects.empty()) {
			Object *next = pending_objects.front();
			pending_objects.pop_front();
			const std::vector<StringName> names = engine_double::script_member_names(next);
			for (size_t i = 0; skipped_members != nullptr && i < names.size(); i++) {
				const StringName &member = names[i];
				const Variant value = next->get(member);
				const Variant::Type type = value.get_type();
				if ((type == Variant::ARRAY || type == Variant::DICTIONARY) && std::find(skipped_members->begin(), skipped_members->end(), member) != skipped_members->end()) {
					skip_container(value);
				}
			}
			for (const StringName &member : names) {
				record(0, K_MEMBER);
				put(uint64_t(next->get_instance_id()));
				put_string(String(member));
				if (skipped_members != nullptr && std::find(skipped_members->begin(), skipped_members->end(), member) != skipped_members->end()) {
					record(1, K_NIL);
					continue;
				}
				encode(next->get(member), 1);
			}
		}
	}
};

// Reads records back as text, for failure messages only.
class SnapshotReader {
public:
	explicit SnapshotReader(const std::string &p_bytes) :
	        bytes(p_bytes) {}

	std::vector<std::string> lines() {
		std::vector<std::string> text;
		while (at + 2 <= bytes.size()) {
			const int depth = uint8_t(bytes[at]);
			const Kind kind = Kind(uint8_t(bytes[at + 1]));
			at += 2;
			text.push_back(std::string(size_t(depth) * 2, ' ') + describe(kind));
		}
		return text;
	}

private:
	const std::string &bytes;
	size_t at = 0;

	template <typename T>
	T get() {
		T value {};
		if (at + sizeof(T) <= bytes.size()) {
			std::memcpy(&value, bytes.data() + at, sizeof(T));
		}
		at += sizeof(T);
		return value;
	}
	std::string get_text() {
		const uint32_t length = get<uint32_t>();
		const std::string text = at < bytes.size() ? bytes.substr(at, length) : std::string();
		at += length;
		return text;
	}
	// Printable ASCII as is, everything else as \u{hex}: exact for any code point.
	std::string get_string() {
		const uint32_t length = get<uint32_t>();
		std::string text = "\"";
		for (uint32_t i = 0; i < length; i++) {
			const char32_t c = get<char32_t>();
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
	static std::string number(int64_t p_value) {
		char text[32];
		std::snprintf(text, sizeof(text), "%" PRId64, p_value);
		return text;
	}
	std::string hex(size_t p_count) {
		static const char DIGITS[] = "0123456789abcdef";
		std::string text;
		for (size_t i = 0; i < p_count && at < bytes.size(); i++, at++) {
			text.push_back(DIGITS[uint8_t(bytes[at]) >> 4]);
			text.push_back(DIGITS[uint8_t(bytes[at]) & 15]);
		}
		return text;
	}
	std::string container(const char *p_kind) {
		const uint32_t number_given = get<uint32_t>();
		const uint64_t address = get<uint64_t>();
		char text[64];
		std::snprintf(text, sizeof(text), "%s#%u @0x%" PRIx64, p_kind, number_given, address);
		return text;
	}

	std::string describe(Kind p_kind) {
		switch (p_kind) {
			case K_ROOT:
				return "root " + get_text();
			case K_MEMBER: {
				const uint64_t id = get<uint64_t>();
				return "object#" + number(int64_t(id)) + "." + get_string();
			}
			case K_NIL:
				return "nil";
			case K_TRUE:
				return "true";
			case K_FALSE:
				return "false";
			case K_INT:
				return "int " + number(get<int64_t>());
			case K_FLOAT:
				return "float " + hex(8);
			case K_STRING:
				return "String " + get_string();
			case K_STRING_NAME:
				return "StringName " + get_string();
			case K_NODE_PATH:
				return "NodePath " + get_string();
			case K_VECTOR2:
				return "Vector2 " + hex(2 * sizeof(real_t));
			case K_VECTOR2I: {
				const int32_t x = get<int32_t>();
				return "Vector2i " + number(x) + " " + number(get<int32_t>());
			}
			case K_VECTOR3:
				return "Vector3 " + hex(3 * sizeof(real_t));
			case K_VECTOR3I: {
				const int32_t x = get<int32_t>();
				const int32_t y = get<int32_t>();
				return "Vector3i " + number(x) + " " + number(y) + " " + number(get<int32_t>());
			}
			case K_OBJECT_NULL:
				return "Object null";
			case K_OBJECT_FREED:
				return "Object #" + number(int64_t(get<uint64_t>())) + " freed";
			case K_OBJECT: {
				const uint64_t id = get<uint64_t>();
				return "Object #" + number(int64_t(id)) + " " + get_string();
			}
			case K_CALLABLE_NULL:
				return "Callable null";
			case K_CALLABLE_CUSTOM: {
				const bool valid = get<uint8_t>() != 0;
				const int64_t id = get<int64_t>();
				return std::string("Callable custom ") + (valid ? "valid" : "invalid") + " object #" + number(id) + " hash " + number(get<int64_t>());
			}
			case K_CALLABLE: {
				const bool valid = get<uint8_t>() != 0;
				const int64_t id = get<int64_t>();
				const std::string method = get_string();
				return std::string("Callable ") + (valid ? "valid" : "invalid") + " object #" + number(id) + " method " + method + " bound " + number(int64_t(get<uint64_t>()));
			}
			case K_SAME_ARRAY:
				return "same Array#" + number(get<uint32_t>());
			case K_SAME_DICTIONARY:
				return "same Dictionary#" + number(get<uint32_t>());
			case K_ARRAY: {
				std::string text = container("Array");
				const int32_t typed = get<int32_t>();
				const std::string class_name = get_string();
				if (typed >= 0) {
					text += " typed(" + number(typed) + "," + class_name + ")";
				}
				if (get<uint8_t>() != 0) {
					text += " read-only";
				}
				return text + " size " + number(int64_t(get<uint64_t>()));
			}
			case K_DICTIONARY: {
				std::string text = container("Dictionary");
				const int32_t key_type = get<int32_t>();
				const int32_t value_type = get<int32_t>();
				if (key_type >= 0) {
					text += " typed(" + number(key_type) + "," + number(value_type) + ")";
				}
				if (get<uint8_t>() != 0) {
					text += " read-only";
				}
				return text + " size " + number(int64_t(get<uint64_t>())) + " (key, value, ...)";
			}
			case K_PACKED: {
				const int type = get<uint8_t>();
				const uint64_t count = get<uint64_t>();
				const uint64_t byte_count = get<uint64_t>();
				return "Packed(type " + number(type) + ") " + number(int64_t(count)) + " " + hex(size_t(byte_count));
			}
			case K_PACKED_STRINGS: {
				const uint64_t count = get<uint64_t>();
				std::string text = "PackedStringArray " + number(int64_t(count));
				for (uint64_t i = 0; i < count && at < bytes.size(); i++) {
					text += " " + get_string();
				}
				return text;
			}
			case K_TOO_DEEP:
				return "too deep";
			case K_OTHER: {
				const uint32_t type = get<uint32_t>();
				return "type " + number(type) + " " + get_string();
			}
		}
		at = bytes.size();
		return "unreadable record";
	}
};

} // namespace

namespace {

StateSnapshot walk_snapshot(const std::vector<SnapshotRoot> &p_roots, bool p_with_addresses, const std::vector<StringName> *p_skipped_members, const StateSnapshot *p_earlier) {
	const bool logging = engine_double::call_log_is_enabled();
	engine_double::call_log_set_enabled(false);
	SnapshotWalker walker;
	walker.with_addresses = p_with_addresses;
	walker.skipped_members = p_skipped_members;
	if (p_earlier != nullptr) {
		for (const Variant &container : p_earlier->skipped_containers) {
			walker.skip_container(container);
		}
	}
	walker.out.reserve(1024);
	for (const SnapshotRoot &root : p_roots) {
		walker.root(root.first, root.second);
	}
	engine_double::call_log_set_enabled(logging);
	StateSnapshot snapshot;
	snapshot.bytes = std::move(walker.out);
	snapshot.skipped_containers = std::move(walker.skipped_held);
	return snapshot;
}

} // namespace

StateSnapshot take_snapshot(const std::vector<SnapshotRoot> &p_roots, bool p_with_addresses, const std::vector<StringName> *p_skipped_members, const StateSnapshot *p_earlier) {
	if (p_skipped_members == nullptr) {
		return walk_snapshot(p_roots, p_with_addresses, nullptr, p_earlier);
	}
	// A skipped member's container is found when its object's members are walked, after the
	// roots, which may hold the same container too: a first walk finds every one, so that a
	// container is skipped wherever it is reached, whichever way the walk came to it first.
	const StateSnapshot found = walk_snapshot(p_roots, p_with_addresses, p_skipped_members, p_earlier);
	return walk_snapshot(p_roots, p_with_addresses, p_skipped_members, &found);
}

std::vector<std::string> snapshot_lines(const StateSnapshot &p_snapshot) {
	return SnapshotReader(p_snapshot.bytes).lines();
}

std::string snapshot_diff(const StateSnapshot &p_before, const StateSnapshot &p_after, size_t p_max_lines) {
	const std::vector<std::string> before = snapshot_lines(p_before);
	const std::vector<std::string> after = snapshot_lines(p_after);
	size_t first = 0;
	while (first < before.size() && first < after.size() && before[first] == after[first]) {
		first++;
	}
	char header[128];
	std::snprintf(header, sizeof(header), "snapshots differ from line %zu (before %zu lines, after %zu)\n", first, before.size(), after.size());
	std::string text = header;
	const size_t from = first > 2 ? first - 2 : 0;
	for (size_t i = from; i < before.size() && i < first + p_max_lines; i++) {
		text += (i < first ? "   " : " - ") + before[i] + "\n";
	}
	for (size_t i = first; i < after.size() && i < first + p_max_lines; i++) {
		text += " + " + after[i] + "\n";
	}
	return text;
}

} // namespace veltrin_fuzz
