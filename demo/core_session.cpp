#include "core_session.hpp"

#include <engine_double/error_log.hpp>

#include <algorithm>

using namespace godot;

namespace veltrin_demo {

namespace {

const char *const ENTRY_SYMBOL = "veltrin_numeric_core_init";
const char *const CORE_CLASS = "VeltrinNumericCore";

std::string last_engine_error(const std::string &p_fallback) {
	const std::vector<std::string> errors = engine_double::error_log_messages();
	return errors.empty() ? p_fallback : errors.back();
}

} // namespace

CoreSession::~CoreSession() {
	// The core must go before its library is closed.
	core = Variant();
	if (host.is_loaded()) {
		host.unload();
	}
}

bool CoreSession::open(const std::string &p_library_path, std::string &r_error) {
	if (!host.load(p_library_path, ENTRY_SYMBOL)) {
		r_error = last_engine_error("cannot load " + p_library_path);
		return false;
	}
	host.initialize(MODULE_INITIALIZATION_LEVEL_SCENE);
	for (const engine_double::ClassListing &listing : host.classes()) {
		if (listing.name == StringName(CORE_CLASS)) {
			for (const engine_double::MethodListing &method : listing.methods) {
				methods.push_back(method.name);
			}
		}
	}
	core = host.instantiate(CORE_CLASS);
	if (core.get_type() != Variant::OBJECT) {
		r_error = last_engine_error(std::string("the plug-in registers no ") + CORE_CLASS);
		return false;
	}
	return true;
}

Variant CoreSession::call(const char *p_method, const std::vector<Variant> &p_arguments) const {
	return host.call(core, p_method, p_arguments);
}

bool CoreSession::has_method(const char *p_method) const {
	return std::find(methods.begin(), methods.end(), StringName(p_method)) != methods.end();
}

} // namespace veltrin_demo
