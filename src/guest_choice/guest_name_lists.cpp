#include "guest_choice/guest_name_lists.hpp"

#include <godot_cpp/templates/sort_array.hpp>
#include <godot_cpp/variant/string.hpp>

using namespace godot;

namespace veltrin {

namespace {

struct SortableName {
	StringName name;
	String text;
};

// StringName order is by pointer in the engine, so names sort by their String form.
struct SortableNameOrder {
	bool operator()(const SortableName &p_a, const SortableName &p_b) const {
		return p_a.text < p_b.text;
	}
};

bool is_string_like(const Variant &p_value) {
	const Variant::Type type = p_value.get_type();
	return type == Variant::STRING || type == Variant::STRING_NAME;
}

} // namespace

bool guest_names_supported(const Variant &p_value) {
	if (p_value.get_type() != Variant::ARRAY) {
		return true;
	}
	const Array names = p_value;
	const int64_t count = names.size();
	for (int64_t i = 0; i < count; i++) {
		if (!is_string_like(names[i])) {
			return false;
		}
	}
	return true;
}

std::vector<StringName> guest_name_list(const Variant &p_value) {
	std::vector<StringName> names;
	if (p_value.get_type() != Variant::ARRAY) {
		return names;
	}
	const Array source = p_value;
	const int64_t count = source.size();
	names.reserve(size_t(count));
	for (int64_t i = 0; i < count; i++) {
		const StringName name = source[i];
		if (!name.is_empty() && !guest_names_contain(names, name)) {
			names.push_back(name);
		}
	}
	if (names.size() > 1) {
		std::vector<SortableName> sortable;
		sortable.reserve(names.size());
		for (const StringName &name : names) {
			sortable.push_back(SortableName { name, String(name) });
		}
		SortArray<SortableName, SortableNameOrder> sorter;
		sorter.sort(sortable.data(), int64_t(sortable.size()));
		for (size_t i = 0; i < sortable.size(); i++) {
			names[i] = sortable[i].name;
		}
	}
	return names;
}

Array guest_names(const Variant &p_value) {
	Array result;
	for (const StringName &name : guest_name_list(p_value)) {
		result.push_back(name);
	}
	return result;
}

std::vector<StringName> guest_name_elements(const Array &p_names) {
	const int64_t count = p_names.size();
	std::vector<StringName> names;
	names.reserve(size_t(count));
	for (int64_t i = 0; i < count; i++) {
		names.push_back(p_names[i]);
	}
	return names;
}

bool guest_names_contain(const std::vector<StringName> &p_names, const StringName &p_name) {
	for (const StringName &name : p_names) {
		if (name == p_name) {
			return true;
		}
	}
	return false;
}

} // namespace veltrin
