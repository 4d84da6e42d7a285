#include "call_error_text.hpp"

#include "callable_data.hpp"
#include "object_state.hpp"
#include "script_definition.hpp"

namespace engine_double::internal {

namespace {

godot::String itos(int64_t p_value) {
	return godot::String::num_int64(p_value);
}

// The attached ScriptDouble, or nullptr.
const ScriptDouble *attached_script(const godot::Object *p_object) {
	const godot::Variant &script = ObjectAccess::state(p_object).script;
	return godot::Object::cast_to<ScriptDouble>(script.get_validated_object());
}

bool is_resource_file(const godot::String &p_path) {
	return p_path.begins_with("res://") && p_path.find("::") == -1;
}

} // namespace

godot::String call_error_text(const godot::Object *p_base, const godot::StringName &p_method, const godot::Variant *const *p_args, int p_argcount, const GDExtensionCallError &p_error) {
	godot::String text;
	switch (p_error.error) {
		case GDEXTENSION_CALL_ERROR_INVALID_ARGUMENT: {
			const int argument = p_error.argument;
			const godot::String from = (p_args != nullptr && argument >= 0 && argument < p_argcount) ? godot::Variant::get_type_name(p_args[argument]->get_type()) : godot::String("[missing argptr, type unknown]");
			text = "Cannot convert argument " + itos(argument + 1) + " from " + from + " to " + godot::Variant::get_type_name(godot::Variant::Type(p_error.expected));
		} break;
		case GDEXTENSION_CALL_ERROR_TOO_MANY_ARGUMENTS:
		case GDEXTENSION_CALL_ERROR_TOO_FEW_ARGUMENTS:
			text = "Method expected " + itos(p_error.expected) + " argument(s), but called with " + itos(p_argcount);
			break;
		case GDEXTENSION_CALL_ERROR_INVALID_METHOD:
			text = "Method not found";
			break;
		case GDEXTENSION_CALL_ERROR_INSTANCE_IS_NULL:
			text = "Instance is null";
			break;
		case GDEXTENSION_CALL_ERROR_METHOD_NOT_CONST:
			text = "Method not const in const instance";
			break;
		case GDEXTENSION_CALL_OK:
			return "Call OK";
	}
	godot::String base;
	if (p_base != nullptr) {
		base = p_base->get_class();
		const ScriptDouble *script = attached_script(p_base);
		if (script != nullptr && is_resource_file(script->get_path())) {
			base += "(" + script_file_name(script->get_path()) + ")";
		}
		base += "::";
	}
	return "'" + base + godot::String(p_method) + "': " + text;
}

godot::String callable_error_text(const godot::Callable &p_callable, const godot::Variant *const *p_args, int p_argcount, const GDExtensionCallError &p_error) {
	const int unbound = int(p_callable.get_unbound_arguments_count());
	if (p_argcount - unbound < 0) {
		return "Callable unbinds " + itos(unbound) + " arguments, but called with " + itos(p_argcount);
	}
	const godot::Array binds = p_callable.get_bound_arguments();
	std::vector<const godot::Variant *> arguments;
	for (int i = 0; i < p_argcount - unbound; i++) {
		arguments.push_back(p_args[i]);
	}
	for (int64_t i = 0; i < binds.size(); i++) {
		arguments.push_back(&binds[i]);
	}
	return call_error_text(p_callable.get_object(), p_callable.get_method(), arguments.data(), int(arguments.size()), p_error);
}

godot::String script_call_error_text(const godot::Variant &p_base, const godot::StringName &p_method, const godot::Variant *const *p_args, int p_argcount, const GDExtensionCallError &p_error) {
	godot::String base;
	if (p_base.get_type() == godot::Variant::OBJECT) {
		const godot::Object *object = p_base.get_validated_object();
		if (object == nullptr) {
			base = p_base._object_id() != 0 ? "previously freed" : "null instance";
		} else {
			base = object->get_class();
			const ScriptDouble *script = attached_script(object);
			if (script != nullptr) {
				base += " (" + script_display_name(script) + ")";
			}
		}
	} else {
		base = godot::Variant::get_type_name(p_base.get_type());
	}
	const godot::String where = "function '" + godot::String(p_method) + "' in base '" + base + "'";
	switch (p_error.error) {
		case GDEXTENSION_CALL_ERROR_INVALID_ARGUMENT: {
			const int argument = p_error.argument;
			const godot::String from = (argument >= 0 && argument < p_argcount) ? godot::Variant::get_type_name(p_args[argument]->get_type()) : godot::String("Nil");
			return "Invalid type in " + where + ". Cannot convert argument " + itos(argument + 1) + " from " + from + " to " + godot::Variant::get_type_name(godot::Variant::Type(p_error.expected)) + ".";
		}
		case GDEXTENSION_CALL_ERROR_INVALID_METHOD:
			return "Invalid call. Nonexistent " + where + ".";
		case GDEXTENSION_CALL_ERROR_TOO_MANY_ARGUMENTS:
		case GDEXTENSION_CALL_ERROR_TOO_FEW_ARGUMENTS:
			return "Invalid call to " + where + ". Expected " + itos(p_error.expected) + " argument(s).";
		case GDEXTENSION_CALL_ERROR_INSTANCE_IS_NULL:
			return "Attempt to call " + where + " on a null instance.";
		case GDEXTENSION_CALL_ERROR_METHOD_NOT_CONST:
			return "Attempt to call " + where + " on a const instance.";
		case GDEXTENSION_CALL_OK:
			break;
	}
	return godot::String();
}

} // namespace engine_double::internal
