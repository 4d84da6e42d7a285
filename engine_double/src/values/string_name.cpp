#include <engine_double/internal/crossing.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <godot_cpp/variant/node_path.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <mutex>
#include <unordered_map>
#include <vector>

namespace godot {

using engine_double::internal::StringNameEntry;

namespace {

// One table for the host and every plug-in; entries are never freed, so a StringName is a
// trivially copyable pointer and comparison is pointer equality.
struct InternTable {
	std::mutex mutex;
	std::unordered_map<uint32_t, std::vector<const StringNameEntry *>> buckets;
};

InternTable &intern_table() {
	static InternTable *table = new InternTable;
	return *table;
}

const String &empty_text() {
	static const String *text = new String;
	return *text;
}

} // namespace

const StringNameEntry *StringName::_intern(const String &p_text) {
	if (p_text.is_empty()) {
		return nullptr;
	}
	const uint32_t hash = uint32_t(p_text.hash());
	InternTable &table = intern_table();
	std::lock_guard<std::mutex> lock(table.mutex);
	std::vector<const StringNameEntry *> &bucket = table.buckets[hash];
	for (const StringNameEntry *entry : bucket) {
		if (entry->text == p_text) {
			return entry;
		}
	}
	// The entry owns a private copy so later writes to the caller's String cannot reach it.
	StringNameEntry *entry = new StringNameEntry { String(p_text.ptr(), p_text.length()), hash };
	bucket.push_back(entry);
	return entry;
}

// Names from C strings are made all the time (every name table, every call by name): looked
// up from the bytes themselves, a known name costs no String. Latin-1, as String(const char *)
// reads it, so the hash and the text compare equal to the String path's.
const StringNameEntry *StringName::_intern_latin1(const char *p_text) {
	if (p_text == nullptr || p_text[0] == '\0') {
		return nullptr;
	}
	uint32_t hash = 5381;
	size_t length = 0;
	for (; p_text[length] != '\0'; length++) {
		hash = ((hash << 5) + hash) + uint32_t(static_cast<unsigned char>(p_text[length]));
	}
	{
		InternTable &table = intern_table();
		std::lock_guard<std::mutex> lock(table.mutex);
		const auto found = table.buckets.find(hash);
		if (found != table.buckets.end()) {
			for (const StringNameEntry *entry : found->second) {
				const String &text = entry->text;
				if (size_t(text.length()) != length) {
					continue;
				}
				const char32_t *data = text.ptr();
				size_t i = 0;
				while (i < length && data[i] == char32_t(static_cast<unsigned char>(p_text[i]))) {
					i++;
				}
				if (i == length) {
					return entry;
				}
			}
		}
	}
	return _intern(String(p_text));
}

StringName::StringName(const String &p_text) {
	ENGINE_DOUBLE_COSTED(STRING_NAME_FROM_STRING);
	_entry = _intern(p_text);
}

StringName::StringName(const char *p_text, bool p_static) {
	ENGINE_DOUBLE_COSTED(STRING_NAME_FROM_CHARS);
	_entry = _intern_latin1(p_text);
}

StringName::StringName(const wchar_t *p_text) {
	ENGINE_DOUBLE_COSTED(STRING_NAME_FROM_STRING);
	_entry = _intern(String(p_text));
}

StringName::StringName(const char16_t *p_text) {
	ENGINE_DOUBLE_COSTED(STRING_NAME_FROM_STRING);
	_entry = _intern(String(p_text));
}

StringName::StringName(const char32_t *p_text) {
	ENGINE_DOUBLE_COSTED(STRING_NAME_FROM_STRING);
	_entry = _intern(String(p_text));
}

const String &StringName::_text() const {
	return _entry ? _entry->text : empty_text();
}

bool StringName::begins_with(const String &p_text) const {
	ENGINE_DOUBLE_CROSSING;
	return _text().begins_with(p_text);
}

bool StringName::ends_with(const String &p_text) const {
	ENGINE_DOUBLE_CROSSING;
	return _text().ends_with(p_text);
}

bool StringName::contains(const String &p_what) const {
	ENGINE_DOUBLE_CROSSING;
	return _text().contains(p_what);
}

int64_t StringName::find(const String &p_what, int64_t p_from) const {
	ENGINE_DOUBLE_CROSSING;
	return _text().find(p_what, p_from);
}

String StringName::substr(int64_t p_from, int64_t p_len) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	return _text().substr(p_from, p_len);
}

String StringName::to_lower() const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	return _text().to_lower();
}

String StringName::to_upper() const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	return _text().to_upper();
}

int64_t StringName::to_int() const {
	ENGINE_DOUBLE_CROSSING;
	return _text().to_int();
}

double StringName::to_float() const {
	ENGINE_DOUBLE_CROSSING;
	return _text().to_float();
}

CharString StringName::utf8() const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	return _text().utf8();
}

bool StringName::operator==(const String &p_other) const {
	ENGINE_DOUBLE_CROSSING;
	return _text() == p_other;
}

// godot-cpp evaluates these against a nil right-hand side, whatever the Variant holds.
bool StringName::operator==(const Variant &) const {
	ENGINE_DOUBLE_CROSSING;
	return false;
}

bool StringName::operator!=(const Variant &) const {
	ENGINE_DOUBLE_CROSSING;
	return true;
}

String NodePath::get_concatenated_names() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	String names;
	const PackedStringArray parts = _path.split("/", false);
	for (int64_t i = 0; i < parts.size(); i++) {
		const String part = parts[i].split(":")[0];
		if (part.is_empty()) {
			continue;
		}
		if (!names.is_empty()) {
			names += "/";
		}
		names += part;
	}
	return names;
}

} // namespace godot
