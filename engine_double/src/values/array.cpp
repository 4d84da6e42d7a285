// Array: a shared handle to elements, with the engine's checks and error texts.

#include "array_data.hpp"
#include "duplicate.hpp"
#include "random.hpp"
#include "variant_access.hpp"
#include <engine_double/internal/crossing.hpp>

#include <engine_double/write_epoch.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/templates/sort_array.hpp>

#include <algorithm>

namespace godot {

using engine_double::internal::ArrayData;

namespace {

void release(ArrayData *p_data) {
	if (p_data && p_data->refcount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
		delete p_data;
	}
}

struct VariantLess {
	bool operator()(const Variant &p_a, const Variant &p_b) const {
		bool valid = false;
		Variant result;
		Variant::evaluate(Variant::OP_LESS, p_a, p_b, result, valid);
		return valid && result.booleanize();
	}
};

struct CallableLess {
	Callable callable;
	bool operator()(const Variant &p_a, const Variant &p_b) const {
		const Variant *arguments[2] = { &p_a, &p_b };
		return callable.callp(arguments, 2).booleanize();
	}
};

Variant call_one(const Callable &p_callable, const Variant &p_argument) {
	const Variant *arguments[1] = { &p_argument };
	return p_callable.callp(arguments, 1);
}

const char *const OUT_OF_RANGE = "Array::operator[] index out of range (the engine would crash)";

} // namespace

Array::Array() :
        _p(nullptr) {
	ENGINE_DOUBLE_COSTED(ARRAY_NEW);
	_p = new ArrayData;
}

Array::Array(const Array &p_other) :
        _p(p_other._p) {
	ENGINE_DOUBLE_COSTED(ARRAY_COPY);
	_p->refcount.fetch_add(1, std::memory_order_relaxed);
}

Array::Array(Array &&p_other) noexcept :
        _p(p_other._p) {
	_p->refcount.fetch_add(1, std::memory_order_relaxed);
}

Array &Array::operator=(const Array &p_other) {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, ARRAY_COPY);
	ENGINE_DOUBLE_CHARGE(ARRAY_RELEASE, 1);
	_ref(p_other);
	return *this;
}

Array &Array::operator=(Array &&p_other) noexcept {
	_ref(p_other);
	return *this;
}

Array::~Array() {
	ENGINE_DOUBLE_COSTED(ARRAY_RELEASE);
	release(_p);
}

void Array::_ref(const Array &p_from) const {
	if (p_from._p == _p) {
		return;
	}
	p_from._p->refcount.fetch_add(1, std::memory_order_relaxed);
	release(_p);
	_p = p_from._p;
}

Array::Array(std::initializer_list<Variant> p_init) :
        _p(nullptr) {
	ENGINE_DOUBLE_COSTED(ARRAY_NEW);
	_p = new ArrayData;
	_p->array.assign(p_init.begin(), p_init.end());
}

Array::Array(const Array &p_base, int64_t p_type, const StringName &p_class_name, const Variant &p_script) :
        _p(nullptr) {
	ENGINE_DOUBLE_COSTED(ARRAY_NEW);
	_p = new ArrayData;
	set_typed(uint32_t(p_type), p_class_name, p_script);
	assign(p_base);
}

int64_t Array::size() const {
	ENGINE_DOUBLE_COSTED(ARRAY_SIZE);
	return int64_t(_p->array.size());
}

bool Array::is_empty() const {
	ENGINE_DOUBLE_COSTED(ARRAY_SIZE);
	return _p->array.empty();
}

void Array::clear() {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Array is in read-only state.");
	_p->array.clear();
}

Variant Array::get(int64_t p_index) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, VARIANT_REF);
	// The bound getter's check, worded as the engine prints it.
	if (p_index < 0 || p_index >= size()) {
		_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, p_index, size(), "p_index", "p_instance->size()");
		return Variant();
	}
	return _p->array[size_t(p_index)];
}

void Array::set(int64_t p_index, const Variant &p_value) {
	ENGINE_DOUBLE_CROSSING;
	if (p_index < 0 || p_index >= size()) {
		_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, p_index, size(), "p_index", "p_instance->size()");
		return;
	}
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Array is in read-only state.");
	Variant value = p_value;
	ERR_FAIL_COND(!_p->typed.validate(value, "set"));
	_p->array[size_t(p_index)] = std::move(value);
}

const Variant &Array::operator[](int64_t p_index) const {
	ENGINE_DOUBLE_COSTED(ARRAY_READ);
	if (p_index < 0 || p_index >= size()) {
		ERR_PRINT(OUT_OF_RANGE);
		static const Variant nil;
		return nil;
	}
	return _p->array[size_t(p_index)];
}

Variant &Array::operator[](int64_t p_index) {
	ENGINE_DOUBLE_COSTED(ARRAY_READ);
	engine_double::internal::note_write(_p->birth);
	if (p_index < 0 || p_index >= size()) {
		ERR_PRINT(OUT_OF_RANGE);
		static thread_local Variant scratch;
		scratch = Variant();
		return scratch;
	}
	if (_p->read_only) {
		// The engine hands out a copy; writing to it changes nothing.
		*_p->read_only = _p->array[size_t(p_index)];
		return *_p->read_only;
	}
	return _p->array[size_t(p_index)];
}

const Variant *Array::ptr() const {
	ENGINE_DOUBLE_COSTED(ARRAY_READ);
	return _p->array.data();
}

Variant *Array::ptrw() {
	ENGINE_DOUBLE_COSTED(ARRAY_READ);
	engine_double::internal::note_write(_p->birth);
	return _p->array.data();
}

const Variant *Array::begin() const {
	ENGINE_DOUBLE_COSTED(ARRAY_READ);
	return _p->array.data();
}

const Variant *Array::end() const {
	ENGINE_DOUBLE_COSTED(ARRAY_READ);
	return _p->array.data() + _p->array.size();
}

Variant *Array::begin() {
	ENGINE_DOUBLE_COSTED(ARRAY_READ);
	engine_double::internal::note_write(_p->birth);
	return _p->array.data();
}

Variant *Array::end() {
	ENGINE_DOUBLE_COSTED(ARRAY_READ);
	engine_double::internal::note_write(_p->birth);
	return _p->array.data() + _p->array.size();
}

void Array::append(const Variant &p_value) {
	ENGINE_DOUBLE_COSTED(ARRAY_APPEND);
	push_back(p_value);
}

void Array::push_back(const Variant &p_value) {
	ENGINE_DOUBLE_COSTED(ARRAY_APPEND);
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Array is in read-only state.");
	Variant value = p_value;
	ERR_FAIL_COND(!_p->typed.validate(value, "push_back"));
	_p->array.push_back(std::move(value));
}

void Array::push_front(const Variant &p_value) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Array is in read-only state.");
	Variant value = p_value;
	ERR_FAIL_COND(!_p->typed.validate(value, "push_front"));
	_p->array.insert(_p->array.begin(), std::move(value));
}

void Array::append_array(const Array &p_array) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Array is in read-only state.");
	// Copy first: p_array may be this array.
	std::vector<Variant> validated_array = p_array._p->array;
	if (is_typed() && _p->typed != p_array._p->typed) {
		for (Variant &item : validated_array) {
			ERR_FAIL_COND(!_p->typed.validate(item, "append_array"));
		}
	}
	_p->array.insert(_p->array.end(), validated_array.begin(), validated_array.end());
}

int64_t Array::insert(int64_t p_pos, const Variant &p_value) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_V_MSG(_p->read_only, ERR_LOCKED, "Array is in read-only state.");
	Variant value = p_value;
	ERR_FAIL_COND_V(!_p->typed.validate(value, "insert"), ERR_INVALID_PARAMETER);
	if (p_pos < 0) {
		p_pos = size() + p_pos;
	}
	ERR_FAIL_INDEX_V_MSG(p_pos, size() + 1, ERR_INVALID_PARAMETER, "The calculated index " + itos(p_pos) + " is out of bounds (the array has " + itos(size()) + " elements). Leaving the array untouched.");
	_p->array.insert(_p->array.begin() + p_pos, std::move(value));
	return OK;
}

void Array::remove_at(int64_t p_pos) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Array is in read-only state.");
	if (p_pos < 0) {
		p_pos = size() + p_pos;
	}
	ERR_FAIL_INDEX_MSG(p_pos, size(), "The calculated index " + itos(p_pos) + " is out of bounds (the array has " + itos(size()) + " elements). Leaving the array untouched.");
	_p->array.erase(_p->array.begin() + p_pos);
}

void Array::erase(const Variant &p_value) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Array is in read-only state.");
	Variant value = p_value;
	ERR_FAIL_COND(!_p->typed.validate(value, "erase"));
	// Strict equality: a StringName does not erase the String of the same text.
	for (size_t i = 0; i < _p->array.size(); i++) {
		if (_p->array[i].hash_compare(value)) {
			_p->array.erase(_p->array.begin() + int64_t(i));
			return;
		}
	}
}

void Array::fill(const Variant &p_value) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Array is in read-only state.");
	Variant value = p_value;
	ERR_FAIL_COND(!_p->typed.validate(value, "fill"));
	std::fill(_p->array.begin(), _p->array.end(), value);
}

int64_t Array::resize(int64_t p_size) {
	ENGINE_DOUBLE_COSTED(ARRAY_APPEND);
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_V_MSG(_p->read_only, ERR_LOCKED, "Array is in read-only state.");
	ERR_FAIL_COND_V(p_size < 0, ERR_INVALID_PARAMETER);
	ERR_FAIL_COND_V(p_size > (int64_t(1) << 31), ERR_OUT_OF_MEMORY);
	const size_t old_size = _p->array.size();
	_p->array.resize(size_t(p_size));
	const Variant::Type element = _p->typed.type;
	if (element != Variant::NIL && element != Variant::OBJECT) {
		for (size_t i = old_size; i < _p->array.size(); i++) {
			_p->array[i] = engine_double::internal::type_default(element);
		}
	}
	return OK;
}

Variant Array::pop_back() {
	ENGINE_DOUBLE_CROSSINGS(2);
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_V_MSG(_p->read_only, Variant(), "Array is in read-only state.");
	if (_p->array.empty()) {
		return Variant();
	}
	Variant result = std::move(_p->array.back());
	_p->array.pop_back();
	return result;
}

Variant Array::pop_front() {
	ENGINE_DOUBLE_CROSSINGS(2);
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_V_MSG(_p->read_only, Variant(), "Array is in read-only state.");
	if (_p->array.empty()) {
		return Variant();
	}
	Variant result = std::move(_p->array.front());
	_p->array.erase(_p->array.begin());
	return result;
}

Variant Array::pop_at(int64_t p_position) {
	ENGINE_DOUBLE_CROSSINGS(2);
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_V_MSG(_p->read_only, Variant(), "Array is in read-only state.");
	if (_p->array.empty()) {
		return Variant();
	}
	if (p_position < 0) {
		p_position = size() + p_position;
	}
	ERR_FAIL_INDEX_V_MSG(p_position, size(), Variant(), "The calculated index " + itos(p_position) + " is out of bounds (the array has " + itos(size()) + " elements). Leaving the array untouched and returning `null`.");
	Variant result = std::move(_p->array[size_t(p_position)]);
	_p->array.erase(_p->array.begin() + p_position);
	return result;
}

Variant Array::front() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	ERR_FAIL_COND_V_MSG(_p->array.empty(), Variant(), "Can't take value from empty array.");
	return _p->array.front();
}

Variant Array::back() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	ERR_FAIL_COND_V_MSG(_p->array.empty(), Variant(), "Can't take value from empty array.");
	return _p->array.back();
}

Variant Array::pick_random() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	ERR_FAIL_COND_V_MSG(_p->array.empty(), Variant(), "Can't take value from empty array.");
	return _p->array[engine_double::internal::random_u32() % _p->array.size()];
}

bool Array::has(const Variant &p_value) const {
	ENGINE_DOUBLE_CROSSING;
	Variant value = p_value;
	ERR_FAIL_COND_V(!_p->typed.validate(value, "use 'has' with"), false);
	return find(value) != -1;
}

int64_t Array::find(const Variant &p_what, int64_t p_from) const {
	ENGINE_DOUBLE_CROSSING;
	if (_p->array.empty()) {
		return -1;
	}
	Variant value = p_what;
	ERR_FAIL_COND_V(!_p->typed.validate(value, "find"), -1);
	if (p_from < 0) {
		return -1;
	}
	for (int64_t i = p_from; i < size(); i++) {
		if (_p->array[size_t(i)].string_like_compare(value)) {
			return i;
		}
	}
	return -1;
}

int64_t Array::rfind(const Variant &p_what, int64_t p_from) const {
	ENGINE_DOUBLE_CROSSING;
	if (_p->array.empty()) {
		return -1;
	}
	Variant value = p_what;
	ERR_FAIL_COND_V(!_p->typed.validate(value, "rfind"), -1);
	if (p_from < 0) {
		p_from = size() + p_from;
	}
	if (p_from < 0 || p_from >= size()) {
		p_from = size() - 1;
	}
	for (int64_t i = p_from; i >= 0; i--) {
		if (_p->array[size_t(i)].string_like_compare(value)) {
			return i;
		}
	}
	return -1;
}

int64_t Array::find_custom(const Callable &p_method, int64_t p_from) const {
	ENGINE_DOUBLE_CROSSING;
	if (p_from < 0) {
		return -1;
	}
	for (int64_t i = p_from; i < size(); i++) {
		const Variant result = call_one(p_method, _p->array[size_t(i)]);
		ERR_FAIL_COND_V_MSG(result.get_type() != Variant::BOOL, -1, "Error on method from 'find_custom': Return type of callable must be boolean.");
		if (result.booleanize()) {
			return i;
		}
	}
	return -1;
}

int64_t Array::rfind_custom(const Callable &p_method, int64_t p_from) const {
	ENGINE_DOUBLE_CROSSING;
	if (_p->array.empty()) {
		return -1;
	}
	if (p_from < 0) {
		p_from = size() + p_from;
	}
	if (p_from < 0 || p_from >= size()) {
		p_from = size() - 1;
	}
	for (int64_t i = p_from; i >= 0; i--) {
		const Variant result = call_one(p_method, _p->array[size_t(i)]);
		ERR_FAIL_COND_V_MSG(result.get_type() != Variant::BOOL, -1, "Error on method from 'rfind_custom': Return type of callable must be boolean.");
		if (result.booleanize()) {
			return i;
		}
	}
	return -1;
}

int64_t Array::count(const Variant &p_value) const {
	ENGINE_DOUBLE_CROSSING;
	Variant value = p_value;
	ERR_FAIL_COND_V(!_p->typed.validate(value, "count"), 0);
	int64_t result = 0;
	for (const Variant &item : _p->array) {
		result += item.string_like_compare(value) ? 1 : 0;
	}
	return result;
}

void Array::sort() {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Array is in read-only state.");
	SortArray<Variant, VariantLess> sorter;
	sorter.sort(_p->array.data(), size());
}

void Array::sort_custom(const Callable &p_func) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Array is in read-only state.");
	// The elements are sorted in a copy so that a comparator touching the array cannot
	// invalidate what is being sorted.
	std::vector<Variant> items = _p->array;
	SortArray<Variant, CallableLess, true> sorter;
	sorter.compare.callable = p_func;
	sorter.sort(items.data(), int64_t(items.size()));
	_p->array = std::move(items);
}

void Array::shuffle() {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Array is in read-only state.");
	for (int64_t i = size() - 1; i >= 1; i--) {
		const int64_t j = int64_t(engine_double::internal::random_u32() % uint32_t(i + 1));
		std::swap(_p->array[size_t(i)], _p->array[size_t(j)]);
	}
}

void Array::reverse() {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Array is in read-only state.");
	std::reverse(_p->array.begin(), _p->array.end());
}

int64_t Array::bsearch(const Variant &p_value, bool p_before) const {
	ENGINE_DOUBLE_CROSSING;
	Variant value = p_value;
	ERR_FAIL_COND_V(!_p->typed.validate(value, "binary search"), -1);
	VariantLess less;
	int64_t low = 0;
	int64_t high = size();
	while (low < high) {
		const int64_t middle = (low + high) / 2;
		const bool go_right = p_before ? less(_p->array[size_t(middle)], value) : !less(value, _p->array[size_t(middle)]);
		if (go_right) {
			low = middle + 1;
		} else {
			high = middle;
		}
	}
	return low;
}

int64_t Array::bsearch_custom(const Variant &p_value, const Callable &p_func, bool p_before) const {
	ENGINE_DOUBLE_CROSSING;
	Variant value = p_value;
	ERR_FAIL_COND_V(!_p->typed.validate(value, "custom binary search"), -1);
	CallableLess less { p_func };
	int64_t low = 0;
	int64_t high = size();
	while (low < high) {
		const int64_t middle = (low + high) / 2;
		const Variant item = _p->array[size_t(middle)];
		const bool go_right = p_before ? less(item, value) : !less(value, item);
		if (go_right) {
			low = middle + 1;
		} else {
			high = middle;
		}
	}
	return low;
}

Array Array::duplicate(bool p_deep) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, ARRAY_DUPLICATE);
	return engine_double::internal::duplicate_array(*this, p_deep, 0);
}

Array Array::duplicate_deep(int64_t p_deep_subresources_mode) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, ARRAY_DUPLICATE);
	return engine_double::internal::duplicate_array(*this, true, 0);
}

Array Array::slice(int64_t p_begin, int64_t p_end, int64_t p_step, bool p_deep) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, ARRAY_DUPLICATE);
	Array result;
	result._p->typed = _p->typed;
	ERR_FAIL_COND_V_MSG(p_step == 0, result, "Slice step cannot be zero.");
	const int64_t s = size();
	if (s == 0 || (p_begin < -s && p_step < 0) || (p_begin >= s && p_step > 0)) {
		return result;
	}
	int64_t begin = std::clamp(p_begin, -s, s - 1);
	if (begin < 0) {
		begin += s;
	}
	int64_t end = std::clamp(p_end, -s - 1, s);
	if (end < 0) {
		end += s;
	}
	ERR_FAIL_COND_V_MSG(p_step > 0 && begin > end, result, "Slice step is positive, but bounds are decreasing.");
	ERR_FAIL_COND_V_MSG(p_step < 0 && begin < end, result, "Slice step is negative, but bounds are increasing.");
	const int64_t count = (end - begin) / p_step + (((end - begin) % p_step != 0) ? 1 : 0);
	result._p->array.reserve(size_t(count));
	for (int64_t i = 0, source = begin; i < count; i++, source += p_step) {
		const Variant &item = _p->array[size_t(source)];
		result._p->array.push_back(p_deep ? engine_double::internal::duplicate_variant(item, true, 1) : item);
	}
	return result;
}

void Array::assign(const Array &p_array) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	const engine_double::internal::ContainerType &typed = _p->typed;
	const engine_double::internal::ContainerType &source_typed = p_array._p->typed;
	if (typed == source_typed || typed.type == Variant::NIL) {
		_p->array = std::vector<Variant>(p_array._p->array);
		return;
	}
	const std::vector<Variant> source = p_array._p->array;
	if (source_typed.type == Variant::NIL && typed.type == Variant::OBJECT) {
		for (size_t i = 0; i < source.size(); i++) {
			const Variant &element = source[i];
			if (element.get_type() != Variant::NIL && (element.get_type() != Variant::OBJECT || !typed.validate_object(element, "assign"))) {
				ERR_FAIL_MSG("Unable to convert array index " + itos(int64_t(i)) + " from '" + Variant::get_type_name(element.get_type()) + "' to '" + Variant::get_type_name(typed.type) + "'.");
			}
		}
		_p->array = source;
		return;
	}
	if (typed.type == Variant::OBJECT || source_typed.type == Variant::OBJECT) {
		ERR_FAIL_MSG("Cannot assign contents of 'Array[" + Variant::get_type_name(source_typed.type) + "]' to 'Array[" + Variant::get_type_name(typed.type) + "]'.");
	}
	std::vector<Variant> converted(source.size());
	if (source_typed.type == Variant::NIL) {
		for (size_t i = 0; i < source.size(); i++) {
			const Variant &value = source[i];
			if (value.get_type() == typed.type) {
				converted[i] = value;
				continue;
			}
			if (!Variant::can_convert_strict(value.get_type(), typed.type) || !engine_double::internal::construct_from(typed.type, value, converted[i])) {
				ERR_FAIL_MSG("Unable to convert array index " + itos(int64_t(i)) + " from '" + Variant::get_type_name(value.get_type()) + "' to '" + Variant::get_type_name(typed.type) + "'.");
			}
		}
	} else if (Variant::can_convert_strict(source_typed.type, typed.type)) {
		for (size_t i = 0; i < source.size(); i++) {
			if (!engine_double::internal::construct_from(typed.type, source[i], converted[i])) {
				ERR_FAIL_MSG("Unable to convert array index " + itos(int64_t(i)) + " from '" + Variant::get_type_name(source[i].get_type()) + "' to '" + Variant::get_type_name(typed.type) + "'.");
			}
		}
	} else {
		ERR_FAIL_MSG("Cannot assign contents of 'Array[" + Variant::get_type_name(source_typed.type) + "]' to 'Array[" + Variant::get_type_name(typed.type) + "]'.");
	}
	_p->array = std::move(converted);
}

Array Array::filter(const Callable &p_method) const {
	ENGINE_DOUBLE_CROSSINGS(2);
	Array result;
	result._p->typed = _p->typed;
	const std::vector<Variant> items = _p->array;
	for (const Variant &item : items) {
		if (call_one(p_method, item).booleanize()) {
			result._p->array.push_back(item);
		}
	}
	return result;
}

Array Array::map(const Callable &p_method) const {
	ENGINE_DOUBLE_CROSSINGS(2);
	Array result;
	const std::vector<Variant> items = _p->array;
	for (const Variant &item : items) {
		result._p->array.push_back(call_one(p_method, item));
	}
	return result;
}

Variant Array::reduce(const Callable &p_method, const Variant &p_accum) const {
	ENGINE_DOUBLE_CROSSINGS(2);
	const std::vector<Variant> items = _p->array;
	size_t start = 0;
	Variant accumulator = p_accum;
	if (accumulator.get_type() == Variant::NIL && !items.empty()) {
		accumulator = items[0];
		start = 1;
	}
	for (size_t i = start; i < items.size(); i++) {
		const Variant *arguments[2] = { &accumulator, &items[i] };
		accumulator = p_method.callp(arguments, 2);
	}
	return accumulator;
}

bool Array::any(const Callable &p_method) const {
	ENGINE_DOUBLE_CROSSING;
	const std::vector<Variant> items = _p->array;
	for (const Variant &item : items) {
		if (call_one(p_method, item).booleanize()) {
			return true;
		}
	}
	return false;
}

bool Array::all(const Callable &p_method) const {
	ENGINE_DOUBLE_CROSSING;
	const std::vector<Variant> items = _p->array;
	for (const Variant &item : items) {
		if (!call_one(p_method, item).booleanize()) {
			return false;
		}
	}
	return true;
}

Variant Array::max() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	if (_p->array.empty()) {
		return Variant();
	}
	size_t best = 0;
	for (size_t i = 1; i < _p->array.size(); i++) {
		bool valid = false;
		Variant greater;
		Variant::evaluate(Variant::OP_GREATER, _p->array[i], _p->array[best], greater, valid);
		if (!valid) {
			return Variant();
		}
		if (greater.booleanize()) {
			best = i;
		}
	}
	return _p->array[best];
}

Variant Array::min() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	if (_p->array.empty()) {
		return Variant();
	}
	size_t best = 0;
	for (size_t i = 1; i < _p->array.size(); i++) {
		bool valid = false;
		Variant less;
		Variant::evaluate(Variant::OP_LESS, _p->array[i], _p->array[best], less, valid);
		if (!valid) {
			return Variant();
		}
		if (less.booleanize()) {
			best = i;
		}
	}
	return _p->array[best];
}

bool Array::is_typed() const {
	ENGINE_DOUBLE_CROSSING;
	return _p->typed.type != Variant::NIL;
}

bool Array::is_same_typed(const Array &p_array) const {
	ENGINE_DOUBLE_CROSSING;
	return _p->typed == p_array._p->typed;
}

int64_t Array::get_typed_builtin() const {
	ENGINE_DOUBLE_CROSSING;
	return _p->typed.type;
}

StringName Array::get_typed_class_name() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return _p->typed.class_name;
}

Variant Array::get_typed_script() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return _p->typed.script;
}

void Array::set_typed(uint32_t p_type, const StringName &p_class_name, const Variant &p_script) {
	ENGINE_DOUBLE_COSTED(ARRAY_TYPED);
	engine_double::internal::note_write(_p->birth);
	ERR_FAIL_COND_MSG(_p->read_only, "Array is in read-only state.");
	ERR_FAIL_COND_MSG(_p->array.size() > 0, "Type can only be set when array is empty.");
	ERR_FAIL_COND_MSG(_p->refcount.load() > 1, "Type can only be set when array has no more than one user.");
	ERR_FAIL_COND_MSG(_p->typed.type != Variant::NIL, "Type can only be set once.");
	ERR_FAIL_COND_MSG(p_class_name != StringName() && p_type != Variant::OBJECT, "Class names can only be set for type OBJECT");
	ERR_FAIL_COND_MSG(p_type >= Variant::VARIANT_MAX, "Invalid element type.");
	const bool has_script = p_script.get_type() == Variant::OBJECT && p_script.get_validated_object() != nullptr;
	ERR_FAIL_COND_MSG(has_script && p_class_name == StringName(), "Script class can only be set together with base class name");
	_p->typed.type = Variant::Type(p_type);
	_p->typed.class_name = p_class_name;
	_p->typed.script = has_script ? p_script : Variant();
	_p->typed.where = "TypedArray";
}

void Array::make_read_only() {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_p->birth);
	if (!_p->read_only) {
		_p->read_only = std::make_unique<Variant>();
	}
}

bool Array::is_read_only() const {
	ENGINE_DOUBLE_CROSSING;
	return _p->read_only != nullptr;
}

int64_t Array::hash() const {
	ENGINE_DOUBLE_CROSSING;
	return Variant(*this).hash();
}

bool Array::recursive_equal(const Array &p_array, int64_t p_recursion_count) const {
	ENGINE_DOUBLE_CROSSING;
	if (_p == p_array._p) {
		return true;
	}
	if (_p->array.size() != p_array._p->array.size()) {
		return false;
	}
	if (p_recursion_count > engine_double::internal::MAX_RECURSION) {
		ERR_PRINT("Max recursion reached");
		return true;
	}
	for (size_t i = 0; i < _p->array.size(); i++) {
		// Element equality is strict and NaN is not NaN here.
		if (!_p->array[i].hash_compare(p_array._p->array[i], int(p_recursion_count + 1), false)) {
			return false;
		}
	}
	return true;
}

bool Array::operator==(const Array &p_other) const {
	ENGINE_DOUBLE_CROSSING;
	return recursive_equal(p_other, 0);
}

bool Array::operator!=(const Array &p_other) const {
	ENGINE_DOUBLE_CROSSING;
	return !recursive_equal(p_other, 0);
}

bool Array::operator<(const Array &p_other) const {
	ENGINE_DOUBLE_CROSSING;
	const size_t common = std::min(_p->array.size(), p_other._p->array.size());
	for (size_t i = 0; i < common; i++) {
		if (_p->array[i] < p_other._p->array[i]) {
			return true;
		}
		if (p_other._p->array[i] < _p->array[i]) {
			return false;
		}
	}
	return _p->array.size() < p_other._p->array.size();
}

bool Array::operator<=(const Array &p_other) const {
	ENGINE_DOUBLE_CROSSING;
	return !(p_other < *this);
}

bool Array::operator>(const Array &p_other) const {
	ENGINE_DOUBLE_CROSSING;
	return p_other < *this;
}

bool Array::operator>=(const Array &p_other) const {
	ENGINE_DOUBLE_CROSSING;
	return !(*this < p_other);
}

// godot-cpp evaluates these against a nil right-hand side, whatever the Variant holds.
bool Array::operator==(const Variant &) const {
	ENGINE_DOUBLE_CROSSING;
	return false;
}

bool Array::operator!=(const Variant &) const {
	ENGINE_DOUBLE_CROSSING;
	return true;
}

Array Array::operator+(const Array &p_other) const {
	ENGINE_DOUBLE_CROSSINGS(2);
	Array result;
	if (is_same_typed(p_other)) {
		result._p->typed = _p->typed;
	}
	result._p->array = _p->array;
	result._p->array.insert(result._p->array.end(), p_other._p->array.begin(), p_other._p->array.end());
	return result;
}

bool Array::operator!() const {
	ENGINE_DOUBLE_CROSSING;
	return is_empty();
}

} // namespace godot

namespace engine_double::internal {

godot::Array duplicate_array(const godot::Array &p_array, bool p_deep, int p_recursion_count) {
	godot::Array result;
	ArrayData *source = p_array._get_data();
	ArrayData *target = result._get_data();
	target->typed = source->typed;
	if (p_recursion_count > MAX_RECURSION) {
		ERR_PRINT("Max recursion reached");
		return result;
	}
	if (p_recursion_count > 0) {
		charge_engine_work(Cost::NESTED_CONTAINER);
	}
	if (!p_deep) {
		// Copy on write: the elements are shared until one side writes.
		target->array = source->array;
		return result;
	}
	charge_engine_work(Cost::ARRAY_COPY_ELEMENT, source->array.size());
	const std::vector<godot::Variant> items = source->array;
	target->array.reserve(items.size());
	for (const godot::Variant &item : items) {
		target->array.push_back(duplicate_variant(item, true, p_recursion_count + 1));
	}
	return result;
}

godot::Variant duplicate_variant(const godot::Variant &p_value, bool p_deep, int p_recursion_count) {
	switch (p_value.get_type()) {
		case godot::Variant::ARRAY:
			return duplicate_array(godot::VariantAccess::payload<godot::Array>(p_value), p_deep, p_recursion_count);
		case godot::Variant::DICTIONARY:
			return duplicate_dictionary(godot::VariantAccess::payload<godot::Dictionary>(p_value), p_deep, p_recursion_count);
		default:
			return p_value.duplicate(p_deep);
	}
}

} // namespace engine_double::internal
