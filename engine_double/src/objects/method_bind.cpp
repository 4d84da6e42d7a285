#include "class_registry.hpp"

#include <engine_double/internal/crossing.hpp>
#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/method_bind.hpp>

namespace godot {

MethodBind::MethodBind() = default;
MethodBind::~MethodBind() = default;

void MethodBind::set_argument_names(const std::vector<StringName> &p_names) {
	for (size_t i = 0; i < arguments.size(); i++) {
		arguments[i].name = i < p_names.size() ? p_names[i] : StringName();
	}
}

std::vector<StringName> MethodBind::get_argument_names() const {
	std::vector<StringName> names;
	for (const PropertyInfo &argument : arguments) {
		names.push_back(argument.name);
	}
	return names;
}

uint32_t MethodBind::get_hint_flags() const {
	return hint_flags | (_is_const ? METHOD_FLAG_CONST : 0) | (_is_vararg ? METHOD_FLAG_VARARG : 0) | (_is_static ? METHOD_FLAG_STATIC : 0);
}

Variant MethodBind::call(Object *p_instance, const Variant **p_args, int p_argcount, GDExtensionCallError &r_error) const {
	r_error.error = GDEXTENSION_CALL_OK;
	r_error.argument = 0;
	r_error.expected = 0;
	Variant result;
	if (call_function == nullptr) {
		r_error.error = GDEXTENSION_CALL_ERROR_INVALID_METHOD;
		return result;
	}
	if (p_instance == nullptr && !_is_static) {
		r_error.error = GDEXTENSION_CALL_ERROR_INSTANCE_IS_NULL;
		return result;
	}
	try {
		if (engine_double::internal::class_is_engine_method(this)) {
			// Runs inside the engine, under the crossing that reached it: nothing more counts.
			call_function(*this, p_instance, p_args, p_argcount, result, r_error);
		} else {
			// The binding's code is the plug-in's: its crossings count on the plug-in's side.
			const engine_double::internal::CrossingFrame frame(engine_double::internal::CROSSING_PLUGIN);
			call_function(*this, p_instance, p_args, p_argcount, result, r_error);
		}
	} catch (...) {
		_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Exception thrown by bound method '" + String(instance_class) + "::" + String(name) + "' (the engine would terminate).");
		result = Variant();
	}
	return result;
}

} // namespace godot
