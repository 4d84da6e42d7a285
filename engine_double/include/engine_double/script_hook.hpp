#pragma once

// A test's hand inside every script method call, to play a game script that misbehaves in
// the middle of a plug-in's call: the hook runs before a method's body and after it,
// including the getters, setters, _get and _set that a property read or write runs. Before
// the body it may free the object, replace its script, change any container, call back into
// a plug-in or choose the answer itself (then the body does not run); after the body it may
// do the same and replace the answer (a wrong type, or nil as a script error leaves it).
// A body whose object was freed or given another script by the hook does not run; the
// hook runs after it in every case.
//
//     engine_double::script_hook_set([&](engine_double::ScriptHookCall &r_call) {
//         if (r_call.point == engine_double::ScriptHookPoint::AFTER && r_call.method == StringName("get_guest")) {
//             memdelete(guest);
//         }
//     });
//     ...
//     engine_double::script_hook_set(nullptr);

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <functional>

namespace engine_double {

enum class ScriptHookPoint {
	BEFORE,
	AFTER,
};

// What runs the method: a call by name, or a read or write of a property (its getter or
// setter, or the script's _get or _set for a name it does not declare).
enum class ScriptHookAccess {
	CALL,
	GET,
	SET,
};

struct ScriptHookCall {
	// The object whose method runs, by id: it may be gone once the hook has run.
	uint64_t object_id = 0;
	godot::StringName method;
	ScriptHookPoint point = ScriptHookPoint::BEFORE;
	// The answer: set it BEFORE (with skip_body) or replace it AFTER.
	godot::Variant *result = nullptr;
	// BEFORE only: answer *result without running the body.
	bool skip_body = false;
	ScriptHookAccess access = ScriptHookAccess::CALL;
	// The property read or written (GET, SET); empty for a call.
	godot::StringName property;
};

using ScriptHook = std::function<void(ScriptHookCall &r_call)>;

// Installs p_hook for every script object (nullptr removes it). One hook at a time; it also
// runs for the script calls it makes itself.
ENGINE_DOUBLE_API void script_hook_set(ScriptHook p_hook);

// While on, the hook also runs around every read and write of a plain member (one with no
// getter or setter) through the engine API, as if each member had a getter and a setter that
// only read or store it: for fuzzers playing a game whose any member may run script. The
// call's method is empty; access and property name the read or write; skip_body leaves the
// member unread (the answer is *result) or unwritten. Nothing more is logged. Off at start.
ENGINE_DOUBLE_API void script_hook_every_member(bool p_enabled);

} // namespace engine_double
