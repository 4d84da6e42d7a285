// Dictionary: a shared, insertion-ordered map with the engine's checks and error texts.

#include "dictionary_data.hpp"
#include "duplicate.hpp"
#include "variant_access.hpp"
#include <engine_double/internal/crossing.hpp>

#include <engine_double/write_epoch.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/templates/sort_array.hpp>

#include <vector>

namespace godot {

using engine_double::internal::DictionaryData;
using engine_double::internal::VariantMapEntry;

namespace {

void release(DictionaryData *p_data) {
	if (p_data && p_data->refcount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
		delete p_data;
	}
}

Variant &reset_to_default(std::unique_ptr<Variant> &r_slot, Variant::Type p_type) {
	if (!r_slot) {
		r_slot = std::make_unique<Variant>();
	}
	*r_slot = engine_double::internal::type_default(p_type);
	return *r_slot;
}

struct EntryKeyLess {
	bool operator()(const VariantMapEntry *p_a, const VariantMapEntry *p_b) const {
		bool valid = false;
		Variant result;
		Variant::evaluate(Variant::OP_LESS, p_a->key, p_b->key, result, valid);
		return valid && result.booleanize();
	}
};

// Keys as quoted in the engine's "Bug: ..." message.
String key_text(const Variant &p_key) {
	return p_key.stringify();
}

} // namespace

Dictionary::Dictionary() :
        _p(nullptr) {
	ENGINE_DOUBLE_COSTED(DICT_NEW);
	_p = new DictionaryData;
}

Dictionary::Dictionary(const Dictionary &p_other) :
        _p(p_other._p) {
	ENGINE_DOUBLE_COSTED(DICT_COPY);
	_p->refcount.fetch_add(1, std::memory_order_relaxed);
}

Dictionary::Dictionary(Dictionary &&p_other) noexcept :
        _p(p_other._p) {
	ENGINE_DOUBLE_CROSSING;
	_p->refcount.fetch_add(1, std::memory_order_relaxed);
}

Dictionary &Dictionary::operator=(const Dictionary &p_other) {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, DICT_COPY);
	ENGINE_DOUBLE_CHARGE(DICT_RELEASE, 1);
	_ref(p_other);
	return *this;
}

Dictionary &Dictionary::operator=(Dictionary &&p_other) noexcept {
	ENGINE_DOUBLE_CROSSING;
	_ref(p_other);
	return *this;
}

Dictionary::~Dictionary() {
	ENGINE_DOUBLE_COSTED(DICT_RELEASE);
	release(_p);
}

void Dictionary::_ref(const Dictionary &p_from) const {
	if (p_from._p == _p) {
		return;
	}
	p_from._p->refcount.fetch_add(1, std::memory_order_relaxed);
	release(_p);
	_p = p_from._p;
}

Dictionary::Dictionary(const Dictionary &p_base, int64_t p_key_type, const StringName &p_key_class_name, const Variant &p_key_script, int64_t p_value_type, const StringName &p_value_class_name, const Variant &p_value_script) :
        _p(nullptr) {
	ENGINE_DOUBLE_CROSSING;
	_p = new DictionaryData;
	set_typed(uint32_t(p_key_type), p_key_class_name, p_key_script, uint32_t(p_value_type), p_value_class_name, p_value_script);
	assign(p_base);
}

int64_t Dictionary::size() const {
	ENGINE_DOUBLE_COSTED(ARRAY_SIZE);
	return _p->map.size();
}

bool Dictionary::is_empty() const {
	ENGINE_DOUBLE_COSTED(ARRAY_SIZE);
	return _p->map.is_empty();
}

void Dictionary::clear() {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Dictionary is in read-only state.");
	_p->map.clear();
}

Variant &Dictionary::operator[](const Variant &p_key) {
	ENGINE_DOUBLE_COSTED(DICT_WRITE);
	engine_double::internal::note_write(_p->birth);
	if (likely(_p->typed_key.type == Variant::NIL && !_p->read_only)) {
		bool inserted = false;
		VariantMapEntry *entry = _p->map.insert(p_key, Variant(), inserted);
		ENGINE_DOUBLE_CHARGE(DICT_INSERT, inserted ? 1 : 0);
		if (inserted && _p->typed_value.type != Variant::NIL) {
			entry->value = engine_double::internal::type_default(_p->typed_value.type);
		}
		return entry->value;
	}
	Variant key = p_key;
	if (unlikely(!_p->typed_key.validate(key, "use `operator[]`"))) {
		return reset_to_default(_p->typed_fallback, _p->typed_value.type);
	}
	if (unlikely(_p->read_only)) {
		// Reads work, writes land in a scratch value and are lost, without an error.
		const VariantMapEntry *entry = _p->map.find(key);
		if (entry) {
			*_p->read_only = entry->value;
			return *_p->read_only;
		}
		return reset_to_default(_p->read_only, _p->typed_value.type);
	}
	bool inserted = false;
	VariantMapEntry *entry = _p->map.insert(key, Variant(), inserted);
	ENGINE_DOUBLE_CHARGE(DICT_INSERT, inserted ? 1 : 0);
	if (inserted) {
		entry->value = engine_double::internal::type_default(_p->typed_value.type);
	}
	return entry->value;
}

const Variant &Dictionary::operator[](const Variant &p_key) const {
	ENGINE_DOUBLE_COSTED(DICT_READ);
	if (likely(_p->typed_key.type == Variant::NIL)) {
		const VariantMapEntry *entry = _p->map.find(p_key);
		if (likely(entry)) {
			return entry->value;
		}
	}
	Variant key = p_key;
	if (unlikely(!_p->typed_key.validate(key, "use `operator[]`"))) {
		return reset_to_default(_p->typed_fallback, _p->typed_value.type);
	}
	const VariantMapEntry *entry = _p->map.find(key);
	if (!entry) {
		static const Variant empty;
		ERR_PRINT("Bug: Dictionary::operator[] used when there was no value for the given key \"" + key_text(key) + "\". Please report.");
		return empty;
	}
	return entry->value;
}

Variant Dictionary::get(const Variant &p_key, const Variant &p_default) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, DICT_GET);
	if (likely(_p->typed_key.type == Variant::NIL)) {
		const VariantMapEntry *entry = _p->map.find(p_key);
		return entry ? entry->value : p_default;
	}
	Variant key = p_key;
	ERR_FAIL_COND_V(!_p->typed_key.validate(key, "get"), p_default);
	const VariantMapEntry *entry = _p->map.find(key);
	return entry ? entry->value : p_default;
}

Variant Dictionary::get_or_add(const Variant &p_key, const Variant &p_default) {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, DICT_GET);
	engine_double::internal::note_write(_p->birth);
	Variant key = p_key;
	ERR_FAIL_COND_V(!_p->typed_key.validate(key, "get"), p_default);
	const VariantMapEntry *entry = _p->map.find(key);
	if (entry) {
		return entry->value;
	}
	Variant value = p_default;
	ERR_FAIL_COND_V(!_p->typed_value.validate(value, "add"), value);
	operator[](key) = value;
	return value;
}

bool Dictionary::set(const Variant &p_key, const Variant &p_value) {
	ENGINE_DOUBLE_COSTED(DICT_WRITE);
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_V_MSG(_p->read_only, false, "Dictionary is in read-only state.");
	Variant key = p_key;
	ERR_FAIL_COND_V(!_p->typed_key.validate(key, "set"), false);
	Variant value = p_value;
	ERR_FAIL_COND_V(!_p->typed_value.validate(value, "set"), false);
	bool inserted = false;
	VariantMapEntry *entry = _p->map.insert(key, value, inserted);
	ENGINE_DOUBLE_CHARGE(DICT_INSERT, inserted ? 1 : 0);
	if (!inserted) {
		entry->value = std::move(value);
	}
	return true;
}

bool Dictionary::has(const Variant &p_key) const {
	ENGINE_DOUBLE_COSTED(DICT_HAS);
	if (likely(_p->typed_key.type == Variant::NIL)) {
		return _p->map.find(p_key) != nullptr;
	}
	Variant key = p_key;
	ERR_FAIL_COND_V(!_p->typed_key.validate(key, "use 'has'"), false);
	return _p->map.find(key) != nullptr;
}

bool Dictionary::has_all(const Array &p_keys) const {
	ENGINE_DOUBLE_CROSSING;
	for (int64_t i = 0; i < p_keys.size(); i++) {
		Variant key = p_keys[i];
		ERR_FAIL_COND_V(!_p->typed_key.validate(key, "use 'has_all'"), false);
		if (!_p->map.find(key)) {
			return false;
		}
	}
	return true;
}

Variant Dictionary::find_key(const Variant &p_value) const {
	ENGINE_DOUBLE_CROSSINGS(2);
	Variant value = p_value;
	ERR_FAIL_COND_V(!_p->typed_value.validate(value, "find_key"), Variant());
	for (const VariantMapEntry *entry = _p->map.first(); entry; entry = entry->next) {
		if (entry->value.hash_compare(value)) {
			return entry->key;
		}
	}
	return Variant();
}

bool Dictionary::erase(const Variant &p_key) {
	ENGINE_DOUBLE_CROSSING;
	Variant key = p_key;
	ERR_FAIL_COND_V(!_p->typed_key.validate(key, "erase"), false);
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_V_MSG(_p->read_only, false, "Dictionary is in read-only state.");
	return _p->map.erase(key);
}

int64_t Dictionary::hash() const {
	ENGINE_DOUBLE_CROSSING;
	return Variant(*this).hash();
}

Array Dictionary::keys() const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, ARRAY_NEW);
	ENGINE_DOUBLE_CHARGE(ARRAY_COPY_ELEMENT, _p->map.size());
	Array result;
	if (is_typed_key()) {
		result.set_typed(uint32_t(get_typed_key_builtin()), get_typed_key_class_name(), get_typed_key_script());
	}
	Variant *write = nullptr;
	if (!_p->map.is_empty()) {
		result.resize(size());
		write = result.ptrw();
	}
	for (const VariantMapEntry *entry = _p->map.first(); entry; entry = entry->next) {
		*write++ = entry->key;
	}
	return result;
}

Array Dictionary::values() const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, ARRAY_NEW);
	ENGINE_DOUBLE_CHARGE(ARRAY_COPY_ELEMENT, _p->map.size());
	Array result;
	if (is_typed_value()) {
		result.set_typed(uint32_t(get_typed_value_builtin()), get_typed_value_class_name(), get_typed_value_script());
	}
	Variant *write = nullptr;
	if (!_p->map.is_empty()) {
		result.resize(size());
		write = result.ptrw();
	}
	for (const VariantMapEntry *entry = _p->map.first(); entry; entry = entry->next) {
		*write++ = entry->value;
	}
	return result;
}

Dictionary Dictionary::duplicate(bool p_deep) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, DICT_DUPLICATE);
	return engine_double::internal::duplicate_dictionary(*this, p_deep, 0);
}

Dictionary Dictionary::duplicate_deep(int64_t p_deep_subresources_mode) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, DICT_DUPLICATE);
	return engine_double::internal::duplicate_dictionary(*this, true, 0);
}

void Dictionary::merge(const Dictionary &p_dictionary, bool p_overwrite) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Dictionary is in read-only state.");
	// Iterate a snapshot: p_dictionary may be this dictionary.
	const engine_double::internal::VariantMap source = p_dictionary._p->map;
	for (const VariantMapEntry *entry = source.first(); entry; entry = entry->next) {
		Variant key = entry->key;
		Variant value = entry->value;
		ERR_FAIL_COND(!_p->typed_key.validate(key, "merge"));
		ERR_FAIL_COND(!_p->typed_value.validate(value, "merge"));
		if (p_overwrite || !_p->map.find(key)) {
			operator[](key) = value;
		}
	}
}

Dictionary Dictionary::merged(const Dictionary &p_dictionary, bool p_overwrite) const {
	ENGINE_DOUBLE_CROSSINGS(2);
	Dictionary result = duplicate();
	result.merge(p_dictionary, p_overwrite);
	return result;
}

void Dictionary::assign(const Dictionary &p_dictionary) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	using engine_double::internal::ContainerType;
	const ContainerType &typed_key = _p->typed_key;
	const ContainerType &typed_value = _p->typed_value;
	const ContainerType &source_key = p_dictionary._p->typed_key;
	const ContainerType &source_value = p_dictionary._p->typed_value;

	const bool keys_as_is = typed_key == source_key || typed_key.type == Variant::NIL;
	const bool values_as_is = typed_value == source_value || typed_value.type == Variant::NIL;
	if (keys_as_is && values_as_is) {
		_p->map = engine_double::internal::VariantMap(p_dictionary._p->map);
		return;
	}
	const String contents_error = "Cannot assign contents of 'Dictionary[" + Variant::get_type_name(source_key.type) + ", " + Variant::get_type_name(source_value.type) + "]' to 'Dictionary[" + Variant::get_type_name(typed_key.type) + ", " + Variant::get_type_name(typed_value.type) + "]'.";

	std::vector<Variant> keys;
	std::vector<Variant> values;
	for (const VariantMapEntry *entry = p_dictionary._p->map.first(); entry; entry = entry->next) {
		keys.push_back(entry->key);
		values.push_back(entry->value);
	}
	// Keys, then values, each converted the engine's way; any failure leaves this unchanged.
	for (int pass = 0; pass < 2; pass++) {
		const ContainerType &typed = pass == 0 ? typed_key : typed_value;
		const ContainerType &source = pass == 0 ? source_key : source_value;
		std::vector<Variant> &items = pass == 0 ? keys : values;
		if (typed == source || typed.type == Variant::NIL) {
			continue;
		}
		if (source.type == Variant::NIL && typed.type == Variant::OBJECT) {
			for (size_t i = 0; i < items.size(); i++) {
				const Variant &item = items[i];
				if (item.get_type() != Variant::NIL && (item.get_type() != Variant::OBJECT || !typed.validate_object(item, "assign"))) {
					if (pass == 0) {
						ERR_FAIL_MSG("Unable to convert key from '" + Variant::get_type_name(item.get_type()) + "' to '" + Variant::get_type_name(typed.type) + "'.");
					}
					ERR_FAIL_MSG("Unable to convert value at key '" + keys[i].stringify() + "' from '" + Variant::get_type_name(item.get_type()) + "' to '" + Variant::get_type_name(typed.type) + "'.");
				}
			}
			continue;
		}
		if (typed.type == Variant::OBJECT || source.type == Variant::OBJECT) {
			ERR_FAIL_MSG(contents_error);
		}
		if (source.type != Variant::NIL && !Variant::can_convert_strict(source.type, typed.type)) {
			ERR_FAIL_MSG(contents_error);
		}
		for (size_t i = 0; i < items.size(); i++) {
			Variant &item = items[i];
			if (item.get_type() == typed.type) {
				continue;
			}
			Variant converted;
			if (!Variant::can_convert_strict(item.get_type(), typed.type) || !engine_double::internal::construct_from(typed.type, item, converted)) {
				if (pass == 0) {
					ERR_FAIL_MSG("Unable to convert key from '" + Variant::get_type_name(item.get_type()) + "' to '" + Variant::get_type_name(typed.type) + "'.");
				}
				ERR_FAIL_MSG("Unable to convert value at key '" + keys[i].stringify() + "' from '" + Variant::get_type_name(item.get_type()) + "' to '" + Variant::get_type_name(typed.type) + "'.");
			}
			item = std::move(converted);
		}
	}
	engine_double::internal::VariantMap map;
	map.reserve(uint32_t(keys.size()));
	for (size_t i = 0; i < keys.size(); i++) {
		bool inserted = false;
		VariantMapEntry *entry = map.insert(keys[i], values[i], inserted);
		if (!inserted) {
			// Converted keys may collide (1.5 and 1.2 both become 1): the last value wins.
			entry->value = values[i];
		}
	}
	_p->map = map;
}

void Dictionary::sort() {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Dictionary is in read-only state.");
	std::vector<VariantMapEntry *> entries;
	for (VariantMapEntry *entry = _p->map.first(); entry; entry = entry->next) {
		entries.push_back(entry);
	}
	SortArray<VariantMapEntry *, EntryKeyLess> sorter;
	sorter.sort(entries.data(), int64_t(entries.size()));
	_p->map.relink(entries.data(), uint32_t(entries.size()));
}

bool Dictionary::recursive_equal(const Dictionary &p_dictionary, int64_t p_recursion_count) const {
	ENGINE_DOUBLE_CROSSING;
	if (_p == p_dictionary._p) {
		return true;
	}
	if (_p->map.size() != p_dictionary._p->map.size()) {
		return false;
	}
	if (p_recursion_count > engine_double::internal::MAX_RECURSION) {
		ERR_PRINT("Max recursion reached");
		return true;
	}
	for (const VariantMapEntry *entry = _p->map.first(); entry; entry = entry->next) {
		const VariantMapEntry *other = p_dictionary._p->map.find(entry->key);
		if (!other || !entry->value.hash_compare(other->value, int(p_recursion_count + 1), false)) {
			return false;
		}
	}
	return true;
}

bool Dictionary::is_typed() const {
	ENGINE_DOUBLE_CROSSING;
	return is_typed_key() || is_typed_value();
}

bool Dictionary::is_typed_key() const {
	ENGINE_DOUBLE_CROSSING;
	return _p->typed_key.type != Variant::NIL;
}

bool Dictionary::is_typed_value() const {
	ENGINE_DOUBLE_CROSSING;
	return _p->typed_value.type != Variant::NIL;
}

bool Dictionary::is_same_typed(const Dictionary &p_dictionary) const {
	ENGINE_DOUBLE_CROSSING;
	return is_same_typed_key(p_dictionary) && is_same_typed_value(p_dictionary);
}

bool Dictionary::is_same_typed_key(const Dictionary &p_dictionary) const {
	ENGINE_DOUBLE_CROSSING;
	return _p->typed_key == p_dictionary._p->typed_key;
}

bool Dictionary::is_same_typed_value(const Dictionary &p_dictionary) const {
	ENGINE_DOUBLE_CROSSING;
	return _p->typed_value == p_dictionary._p->typed_value;
}

int64_t Dictionary::get_typed_key_builtin() const {
	ENGINE_DOUBLE_CROSSING;
	return _p->typed_key.type;
}

int64_t Dictionary::get_typed_value_builtin() const {
	ENGINE_DOUBLE_CROSSING;
	return _p->typed_value.type;
}

StringName Dictionary::get_typed_key_class_name() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return _p->typed_key.class_name;
}

StringName Dictionary::get_typed_value_class_name() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return _p->typed_value.class_name;
}

Variant Dictionary::get_typed_key_script() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return _p->typed_key.script;
}

Variant Dictionary::get_typed_value_script() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return _p->typed_value.script;
}

void Dictionary::set_typed(uint32_t p_key_type, const StringName &p_key_class_name, const Variant &p_key_script, uint32_t p_value_type, const StringName &p_value_class_name, const Variant &p_value_script) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Dictionary is in read-only state.");
	ERR_FAIL_COND_MSG(_p->map.size() > 0, "Type can only be set when dictionary is empty.");
	ERR_FAIL_COND_MSG(_p->refcount.load() > 1, "Type can only be set when dictionary has no more than one user.");
	ERR_FAIL_COND_MSG(_p->typed_key.type != Variant::NIL || _p->typed_value.type != Variant::NIL, "Type can only be set once.");
	ERR_FAIL_COND_MSG((p_key_class_name != StringName() && p_key_type != Variant::OBJECT) || (p_value_class_name != StringName() && p_value_type != Variant::OBJECT), "Class names can only be set for type OBJECT.");
	ERR_FAIL_COND_MSG(p_key_type >= Variant::VARIANT_MAX || p_value_type >= Variant::VARIANT_MAX, "Invalid element type.");
	const bool key_script = p_key_script.get_type() == Variant::OBJECT && p_key_script.get_validated_object() != nullptr;
	ERR_FAIL_COND_MSG(key_script && p_key_class_name == StringName(), "Script class can only be set together with base class name.");
	const bool value_script = p_value_script.get_type() == Variant::OBJECT && p_value_script.get_validated_object() != nullptr;
	ERR_FAIL_COND_MSG(value_script && p_value_class_name == StringName(), "Script class can only be set together with base class name.");

	_p->typed_key.type = Variant::Type(p_key_type);
	_p->typed_key.class_name = p_key_class_name;
	_p->typed_key.script = key_script ? p_key_script : Variant();
	_p->typed_key.where = "TypedDictionary.Key";
	_p->typed_value.type = Variant::Type(p_value_type);
	_p->typed_value.class_name = p_value_class_name;
	_p->typed_value.script = value_script ? p_value_script : Variant();
	_p->typed_value.where = "TypedDictionary.Value";
}

void Dictionary::make_read_only() {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	if (!_p->read_only) {
		_p->read_only = std::make_unique<Variant>();
	}
}

bool Dictionary::is_read_only() const {
	ENGINE_DOUBLE_CROSSING;
	return _p->read_only != nullptr;
}

bool Dictionary::operator==(const Dictionary &p_other) const {
	ENGINE_DOUBLE_CROSSING;
	return recursive_equal(p_other, 0);
}

bool Dictionary::operator!=(const Dictionary &p_other) const {
	ENGINE_DOUBLE_CROSSING;
	return !recursive_equal(p_other, 0);
}

// godot-cpp evaluates these against a nil right-hand side, whatever the Variant holds.
bool Dictionary::operator==(const Variant &) const {
	ENGINE_DOUBLE_CROSSING;
	return false;
}

bool Dictionary::operator!=(const Variant &) const {
	ENGINE_DOUBLE_CROSSING;
	return true;
}

bool Dictionary::operator!() const {
	ENGINE_DOUBLE_CROSSING;
	return is_empty();
}

} // namespace godot

namespace engine_double::internal {

godot::Dictionary duplicate_dictionary(const godot::Dictionary &p_dictionary, bool p_deep, int p_recursion_count) {
	godot::Dictionary result;
	DictionaryData *source = p_dictionary._get_data();
	DictionaryData *target = result._get_data();
	target->typed_key = source->typed_key;
	target->typed_value = source->typed_value;
	if (p_recursion_count > MAX_RECURSION) {
		ERR_PRINT("Max recursion reached");
		return result;
	}
	// The engine inserts every entry into a new map, deep or not.
	charge_engine_work(Cost::DICT_COPY_ENTRY, source->map.size());
	if (p_recursion_count > 0) {
		charge_engine_work(Cost::NESTED_CONTAINER);
	}
	if (!p_deep) {
		target->map = source->map;
		return result;
	}
	// A snapshot, so nothing the copies do can disturb the iteration.
	const VariantMap snapshot = source->map;
	target->map.reserve(snapshot.size());
	for (const VariantMapEntry *entry = snapshot.first(); entry; entry = entry->next) {
		bool inserted = false;
		VariantMapEntry *copy = target->map.insert(duplicate_variant(entry->key, true, p_recursion_count + 1), godot::Variant(), inserted);
		copy->value = duplicate_variant(entry->value, true, p_recursion_count + 1);
	}
	return result;
}

} // namespace engine_double::internal
