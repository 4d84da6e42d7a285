#pragma once

// The answers a bound method gives when it does not do the work itself, and the guard
// that keeps every C++ exception inside the plug-in: the engine's C interface cannot
// carry one, and a game must never terminate because of a script's input.

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

// {"supported": false}: the calling script does the work itself.
godot::Dictionary declined_answer();

// {"status": "unusable"}: the answer of the search entry points when they cannot search.
godot::Dictionary unusable_answer();

template <typename Work>
godot::Dictionary guarded_call(Work &&p_work, godot::Dictionary (*p_fallback)()) noexcept {
	try {
		return p_work();
	} catch (...) {
	}
	try {
		return p_fallback();
	} catch (...) {
		return godot::Dictionary();
	}
}

} // namespace veltrin
