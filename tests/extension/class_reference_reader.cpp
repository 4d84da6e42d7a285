#include "class_reference_reader.hpp"

#include <algorithm>
#include <initializer_list>

namespace {

std::string trimmed(const std::string &p_text) {
	const char *spaces = " \t\r\n";
	const size_t first = p_text.find_first_not_of(spaces);
	if (first == std::string::npos) {
		return std::string();
	}
	return p_text.substr(first, p_text.find_last_not_of(spaces) - first + 1);
}

bool fail(std::string &r_error, const std::string &p_what) {
	r_error = p_what;
	return false;
}

bool only_attributes(const XmlElement &p_element, std::initializer_list<const char *> p_allowed, std::string &r_error) {
	for (const auto &attribute : p_element.attributes) {
		if (std::find(p_allowed.begin(), p_allowed.end(), attribute.first) == p_allowed.end()) {
			return fail(r_error, "<" + p_element.name + "> has an unexpected attribute '" + attribute.first + "'");
		}
	}
	return true;
}

// Sections hold elements only; stray text means a tag went missing.
bool no_text(const XmlElement &p_element, std::string &r_error) {
	if (!trimmed(p_element.text).empty()) {
		return fail(r_error, "<" + p_element.name + "> holds stray text");
	}
	return true;
}

bool read_text_element(const XmlElement &p_element, std::string &r_text, std::string &r_error) {
	if (!p_element.attributes.empty() || !p_element.children.empty()) {
		return fail(r_error, "<" + p_element.name + "> must hold text only");
	}
	r_text = trimmed(p_element.text);
	return true;
}

bool read_method(const XmlElement &p_element, MethodReference &r_method, std::string &r_error) {
	if (!only_attributes(p_element, { "name", "qualifiers" }, r_error) || !no_text(p_element, r_error)) {
		return false;
	}
	const std::string *name = p_element.attribute("name");
	if (name == nullptr || name->empty()) {
		return fail(r_error, "a <method> without a name");
	}
	r_method.name = *name;
	const std::string *qualifiers = p_element.attribute("qualifiers");
	r_method.qualifiers = qualifiers != nullptr ? *qualifiers : std::string();
	r_method.return_type = "void";
	bool has_return = false;
	bool has_description = false;
	for (const XmlElement &child : p_element.children) {
		const std::string where = " in method '" + r_method.name + "'";
		if (child.name == "return") {
			const std::string *type = child.attribute("type");
			if (has_return || type == nullptr || type->empty() || !child.children.empty() || !only_attributes(child, { "type" }, r_error)) {
				return fail(r_error, "a bad or second <return>" + where);
			}
			has_return = true;
			r_method.return_type = *type;
		} else if (child.name == "param") {
			const std::string *index = child.attribute("index");
			const std::string *param_name = child.attribute("name");
			const std::string *type = child.attribute("type");
			if (index == nullptr || param_name == nullptr || type == nullptr || param_name->empty() || type->empty() || !child.children.empty() || !only_attributes(child, { "index", "name", "type", "default" }, r_error)) {
				return fail(r_error, "a <param> without index, name and type" + where);
			}
			if (*index != std::to_string(r_method.parameters.size())) {
				return fail(r_error, "<param> index " + *index + " out of order" + where);
			}
			r_method.parameters.push_back({ *param_name, *type });
		} else if (child.name == "description") {
			if (has_description) {
				return fail(r_error, "a second <description>" + where);
			}
			has_description = true;
			if (!read_text_element(child, r_method.description, r_error)) {
				return false;
			}
		} else {
			return fail(r_error, "unexpected <" + child.name + ">" + where);
		}
	}
	if (!has_description) {
		return fail(r_error, "method '" + r_method.name + "' has no <description>");
	}
	return true;
}

} // namespace

const MethodReference *ClassReference::method(const std::string &p_name) const {
	for (const MethodReference &entry : methods) {
		if (entry.name == p_name) {
			return &entry;
		}
	}
	return nullptr;
}

bool read_class_reference(const std::string &p_source, ClassReference &r_reference, std::string &r_error) {
	r_reference = ClassReference();
	XmlElement root;
	if (!read_xml(p_source, root, r_error)) {
		return false;
	}
	if (root.name != "class") {
		return fail(r_error, "the root element is <" + root.name + ">, not <class>");
	}
	if (!only_attributes(root, { "name", "inherits", "version", "xmlns:xsi", "xsi:noNamespaceSchemaLocation" }, r_error) || !no_text(root, r_error)) {
		return false;
	}
	const std::string *name = root.attribute("name");
	const std::string *inherits = root.attribute("inherits");
	if (name == nullptr || name->empty() || inherits == nullptr || inherits->empty()) {
		return fail(r_error, "<class> needs a name and what it inherits");
	}
	r_reference.name = *name;
	r_reference.inherits = *inherits;

	std::vector<std::string> seen;
	for (const XmlElement &section : root.children) {
		if (std::find(seen.begin(), seen.end(), section.name) != seen.end()) {
			return fail(r_error, "a second <" + section.name + ">");
		}
		seen.push_back(section.name);
		if (section.name == "brief_description") {
			if (!read_text_element(section, r_reference.brief_description, r_error)) {
				return false;
			}
		} else if (section.name == "description") {
			if (!read_text_element(section, r_reference.description, r_error)) {
				return false;
			}
		} else if (section.name == "methods") {
			if (!no_text(section, r_error)) {
				return false;
			}
			for (const XmlElement &entry : section.children) {
				if (entry.name != "method") {
					return fail(r_error, "unexpected <" + entry.name + "> in <methods>");
				}
				MethodReference method;
				if (!read_method(entry, method, r_error)) {
					return false;
				}
				if (r_reference.method(method.name) != nullptr) {
					return fail(r_error, "method '" + method.name + "' documented twice");
				}
				r_reference.methods.push_back(method);
			}
		} else if (section.name == "tutorials") {
			if (!no_text(section, r_error)) {
				return false;
			}
			for (const XmlElement &link : section.children) {
				if (link.name != "link" || link.attribute("title") == nullptr || !link.children.empty() || trimmed(link.text).empty()) {
					return fail(r_error, "<tutorials> holds only <link title=...>address</link>");
				}
			}
		} else if (section.name == "members" || section.name == "signals" || section.name == "constants") {
			// The class has none of these; an empty section is what the doctool writes.
			if (!section.children.empty() || !no_text(section, r_error)) {
				return fail(r_error, "<" + section.name + "> is expected to be empty");
			}
		} else {
			return fail(r_error, "unexpected section <" + section.name + ">");
		}
	}
	if (std::find(seen.begin(), seen.end(), "brief_description") == seen.end() || std::find(seen.begin(), seen.end(), "description") == seen.end()) {
		return fail(r_error, "<class> needs <brief_description> and <description>");
	}
	return true;
}
