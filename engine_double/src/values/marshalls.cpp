#include "marshalls.hpp"

#include "array_data.hpp"
#include "dictionary_data.hpp"
#include "variant_access.hpp"
#include <engine_double/internal/crossing.hpp>

#include <godot_cpp/core/error_macros.hpp>

#include <cmath>
#include <cstring>

namespace engine_double::internal {

using godot::Variant;
using godot::VariantAccess;

namespace {

const uint32_t HEADER_TYPE_MASK = 0xff;
const uint32_t FLAG_64 = 1 << 16;
const uint32_t FLAG_OBJECT_AS_ID = 1 << 16;
const int MAX_DEPTH = 1024;

enum ContainerKind : uint32_t {
	KIND_NONE = 0,
	KIND_BUILTIN = 1,
	KIND_CLASS_NAME = 2,
	KIND_SCRIPT = 3,
};

class Writer {
public:
	std::vector<uint8_t> &bytes;

	void u32(uint32_t p_value) {
		for (int i = 0; i < 4; i++) {
			bytes.push_back(uint8_t(p_value >> (8 * i)));
		}
	}
	void u64(uint64_t p_value) {
		for (int i = 0; i < 8; i++) {
			bytes.push_back(uint8_t(p_value >> (8 * i)));
		}
	}
	void f32(float p_value) {
		uint32_t bits;
		std::memcpy(&bits, &p_value, sizeof(bits));
		u32(bits);
	}
	void f64(double p_value) {
		uint64_t bits;
		std::memcpy(&bits, &p_value, sizeof(bits));
		u64(bits);
	}
	void pad() {
		while (bytes.size() % 4) {
			bytes.push_back(0);
		}
	}
	void text(const godot::String &p_text) {
		const godot::CharString utf8 = p_text.utf8();
		u32(uint32_t(utf8.length()));
		bytes.insert(bytes.end(), utf8.get_data(), utf8.get_data() + utf8.length());
		pad();
	}
};

ContainerKind kind_of(const ContainerType &p_type) {
	if (p_type.type == Variant::NIL) {
		return KIND_NONE;
	}
	if (p_type.type != Variant::OBJECT) {
		return KIND_BUILTIN;
	}
	if (p_type.script.get_type() != Variant::NIL) {
		return KIND_SCRIPT;
	}
	return p_type.class_name.is_empty() ? KIND_BUILTIN : KIND_CLASS_NAME;
}

void write_container_type(Writer &p_writer, const ContainerType &p_type) {
	switch (kind_of(p_type)) {
		case KIND_BUILTIN:
			p_writer.u32(p_type.type);
			break;
		case KIND_CLASS_NAME:
			p_writer.text(p_type.class_name._text());
			break;
		case KIND_SCRIPT:
			// Without full objects the engine writes this marker instead of the script path.
			p_writer.text("EncodedObjectAsID");
			break;
		default:
			break;
	}
}

// A node path's names (split at '/') and subnames (after the first ':', split at ':').
void node_path_parts(const godot::String &p_path, godot::PackedStringArray &r_names, godot::PackedStringArray &r_subnames, bool &r_absolute) {
	r_absolute = p_path.begins_with("/");
	const int64_t colon = p_path.find(":");
	const godot::String names = colon >= 0 ? p_path.substr(0, colon) : p_path;
	r_names = names.split("/", false);
	if (colon >= 0) {
		r_subnames = p_path.substr(colon + 1).split(":", false);
	}
}

template <typename P, typename F>
void write_packed(Writer &p_writer, const P &p_array, F p_write_one) {
	p_writer.u32(uint32_t(p_array.size()));
	for (int64_t i = 0; i < p_array.size(); i++) {
		p_write_one(p_array.ptr()[i]);
	}
}

bool encode(const Variant &p_value, Writer &p_writer, bool p_full_objects, int p_depth);

// An element that failed to encode: every container level it sits in reports the failure
// again on its way out, as the engine's own check after each element does.
bool element_encoded(const Variant &p_element, Writer &p_writer, bool p_full_objects, int p_depth) {
	if (encode(p_element, p_writer, p_full_objects, p_depth)) {
		return true;
	}
	godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"err\" is true. Returning: err");
	return false;
}

bool encode(const Variant &p_value, Writer &p_writer, bool p_full_objects, int p_depth) {
	ERR_FAIL_COND_V_MSG(p_depth > MAX_DEPTH, false, "Potential infinite recursion detected. Bailing.");
	charge_engine_work(Cost::ENCODE_ELEMENT);
	const Variant::Type type = p_value.get_type();
	switch (type) {
		case Variant::NIL:
			p_writer.u32(type);
			return true;
		case Variant::BOOL:
			p_writer.u32(type);
			p_writer.u32(p_value.booleanize() ? 1 : 0);
			return true;
		case Variant::INT: {
			const int64_t value = p_value;
			if (value >= INT32_MIN && value <= INT32_MAX) {
				p_writer.u32(type);
				p_writer.u32(uint32_t(int32_t(value)));
			} else {
				p_writer.u32(type | FLAG_64);
				p_writer.u64(uint64_t(value));
			}
			return true;
		}
		case Variant::FLOAT: {
			const double value = p_value;
			// NaN fails the comparison, so it always takes the 64-bit form.
			if (double(float(value)) == value) {
				p_writer.u32(type);
				p_writer.f32(float(value));
			} else {
				p_writer.u32(type | FLAG_64);
				p_writer.f64(value);
			}
			return true;
		}
		case Variant::STRING:
			p_writer.u32(type);
			p_writer.text(VariantAccess::payload<godot::String>(p_value));
			return true;
		case Variant::STRING_NAME:
			p_writer.u32(type);
			p_writer.text(VariantAccess::payload<godot::StringName>(p_value)._text());
			return true;
		case Variant::NODE_PATH: {
			godot::PackedStringArray names;
			godot::PackedStringArray subnames;
			bool absolute = false;
			node_path_parts(VariantAccess::payload<godot::NodePath>(p_value)._text(), names, subnames, absolute);
			p_writer.u32(type);
			p_writer.u32(uint32_t(names.size()) | 0x80000000u);
			p_writer.u32(uint32_t(subnames.size()));
			p_writer.u32(absolute ? 1 : 0);
			for (int64_t i = 0; i < names.size(); i++) {
				p_writer.text(names[i]);
			}
			for (int64_t i = 0; i < subnames.size(); i++) {
				p_writer.text(subnames[i]);
			}
			return true;
		}
		case Variant::VECTOR2: {
			const godot::Vector2 v = p_value;
			p_writer.u32(type);
			p_writer.f32(v.x);
			p_writer.f32(v.y);
			return true;
		}
		case Variant::VECTOR2I: {
			const godot::Vector2i v = p_value;
			p_writer.u32(type);
			p_writer.u32(uint32_t(v.x));
			p_writer.u32(uint32_t(v.y));
			return true;
		}
		case Variant::VECTOR3: {
			const godot::Vector3 v = p_value;
			p_writer.u32(type);
			p_writer.f32(v.x);
			p_writer.f32(v.y);
			p_writer.f32(v.z);
			return true;
		}
		case Variant::VECTOR3I: {
			const godot::Vector3i v = p_value;
			p_writer.u32(type);
			p_writer.u32(uint32_t(v.x));
			p_writer.u32(uint32_t(v.y));
			p_writer.u32(uint32_t(v.z));
			return true;
		}
		case Variant::OBJECT: {
			// Not full: a live object is written as its id; a null or freed one as nil.
			if (!p_value.get_validated_object()) {
				p_writer.u32(Variant::NIL);
				return true;
			}
			p_writer.u32(type | FLAG_OBJECT_AS_ID);
			p_writer.u64(p_value._object_id());
			return true;
		}
		case Variant::CALLABLE:
			p_writer.u32(type);
			return true;
		case Variant::DICTIONARY: {
			const godot::Dictionary &dictionary = VariantAccess::payload<godot::Dictionary>(p_value);
			const DictionaryData *data = dictionary._get_data();
			p_writer.u32(type | (uint32_t(kind_of(data->typed_key)) << 16) | (uint32_t(kind_of(data->typed_value)) << 18));
			write_container_type(p_writer, data->typed_key);
			write_container_type(p_writer, data->typed_value);
			p_writer.u32(data->map.size());
			const VariantMap snapshot = data->map;
			for (const VariantMapEntry *entry = snapshot.first(); entry; entry = entry->next) {
				if (!element_encoded(entry->key, p_writer, p_full_objects, p_depth + 1) || !element_encoded(entry->value, p_writer, p_full_objects, p_depth + 1)) {
					return false;
				}
			}
			return true;
		}
		case Variant::ARRAY: {
			const godot::Array &array = VariantAccess::payload<godot::Array>(p_value);
			const ArrayData *data = array._get_data();
			p_writer.u32(type | (uint32_t(kind_of(data->typed)) << 16));
			write_container_type(p_writer, data->typed);
			const std::vector<Variant> items = data->array;
			p_writer.u32(uint32_t(items.size()));
			for (const Variant &item : items) {
				if (!element_encoded(item, p_writer, p_full_objects, p_depth + 1)) {
					return false;
				}
			}
			return true;
		}
		case Variant::PACKED_BYTE_ARRAY: {
			const godot::PackedByteArray &bytes = VariantAccess::packed<godot::PackedByteArray>(p_value);
			p_writer.u32(type);
			p_writer.u32(uint32_t(bytes.size()));
			if (bytes.size()) {
				p_writer.bytes.insert(p_writer.bytes.end(), bytes.ptr(), bytes.ptr() + bytes.size());
			}
			p_writer.pad();
			return true;
		}
		case Variant::PACKED_INT32_ARRAY:
			p_writer.u32(type);
			write_packed(p_writer, VariantAccess::packed<godot::PackedInt32Array>(p_value), [&](int32_t p_item) { p_writer.u32(uint32_t(p_item)); });
			return true;
		case Variant::PACKED_INT64_ARRAY:
			p_writer.u32(type);
			write_packed(p_writer, VariantAccess::packed<godot::PackedInt64Array>(p_value), [&](int64_t p_item) { p_writer.u64(uint64_t(p_item)); });
			return true;
		case Variant::PACKED_FLOAT32_ARRAY:
			p_writer.u32(type);
			write_packed(p_writer, VariantAccess::packed<godot::PackedFloat32Array>(p_value), [&](float p_item) { p_writer.f32(p_item); });
			return true;
		case Variant::PACKED_FLOAT64_ARRAY:
			p_writer.u32(type);
			write_packed(p_writer, VariantAccess::packed<godot::PackedFloat64Array>(p_value), [&](double p_item) { p_writer.f64(p_item); });
			return true;
		case Variant::PACKED_STRING_ARRAY:
			p_writer.u32(type);
			write_packed(p_writer, VariantAccess::packed<godot::PackedStringArray>(p_value), [&](const godot::String &p_item) { p_writer.text(p_item); });
			return true;
		case Variant::PACKED_VECTOR2_ARRAY:
			p_writer.u32(type);
			write_packed(p_writer, VariantAccess::packed<godot::PackedVector2Array>(p_value), [&](const godot::Vector2 &p_item) {
				p_writer.f32(p_item.x);
				p_writer.f32(p_item.y);
			});
			return true;
		case Variant::PACKED_VECTOR3_ARRAY:
			p_writer.u32(type);
			write_packed(p_writer, VariantAccess::packed<godot::PackedVector3Array>(p_value), [&](const godot::Vector3 &p_item) {
				p_writer.f32(p_item.x);
				p_writer.f32(p_item.y);
				p_writer.f32(p_item.z);
			});
			return true;
		default:
			p_writer.u32(type);
			return true;
	}
}

class Reader {
public:
	const uint8_t *bytes;
	int64_t length;
	int64_t position = 0;

	bool has(int64_t p_count) const { return p_count >= 0 && p_count <= length - position; }
	bool u32(uint32_t &r_value) {
		if (!has(4)) {
			return false;
		}
		r_value = uint32_t(bytes[position]) | uint32_t(bytes[position + 1]) << 8 | uint32_t(bytes[position + 2]) << 16 | uint32_t(bytes[position + 3]) << 24;
		position += 4;
		return true;
	}
	bool u64(uint64_t &r_value) {
		uint32_t low = 0;
		uint32_t high = 0;
		if (!has(8) || !u32(low) || !u32(high)) {
			return false;
		}
		r_value = uint64_t(low) | uint64_t(high) << 32;
		return true;
	}
	bool f32(float &r_value) {
		uint32_t bits = 0;
		if (!u32(bits)) {
			return false;
		}
		std::memcpy(&r_value, &bits, sizeof(bits));
		return true;
	}
	bool f64(double &r_value) {
		uint64_t bits = 0;
		if (!u64(bits)) {
			return false;
		}
		std::memcpy(&r_value, &bits, sizeof(bits));
		return true;
	}
	bool text(godot::String &r_text) {
		uint32_t size = 0;
		if (!u32(size) || !has(int64_t(size))) {
			return false;
		}
		r_text = godot::String::utf8(reinterpret_cast<const char *>(bytes + position), int64_t(size));
		position += int64_t(size);
		const int64_t padding = (4 - int64_t(size) % 4) % 4;
		if (!has(padding)) {
			return false;
		}
		position += padding;
		return true;
	}
};

bool read_container_type(Reader &p_reader, uint32_t p_kind, ContainerType &r_type) {
	switch (p_kind) {
		case KIND_NONE:
			return true;
		case KIND_BUILTIN: {
			uint32_t type = 0;
			if (!p_reader.u32(type) || type >= Variant::VARIANT_MAX) {
				return false;
			}
			r_type.type = Variant::Type(type);
			return true;
		}
		case KIND_CLASS_NAME: {
			godot::String name;
			if (!p_reader.text(name)) {
				return false;
			}
			r_type.type = Variant::OBJECT;
			r_type.class_name = godot::StringName(name);
			return true;
		}
		default: {
			// A script path or the id marker: the double keeps only "an object".
			godot::String path;
			if (!p_reader.text(path)) {
				return false;
			}
			r_type.type = Variant::OBJECT;
			return true;
		}
	}
}

template <typename P, typename F>
bool read_packed(Reader &p_reader, int64_t p_item_size, Variant &r_value, F p_read_one) {
	uint32_t count = 0;
	if (!p_reader.u32(count) || !p_reader.has(int64_t(count) * p_item_size)) {
		return false;
	}
	P array;
	for (uint32_t i = 0; i < count; i++) {
		typename P::value_type item {};
		if (!p_read_one(item)) {
			return false;
		}
		array.push_back(item);
	}
	r_value = array;
	return true;
}

bool decode(Variant &r_value, Reader &p_reader, bool p_allow_objects, int p_depth) {
	if (p_depth > MAX_DEPTH) {
		return false;
	}
	// Decoding an element costs what encoding it does.
	charge_engine_work(Cost::ENCODE_ELEMENT);
	uint32_t header = 0;
	if (!p_reader.u32(header)) {
		return false;
	}
	const uint32_t type = header & HEADER_TYPE_MASK;
	switch (type) {
		case Variant::NIL:
			r_value = Variant();
			return true;
		case Variant::BOOL: {
			uint32_t value = 0;
			if (!p_reader.u32(value)) {
				return false;
			}
			r_value = value != 0;
			return true;
		}
		case Variant::INT:
			if (header & FLAG_64) {
				uint64_t value = 0;
				if (!p_reader.u64(value)) {
					return false;
				}
				r_value = int64_t(value);
			} else {
				uint32_t value = 0;
				if (!p_reader.u32(value)) {
					return false;
				}
				r_value = int64_t(int32_t(value));
			}
			return true;
		case Variant::FLOAT:
			if (header & FLAG_64) {
				double value = 0;
				if (!p_reader.f64(value)) {
					return false;
				}
				r_value = value;
			} else {
				float value = 0;
				if (!p_reader.f32(value)) {
					return false;
				}
				r_value = double(value);
			}
			return true;
		case Variant::STRING:
		case Variant::STRING_NAME: {
			godot::String text;
			if (!p_reader.text(text)) {
				return false;
			}
			r_value = type == Variant::STRING ? Variant(text) : Variant(godot::StringName(text));
			return true;
		}
		case Variant::NODE_PATH: {
			uint32_t names = 0;
			uint32_t subnames = 0;
			uint32_t flags = 0;
			if (!p_reader.u32(names) || !(names & 0x80000000u) || !p_reader.u32(subnames) || !p_reader.u32(flags)) {
				return false;
			}
			names &= 0x7fffffffu;
			if (!p_reader.has((int64_t(names) + subnames) * 4)) {
				return false;
			}
			godot::String path = (flags & 1) ? "/" : "";
			for (uint32_t i = 0; i < names + subnames; i++) {
				godot::String part;
				if (!p_reader.text(part)) {
					return false;
				}
				if (i > 0) {
					path += i < names ? "/" : ":";
				} else if (names == 0) {
					path += ":";
				}
				path += part;
			}
			r_value = godot::NodePath(path);
			return true;
		}
		case Variant::VECTOR2: {
			float x = 0;
			float y = 0;
			if (!p_reader.f32(x) || !p_reader.f32(y)) {
				return false;
			}
			r_value = godot::Vector2(x, y);
			return true;
		}
		case Variant::VECTOR2I: {
			uint32_t x = 0;
			uint32_t y = 0;
			if (!p_reader.u32(x) || !p_reader.u32(y)) {
				return false;
			}
			r_value = godot::Vector2i(int32_t(x), int32_t(y));
			return true;
		}
		case Variant::VECTOR3: {
			float x = 0;
			float y = 0;
			float z = 0;
			if (!p_reader.f32(x) || !p_reader.f32(y) || !p_reader.f32(z)) {
				return false;
			}
			r_value = godot::Vector3(x, y, z);
			return true;
		}
		case Variant::VECTOR3I: {
			uint32_t x = 0;
			uint32_t y = 0;
			uint32_t z = 0;
			if (!p_reader.u32(x) || !p_reader.u32(y) || !p_reader.u32(z)) {
				return false;
			}
			r_value = godot::Vector3i(int32_t(x), int32_t(y), int32_t(z));
			return true;
		}
		case Variant::OBJECT:
			if (header & FLAG_OBJECT_AS_ID) {
				uint64_t id = 0;
				if (!p_reader.u64(id)) {
					return false;
				}
				// Decoded as the bare instance id, as the engine does without full objects.
				r_value = int64_t(id);
				return true;
			}
			return false;
		case Variant::CALLABLE:
			r_value = godot::Callable();
			return true;
		case Variant::DICTIONARY: {
			ContainerType key_type;
			ContainerType value_type;
			uint32_t count = 0;
			if (!read_container_type(p_reader, (header >> 16) & 3, key_type) || !read_container_type(p_reader, (header >> 18) & 3, value_type) || !p_reader.u32(count)) {
				return false;
			}
			count &= 0x7fffffffu;
			if (!p_reader.has(int64_t(count) * 8)) {
				return false;
			}
			godot::Dictionary dictionary;
			if (key_type.type != Variant::NIL || value_type.type != Variant::NIL) {
				dictionary.set_typed(key_type.type, key_type.class_name, Variant(), value_type.type, value_type.class_name, Variant());
			}
			for (uint32_t i = 0; i < count; i++) {
				Variant key;
				Variant value;
				if (!decode(key, p_reader, p_allow_objects, p_depth + 1) || !decode(value, p_reader, p_allow_objects, p_depth + 1)) {
					return false;
				}
				dictionary[key] = value;
			}
			r_value = dictionary;
			return true;
		}
		case Variant::ARRAY: {
			ContainerType element_type;
			uint32_t count = 0;
			if (!read_container_type(p_reader, (header >> 16) & 3, element_type) || !p_reader.u32(count)) {
				return false;
			}
			count &= 0x7fffffffu;
			if (!p_reader.has(int64_t(count) * 4)) {
				return false;
			}
			godot::Array array;
			if (element_type.type != Variant::NIL) {
				array.set_typed(element_type.type, element_type.class_name, Variant());
			}
			for (uint32_t i = 0; i < count; i++) {
				Variant item;
				if (!decode(item, p_reader, p_allow_objects, p_depth + 1)) {
					return false;
				}
				array.push_back(item);
			}
			r_value = array;
			return true;
		}
		case Variant::PACKED_BYTE_ARRAY: {
			uint32_t count = 0;
			if (!p_reader.u32(count) || !p_reader.has(int64_t(count))) {
				return false;
			}
			godot::PackedByteArray bytes;
			if (count) {
				bytes.resize(count);
				std::memcpy(bytes.ptrw(), p_reader.bytes + p_reader.position, count);
			}
			p_reader.position += int64_t(count);
			const int64_t padding = (4 - int64_t(count) % 4) % 4;
			if (!p_reader.has(padding)) {
				return false;
			}
			p_reader.position += padding;
			r_value = bytes;
			return true;
		}
		case Variant::PACKED_INT32_ARRAY:
			return read_packed<godot::PackedInt32Array>(p_reader, 4, r_value, [&](int32_t &r_item) {
				uint32_t value = 0;
				const bool ok = p_reader.u32(value);
				r_item = int32_t(value);
				return ok;
			});
		case Variant::PACKED_INT64_ARRAY:
			return read_packed<godot::PackedInt64Array>(p_reader, 8, r_value, [&](int64_t &r_item) {
				uint64_t value = 0;
				const bool ok = p_reader.u64(value);
				r_item = int64_t(value);
				return ok;
			});
		case Variant::PACKED_FLOAT32_ARRAY:
			return read_packed<godot::PackedFloat32Array>(p_reader, 4, r_value, [&](float &r_item) { return p_reader.f32(r_item); });
		case Variant::PACKED_FLOAT64_ARRAY:
			return read_packed<godot::PackedFloat64Array>(p_reader, 8, r_value, [&](double &r_item) { return p_reader.f64(r_item); });
		case Variant::PACKED_STRING_ARRAY:
			return read_packed<godot::PackedStringArray>(p_reader, 4, r_value, [&](godot::String &r_item) { return p_reader.text(r_item); });
		case Variant::PACKED_VECTOR2_ARRAY:
			return read_packed<godot::PackedVector2Array>(p_reader, 8, r_value, [&](godot::Vector2 &r_item) { return p_reader.f32(r_item.x) && p_reader.f32(r_item.y); });
		case Variant::PACKED_VECTOR3_ARRAY:
			return read_packed<godot::PackedVector3Array>(p_reader, 12, r_value, [&](godot::Vector3 &r_item) { return p_reader.f32(r_item.x) && p_reader.f32(r_item.y) && p_reader.f32(r_item.z); });
		default:
			// Types the double does not store.
			return false;
	}
}

} // namespace

bool encode_variant(const Variant &p_value, std::vector<uint8_t> &r_bytes, bool p_full_objects) {
	Writer writer { r_bytes };
	return encode(p_value, writer, p_full_objects, 0);
}

bool decode_variant(Variant &r_value, const uint8_t *p_bytes, int64_t p_length, int64_t &r_length, bool p_allow_objects) {
	Reader reader { p_bytes, p_length };
	Variant value;
	if (!p_bytes || !decode(value, reader, p_allow_objects, 0)) {
		r_length = 0;
		return false;
	}
	r_value = value;
	r_length = reader.position;
	return true;
}

} // namespace engine_double::internal

namespace godot {

Variant PackedByteArray::decode_var(int64_t p_offset, bool p_allow_objects) const {
	if (p_offset < 0 || p_offset >= size()) {
		return Variant();
	}
	Variant value;
	int64_t used = 0;
	if (!engine_double::internal::decode_variant(value, ptr() + p_offset, size() - p_offset, used, p_allow_objects)) {
		return Variant();
	}
	return value;
}

} // namespace godot
