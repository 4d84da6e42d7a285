#include "variant_decoder.hpp"

#include <engine_double/custom_callable.hpp>
#include <engine_double/script_double.hpp>

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/node_path.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/packed_float32_array.hpp>
#include <godot_cpp/variant/packed_float64_array.hpp>
#include <godot_cpp/variant/packed_int32_array.hpp>
#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/packed_string_array.hpp>
#include <godot_cpp/variant/packed_vector2_array.hpp>
#include <godot_cpp/variant/packed_vector3_array.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector2i.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <algorithm>

using namespace godot;

namespace veltrin_fuzz {

const Variant::Type STORED_TYPES[] = {
	Variant::NIL,
	Variant::BOOL,
	Variant::INT,
	Variant::FLOAT,
	Variant::STRING,
	Variant::VECTOR2,
	Variant::VECTOR2I,
	Variant::VECTOR3,
	Variant::VECTOR3I,
	Variant::STRING_NAME,
	Variant::NODE_PATH,
	Variant::OBJECT,
	Variant::CALLABLE,
	Variant::DICTIONARY,
	Variant::ARRAY,
	Variant::PACKED_BYTE_ARRAY,
	Variant::PACKED_INT32_ARRAY,
	Variant::PACKED_INT64_ARRAY,
	Variant::PACKED_FLOAT32_ARRAY,
	Variant::PACKED_FLOAT64_ARRAY,
	Variant::PACKED_STRING_ARRAY,
	Variant::PACKED_VECTOR2_ARRAY,
	Variant::PACKED_VECTOR3_ARRAY,
};
const size_t STORED_TYPE_COUNT = sizeof(STORED_TYPES) / sizeof(STORED_TYPES[0]);

namespace {

// Element types a typed container may be given (builtin ones: no class name needed).
const Variant::Type TYPED_CHOICES[] = {
	Variant::INT,
	Variant::FLOAT,
	Variant::BOOL,
	Variant::STRING,
	Variant::STRING_NAME,
	Variant::VECTOR3I,
	Variant::ARRAY,
	Variant::DICTIONARY,
	Variant::PACKED_BYTE_ARRAY,
};

// A script that is none of the game's services, for live and freed script objects.
const Ref<engine_double::ScriptDouble> &plain_script() {
	// Never released: engine resources must not outlive the double at process exit.
	static Ref<engine_double::ScriptDouble> *script = [] {
		auto *made = new Ref<engine_double::ScriptDouble>(engine_double::ScriptDouble::create("res://fuzz/plain.gd"));
		(*made)->member("value", Variant());
		return made;
	}();
	return *script;
}

bool fits_type(const Variant &p_value, Variant::Type p_type) {
	return p_value.get_type() == p_type;
}

} // namespace

VariantDecoder::VariantDecoder(FuzzInput &r_input, std::vector<std::string> p_names, DecoderLimits p_limits) :
        in(r_input), names(std::move(p_names)), limit(p_limits) {}

VariantDecoder::~VariantDecoder() {
	// A misbehaving script may have freed some already: each is looked up by its id.
	for (uint64_t id : owned_objects) {
		if (Object *object = ObjectDB::get_instance(id)) {
			memdelete(object);
		}
	}
	for (Object *object : marked_objects) {
		memdelete(object);
	}
}

int VariantDecoder::element_count() {
	if (in.chance(8)) {
		return int(in.range(0, limit.max_elements * 4));
	}
	return int(in.range(0, limit.max_elements));
}

Variant VariantDecoder::remember(const Variant &p_container) {
	if (containers.size() < 64) {
		containers.push_back(p_container);
	}
	return p_container;
}

StringName VariantDecoder::name() {
	return StringName(String::utf8(in.name_from(names).c_str()));
}

String VariantDecoder::text() {
	const std::string raw = in.name_from(names);
	return String::utf8(raw.data(), int64_t(raw.size()));
}

Vector3i VariantDecoder::cell() {
	if (in.chance(16)) {
		return Vector3i(int32_t(in.u64()), int32_t(in.u64()), int32_t(in.u64()));
	}
	const int32_t x = int32_t(in.range(-1, 3));
	const int32_t y = int32_t(in.range(-1, 2));
	const int32_t z = int32_t(in.range(-1, 2));
	return Vector3i(x, y, z);
}

Variant VariantDecoder::key(int p_depth) {
	const uint8_t mode = in.byte() % 16;
	if (mode < 9) {
		return name();
	}
	if (mode < 11) {
		return text();
	}
	if (mode < 13) {
		return cell();
	}
	if (mode < 14) {
		return int64_t(in.range(-1, 8));
	}
	return value(p_depth + 1);
}

Variant VariantDecoder::scalar(Variant::Type p_type) {
	switch (p_type) {
		case Variant::BOOL:
			return in.boolean();
		case Variant::INT:
			return integer();
		case Variant::FLOAT:
			return in.edgy_double();
		case Variant::STRING:
			return text();
		case Variant::VECTOR2:
			return Vector2(real_t(in.edgy_double()), real_t(in.edgy_double()));
		case Variant::VECTOR2I:
			return Vector2i(int32_t(in.range(-2, 3)), int32_t(in.range(-2, 3)));
		case Variant::VECTOR3:
			return Vector3(real_t(in.edgy_double()), real_t(in.edgy_double()), real_t(in.edgy_double()));
		case Variant::VECTOR3I:
			return cell();
		case Variant::STRING_NAME:
			return name();
		case Variant::NODE_PATH:
			return NodePath(text());
		default:
			return Variant();
	}
}

Variant VariantDecoder::value(int p_depth) {
	if (p_depth >= limit.max_depth) {
		// Deep down: scalars only.
		static const Variant::Type LEAVES[] = { Variant::NIL, Variant::BOOL, Variant::INT, Variant::FLOAT, Variant::STRING,
			Variant::STRING_NAME, Variant::VECTOR3I, Variant::VECTOR2, Variant::OBJECT };
		return value_of_type(in.pick_one(LEAVES), p_depth);
	}
	// Favour the types the plug-in reads: ints, names, cells, containers.
	const uint8_t mode = in.byte();
	if (mode < 40) {
		return integer();
	}
	if (mode < 60) {
		return name();
	}
	if (mode < 75) {
		return cell();
	}
	if (mode < 100) {
		return array(p_depth);
	}
	if (mode < 125) {
		return dictionary(p_depth);
	}
	return value_of_type(STORED_TYPES[in.pick(STORED_TYPE_COUNT)], p_depth);
}

Variant VariantDecoder::value_of_type(Variant::Type p_type, int p_depth) {
	switch (p_type) {
		case Variant::OBJECT:
			return object();
		case Variant::CALLABLE:
			return callable();
		case Variant::ARRAY:
			return array(p_depth);
		case Variant::DICTIONARY:
			return dictionary(p_depth);
		case Variant::PACKED_BYTE_ARRAY: {
			PackedByteArray bytes;
			const std::string raw = in.raw_bytes(size_t(limit.max_elements) * 4);
			for (char c : raw) {
				bytes.push_back(uint8_t(c));
			}
			return bytes;
		}
		case Variant::PACKED_INT32_ARRAY: {
			PackedInt32Array values;
			for (int i = element_count(); i > 0; i--) {
				values.push_back(int32_t(integer()));
			}
			return values;
		}
		case Variant::PACKED_INT64_ARRAY: {
			PackedInt64Array values;
			for (int i = element_count(); i > 0; i--) {
				values.push_back(integer());
			}
			return values;
		}
		case Variant::PACKED_FLOAT32_ARRAY: {
			PackedFloat32Array values;
			for (int i = element_count(); i > 0; i--) {
				values.push_back(float(in.edgy_double()));
			}
			return values;
		}
		case Variant::PACKED_FLOAT64_ARRAY: {
			PackedFloat64Array values;
			for (int i = element_count(); i > 0; i--) {
				values.push_back(in.edgy_double());
			}
			return values;
		}
		case Variant::PACKED_STRING_ARRAY: {
			PackedStringArray values;
			for (int i = element_count(); i > 0; i--) {
				values.push_back(text());
			}
			return values;
		}
		case Variant::PACKED_VECTOR2_ARRAY: {
			PackedVector2Array values;
			for (int i = element_count(); i > 0; i--) {
				values.push_back(Vector2(real_t(in.edgy_double()), real_t(in.edgy_double())));
			}
			return values;
		}
		case Variant::PACKED_VECTOR3_ARRAY: {
			PackedVector3Array values;
			for (int i = element_count(); i > 0; i--) {
				values.push_back(Vector3(real_t(in.edgy_double()), real_t(in.edgy_double()), real_t(in.edgy_double())));
			}
			return values;
		}
		default:
			return scalar(p_type);
	}
}

Variant VariantDecoder::field(const std::string &p_name, int p_depth) {
	Variant made;
	if (hook && !in.chance(24) && hook(*this, p_name, p_depth, made)) {
		return made;
	}
	return value(p_depth);
}

Array VariantDecoder::array(int p_depth, const std::function<Variant(int)> &p_element) {
	if (!containers.empty() && in.chance(10)) {
		const Variant &earlier = containers[in.pick(containers.size())];
		if (earlier.get_type() == Variant::ARRAY) {
			return earlier;
		}
	}
	Array elements;
	for (int i = element_count(); i > 0; i--) {
		elements.push_back(p_element ? p_element(p_depth + 1) : value(p_depth + 1));
	}
	return finish(elements);
}

Dictionary VariantDecoder::dictionary(int p_depth, const std::function<Variant(int)> &p_key, const std::function<Variant(int)> &p_value) {
	if (!containers.empty() && in.chance(10)) {
		const Variant &earlier = containers[in.pick(containers.size())];
		if (earlier.get_type() == Variant::DICTIONARY) {
			return earlier;
		}
	}
	Dictionary entries;
	for (int i = element_count(); i > 0; i--) {
		const Variant entry_key = p_key ? p_key(p_depth + 1) : key(p_depth);
		entries[entry_key] = p_value ? p_value(p_depth + 1) : value(p_depth + 1);
	}
	return finish(entries);
}

Variant VariantDecoder::finish(const Variant &p_container) {
	const uint8_t mode = in.byte();
	if (p_container.get_type() == Variant::ARRAY) {
		Array elements = p_container;
		if (mode >= 200 && mode < 230) {
			// Typed to the first element's type when all agree, otherwise to a drawn type
			// (then empty), as a typed array can only hold its own type.
			Variant::Type type = in.pick_one(TYPED_CHOICES);
			if (!elements.is_empty() && elements[0].get_type() != Variant::NIL && elements[0].get_type() != Variant::OBJECT) {
				type = elements[0].get_type();
			}
			const bool all_fit = std::all_of(elements.begin(), elements.end(), [type](const Variant &p_element) { return fits_type(p_element, type); });
			Array typed;
			typed.set_typed(uint32_t(type), StringName(), Variant());
			if (all_fit) {
				for (const Variant &element : elements) {
					typed.push_back(element);
				}
			}
			elements = typed;
		}
		if (in.chance(20)) {
			elements.make_read_only();
		}
		return remember(elements);
	}
	if (p_container.get_type() == Variant::DICTIONARY) {
		Dictionary entries = p_container;
		if (mode >= 200 && mode < 230) {
			const Variant::Type key_type = in.boolean() ? Variant::NIL : in.pick_one(TYPED_CHOICES);
			const Variant::Type value_type = in.boolean() ? Variant::NIL : in.pick_one(TYPED_CHOICES);
			Dictionary typed;
			typed.set_typed(uint32_t(key_type), StringName(), Variant(), uint32_t(value_type), StringName(), Variant());
			const Array keys = entries.keys();
			for (const Variant &entry_key : keys) {
				const Variant entry_value = entries.get(entry_key, Variant());
				if ((key_type == Variant::NIL || fits_type(entry_key, key_type)) && (value_type == Variant::NIL || fits_type(entry_value, value_type))) {
					typed[entry_key] = entry_value;
				}
			}
			entries = typed;
		}
		if (in.chance(20)) {
			entries.make_read_only();
		}
		return remember(entries);
	}
	return p_container;
}

Variant VariantDecoder::object() {
	const uint8_t mode = in.byte() % 8;
	switch (mode) {
		case 0:
			return Variant(static_cast<const Object *>(nullptr));
		case 1:
		case 2:
			if (!known_objects.empty()) {
				return known_objects[in.pick(known_objects.size())];
			}
			return Variant(static_cast<const Object *>(nullptr));
		case 3: {
			Object *plain = memnew(Object);
			owned_objects.push_back(plain->get_instance_id());
			return Variant(plain);
		}
		case 4:
			return Variant(plain_script()->instantiate());
		case 5: {
			Object *freed = memnew(Object);
			marked_objects.push_back(freed);
			return Variant(freed);
		}
		default: {
			Object *freed = plain_script()->instantiate_object();
			marked_objects.push_back(freed);
			return Variant(freed);
		}
	}
}

Callable VariantDecoder::callable() {
	const uint8_t mode = in.byte() % 4;
	if (mode == 0) {
		return Callable();
	}
	if (mode == 1) {
		return engine_double::make_lambda_callable([](const Variant **, int) { return Variant(); }, 1);
	}
	const Variant target = object();
	Object *live = target.get_validated_object();
	if (live == nullptr) {
		return Callable();
	}
	return Callable(live, name());
}

void VariantDecoder::free_marked_objects() {
	for (Object *object : marked_objects) {
		memdelete(object);
	}
	marked_objects.clear();
}

} // namespace veltrin_fuzz
