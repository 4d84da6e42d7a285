#pragma once

// Reads a class reference (Godot's doc_classes/<Class>.xml layout) into plain records, and
// refuses a file whose structure the editor help would misread: unknown sections, a method
// without a name or description, parameters out of index order, a method documented twice.

#include "xml_subset_reader.hpp"

#include <string>
#include <vector>

struct ParameterReference {
	std::string name;
	std::string type;
};

struct MethodReference {
	std::string name;
	std::string qualifiers;
	std::string return_type; // "void" when the file gives no <return>
	std::vector<ParameterReference> parameters; // in index order
	std::string description; // trimmed
};

struct ClassReference {
	std::string name;
	std::string inherits;
	std::string brief_description; // trimmed
	std::string description; // trimmed
	std::vector<MethodReference> methods; // in file order

	const MethodReference *method(const std::string &p_name) const;
};

bool read_class_reference(const std::string &p_source, ClassReference &r_reference, std::string &r_error);
