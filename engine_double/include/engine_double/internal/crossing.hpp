#pragma once

// Engine crossings: in godot-cpp nearly every operation on an engine value is a call through
// an interface pointer into the engine. The double's values are plain C++, so each public
// operation that would be such a call counts itself here instead, on the calling thread.
// The engine's own work never counts: an operation made while another is running (depth > 0)
// belongs to the engine. Script method bodies and plug-in methods reset the depth and count
// on their own side (CrossingFrame).
//
// Each counted operation also adds what the engine would spend on it (COST_TABLE below), so
// a reading gives modelled engine nanoseconds beside the count: a uniform count weighs a
// Variant's type test like a Dictionary insertion, which in the engine costs thirty times as
// much. Calls into a script method charge their dispatch to the script's side, with the body.

#include <godot_cpp/core/defs.hpp>

#include <cstddef>
#include <cstdint>

namespace engine_double::internal {

enum CrossingSide : uint32_t {
	CROSSING_CALLER, // tests, benchmarks, the host: whoever calls the engine from outside
	CROSSING_PLUGIN, // inside a method bound by a plug-in
	CROSSING_SCRIPT, // inside a script method body
	CROSSING_SIDE_COUNT,
};

// What a counted operation is, for its modelled cost.
enum class Cost : uint8_t {
	CALL,
	DEFERRED,
	VARIANT_PLAIN,
	VARIANT_REF,
	VARIANT_ASSIGN,
	VARIANT_TYPE,
	VARIANT_TO_PLAIN,
	VARIANT_TO_STRING_NAME,
	VARIANT_TO_HANDLE,
	STRING_NAME_FROM_CHARS,
	STRING_NAME_FROM_STRING,
	STRING_NAME_COPY,
	STRING_NAME_RELEASE,
	STRING_NAME_COMPARE,
	STRING_FROM_CHARS,
	STRING_COPY,
	STRING_RELEASE,
	STRING_COMPARE,
	STRING_BUILD,
	DICT_NEW,
	DICT_COPY,
	DICT_RELEASE,
	DICT_GET,
	DICT_HAS,
	DICT_READ,
	DICT_WRITE,
	DICT_INSERT,
	DICT_DUPLICATE,
	DICT_COPY_ENTRY,
	ARRAY_NEW,
	ARRAY_COPY,
	ARRAY_RELEASE,
	ARRAY_SIZE,
	ARRAY_READ,
	ARRAY_APPEND,
	ARRAY_DUPLICATE,
	ARRAY_COPY_ELEMENT,
	ARRAY_TYPED,
	NESTED_CONTAINER,
	OBJECT_GET_MEMBER,
	OBJECT_GET_PROPERTY,
	OBJECT_GET_ABSENT,
	OBJECT_SET,
	OBJECT_CALL,
	SCRIPT_DISPATCH,
	SCRIPT_DISPATCH_ARGUMENT,
	CALLABLE_CALL,
	OBJECT_DB_GET,
	GET_SCRIPT,
	IS_SAME,
	VAR_TO_BYTES,
	ENCODE_ELEMENT,
	HELD_ALLOCATION,
	COUNT,
};

struct CostRow {
	Cost kind;
	uint32_t ns;
	const char *name;
	// Heap blocks the operation allocates, each of which also costs a HELD_ALLOCATION when
	// the work is the plug-in's or a script's (see that row).
	uint32_t allocations = 0;
};

// Modelled engine nanoseconds per operation, from a release engine's measurements (best of
// five rounds, the empty loop subtracted; read them as magnitudes, +-30 %). A measured
// figure usually covers a pair of calls (made and destroyed, copied and released): it is
// split between them. Rows marked "derived" were not measured; the reason follows.
// clang-format off
inline constexpr CostRow COST_TABLE[] = {
	{ Cost::CALL, 10, "call" },                                         // derived: a builtin method with no row of its own; most are small reads or tests, between Array::size (3) and Dictionary::has (24)
	{ Cost::DEFERRED, 0, "deferred" },                                  // a call whose cost is charged once its work is known (Object::get: where the name was found)
	{ Cost::VARIANT_PLAIN, 2, "variant_plain" },                        // Variant(int64_t) made and destroyed 3.5, per call; also a plain copy
	{ Cost::VARIANT_REF, 7, "variant_ref" },                            // a Variant holding a StringName copied and destroyed 15, per call; any reference payload
	{ Cost::VARIANT_ASSIGN, 4, "variant_assign" },                      // derived: Dictionary operator[] assignment (26) less the operator's own 22
	{ Cost::VARIANT_TYPE, 1, "variant_type" },                          // Variant::get_type() 1.1
	{ Cost::VARIANT_TO_PLAIN, 5, "variant_to_plain" },                  // int64_t(Variant) 7 and Array operator[] read as an int 5.6, shared with the read's 1
	{ Cost::VARIANT_TO_STRING_NAME, 5, "variant_to_string_name" },      // StringName s = variant 13, less the name's release
	{ Cost::VARIANT_TO_HANDLE, 18, "variant_to_handle" },               // derived: a Dictionary, Array or String taken out of a Variant is a handle copy (Dictionary handle copied 39, less its release)
	{ Cost::STRING_NAME_FROM_CHARS, 21, "string_name_from_chars" },     // StringName(const char *) 29, less the release
	{ Cost::STRING_NAME_FROM_STRING, 73, "string_name_from_string" },   // StringName(const String &) 81 (the name table's lock, the text hashed), less the release
	{ Cost::STRING_NAME_COPY, 19, "string_name_copy" },                 // StringName copy and release 27
	{ Cost::STRING_NAME_RELEASE, 8, "string_name_release" },            // derived: 29 - 21 and 27 - 19; a release of an interned name does not free it
	{ Cost::STRING_NAME_COMPARE, 2, "string_name_compare" },            // StringName == StringName 2
	{ Cost::STRING_FROM_CHARS, 45, "string_from_chars", 1 },            // derived: String == String("alpha") 79 less its compare and release; the text is decoded and allocated
	{ Cost::STRING_COPY, 10, "string_copy" },                           // derived: a reference count, as a StringName copy without the name table
	{ Cost::STRING_RELEASE, 14, "string_release" },                     // derived: the "(" + num + ")" row (310) spread over its two texts, one number, two joins and five releases
	{ Cost::STRING_COMPARE, 20, "string_compare" },                     // derived: String == String("alpha") 79 less the temporary's construction and release
	{ Cost::STRING_BUILD, 50, "string_build", 1 },                      // derived: a String made by the engine (num_int64, a join, substr): the same 310 row
	{ Cost::DICT_NEW, 22, "dict_new", 1 },                              // new empty Dictionary made and released 43, per call
	{ Cost::DICT_COPY, 18, "dict_copy" },                               // Dictionary handle copied 39, less the release
	{ Cost::DICT_RELEASE, 21, "dict_release" },                         // the other half of 43
	{ Cost::DICT_GET, 40, "dict_get" },                                 // Dictionary::get(Variant key, default) 46, less the default's and the answer's Variants; from a StringName key 59 adds that key's Variant
	{ Cost::DICT_HAS, 22, "dict_has" },                                 // Dictionary::has 24, less the key's Variant
	{ Cost::DICT_READ, 23, "dict_read" },                               // const operator[] of a present key 23
	{ Cost::DICT_WRITE, 22, "dict_write" },                             // operator[] assignment of an existing key 26, less the assignment
	{ Cost::DICT_INSERT, 47, "dict_insert", 1 },                        // added to a write that inserts: 14 insertions 1,100-1,500, each with its key's Variant, write and assignment
	{ Cost::DICT_DUPLICATE, 40, "dict_duplicate", 1 },                  // derived: duplicate's own call, a new Dictionary made (43)
	{ Cost::DICT_COPY_ENTRY, 145, "dict_copy_entry", 1 },               // duplicate(true) of 17 int entries 2,000-3,100: per entry (the new map allocates each)
	{ Cost::ARRAY_NEW, 15, "array_new", 1 },                            // new Array with one append 78, split between construction, append and release; keys() and values() add an element copy per entry
	{ Cost::ARRAY_COPY, 18, "array_copy" },                             // derived: a handle copy, as the Dictionary's
	{ Cost::ARRAY_RELEASE, 20, "array_release" },                       // the third of 78
	{ Cost::ARRAY_SIZE, 3, "array_size" },                              // Array::size() 3
	{ Cost::ARRAY_READ, 1, "array_read" },                              // const Array & operator[] read as an int 5.6, with its conversion (5)
	{ Cost::ARRAY_APPEND, 25, "array_append" },                         // the append of 78 less its argument's Variant; it allocates the storage (later appends grow it)
	{ Cost::ARRAY_DUPLICATE, 75, "array_duplicate", 1 },                // Array::duplicate(false) of 1,024 ints 97, whatever the size (copy on write), less the copy's release; the copy is a new Array (its shared storage is not copied)
	{ Cost::ARRAY_COPY_ELEMENT, 15, "array_copy_element" },             // derived: a deep copy's element in an Array: a Variant copy (7) written into storage allocated once
	{ Cost::ARRAY_TYPED, 2, "array_typed" },                            // new TypedArray<StringName> 47, less a new Array's construction and release, its class name and script arguments
	{ Cost::NESTED_CONTAINER, 45, "nested_container", 1 },              // derived: each container a deep copy makes inside the copied one, as a new Dictionary (43)
	{ Cost::OBJECT_GET_MEMBER, 16, "object_get_member" },               // Object::get of a script member 18, less the answer's Variant
	{ Cost::OBJECT_GET_PROPERTY, 90, "object_get_property" },           // derived: an engine class's property (a getter through the class's table): absent 30 plus a getter's call and its answer; the 280 script-path check sums with it
	{ Cost::OBJECT_GET_ABSENT, 28, "object_get_absent" },               // Object::get of a name the object does not have 30
	{ Cost::OBJECT_SET, 17, "object_set" },                             // Object::set of a script member 17
	{ Cost::OBJECT_CALL, 6, "object_call" },                            // Object::call 77 with no arguments, less the script's dispatch and the call's own Variants
	{ Cost::SCRIPT_DISPATCH, 65, "script_dispatch" },                   // Object::call of a script method: 77 / 88 / 144 for 0 / 1 / 3 arguments; on the script's side
	{ Cost::SCRIPT_DISPATCH_ARGUMENT, 18, "script_dispatch_argument" }, // per argument of the same row (the arguments' Variants apart)
	{ Cost::CALLABLE_CALL, 80, "callable_call" },                       // Callable::call of a script method 115-230 (one argument), less the script's dispatch
	{ Cost::OBJECT_DB_GET, 23, "object_db_get" },                       // ObjectDB::get_instance 23; a Variant's object tested for liveness too
	{ Cost::GET_SCRIPT, 50, "get_script" },                             // derived: the script-path check 280 less its property read, String compare, Variants and releases: a reference taken out of the object
	{ Cost::IS_SAME, 7, "is_same" },                                    // UtilityFunctions::is_same 7.5
	{ Cost::VAR_TO_BYTES, 700, "var_to_bytes" },                        // derived: var_to_bytes of 1,024 ints 12,000-14,000 less its elements: the buffer's allocation and the answer
	{ Cost::ENCODE_ELEMENT, 12, "encode_element" },                     // the same row, per element encoded
	{ Cost::HELD_ALLOCATION, 90, "held_allocation" },                   // calibrated on the guest batch's same-run ratio to its deep copies (2.6): every figure above comes from a loop that frees each block at once, so malloc hands the same cached block back; a method's blocks are kept (its answer, the service's state) and come from memory out of cache, about three misses. Not charged to the caller (tests, benchmarks: such loops)
};
// clang-format on

constexpr bool cost_table_in_order() {
	for (size_t i = 0; i < sizeof(COST_TABLE) / sizeof(COST_TABLE[0]); i++) {
		if (size_t(COST_TABLE[i].kind) != i) {
			return false;
		}
	}
	return sizeof(COST_TABLE) / sizeof(COST_TABLE[0]) == size_t(Cost::COUNT);
}
static_assert(cost_table_in_order(), "COST_TABLE has one row per Cost, in the enum's order");

constexpr uint32_t cost_ns(Cost p_kind) {
	return COST_TABLE[size_t(p_kind)].ns;
}

// Plain data: MinGW may release a thread's emulated storage before thread-local
// destructors run, so nothing here may need construction or destruction.
struct CrossingState {
	uint64_t counts[CROSSING_SIDE_COUNT];
	uint64_t nanoseconds[CROSSING_SIDE_COUNT];
	// Operations of each kind, by side: where modelled time goes.
	uint64_t kinds[CROSSING_SIDE_COUNT][size_t(Cost::COUNT)];
	uint32_t depth;
	uint32_t side;
};

inline void add_cost(CrossingState &r_state, Cost p_kind, uint64_t p_units) {
	r_state.nanoseconds[r_state.side] += p_units * cost_ns(p_kind);
	r_state.kinds[r_state.side][size_t(p_kind)] += p_units;
	const uint64_t allocations = p_units * COST_TABLE[size_t(p_kind)].allocations;
	if (allocations != 0 && r_state.side != CROSSING_CALLER) {
		r_state.nanoseconds[r_state.side] += allocations * cost_ns(Cost::HELD_ALLOCATION);
		r_state.kinds[r_state.side][size_t(Cost::HELD_ALLOCATION)] += allocations;
	}
}

#ifdef _WIN32
// MinGW emulates thread-local data per module, and a plug-in carries its own copy of that
// runtime: a DLL's thread-local variable cannot be reached from another module's code, so
// every module asks the double for the calling thread's state.
ENGINE_DOUBLE_API CrossingState &crossing_state_of_thread();
#else
// Zero-initialised plain data: no TLS wrapper call, one segment-relative access.
extern ENGINE_DOUBLE_API ENGINE_DOUBLE_THREAD_LOCAL CrossingState crossing_state;
inline CrossingState &crossing_state_of_thread() {
	return crossing_state;
}
#endif

// One call into the engine costing p_count crossings (a method that builds its returned
// value in the engine costs 2: the return slot's construction and the call). Without a
// kind, each crossing is modelled as a plain builtin call.
class Crossing {
	bool _counted;

public:
	explicit Crossing(uint32_t p_count = 1) {
		CrossingState &state = crossing_state_of_thread();
		_counted = state.depth++ == 0;
		if (_counted) {
			state.counts[state.side] += p_count;
			add_cost(state, Cost::CALL, p_count);
		}
	}
	explicit Crossing(Cost p_kind, uint32_t p_count = 1) {
		CrossingState &state = crossing_state_of_thread();
		_counted = state.depth++ == 0;
		if (_counted) {
			state.counts[state.side] += p_count;
			add_cost(state, p_kind, 1);
		}
	}
	~Crossing() { --crossing_state_of_thread().depth; }
	Crossing(const Crossing &) = delete;
	Crossing &operator=(const Crossing &) = delete;

	// Work this call turned out to do (an insertion, entries copied), when it counted.
	void charge(Cost p_kind, uint64_t p_units = 1) const {
		if (_counted) {
			add_cost(crossing_state_of_thread(), p_kind, p_units);
		}
	}
};

// Crossings that happen only when the engine is not already running (no scope to hold).
inline void count_crossings(uint32_t p_count) {
	CrossingState &state = crossing_state_of_thread();
	if (state.depth == 0) {
		state.counts[state.side] += p_count;
		add_cost(state, Cost::CALL, p_count);
	}
}

inline void count_crossings(uint32_t p_count, Cost p_kind) {
	CrossingState &state = crossing_state_of_thread();
	if (state.depth == 0) {
		state.counts[state.side] += p_count;
		add_cost(state, p_kind, 1);
	}
}

inline void count_crossing(Cost p_kind) {
	count_crossings(1, p_kind);
}

// The engine's work inside a counted operation (each element a var_to_bytes encodes, each
// entry a deep copy makes), charged to whoever made that operation; nothing outside one.
inline void charge_engine_work(Cost p_kind, uint64_t p_units = 1) {
	CrossingState &state = crossing_state_of_thread();
	if (state.depth > 0) {
		add_cost(state, p_kind, p_units);
	}
}

// Code outside the engine called by the engine: a plug-in method or a script method body.
class CrossingFrame {
	uint32_t _depth;
	uint32_t _side;

public:
	explicit CrossingFrame(CrossingSide p_side) {
		CrossingState &state = crossing_state_of_thread();
		_depth = state.depth;
		_side = state.side;
		state.depth = 0;
		state.side = p_side;
	}
	// A script method's body: the engine's dispatch into it (argument checks, the
	// function's frame) is the script's cost, as a profile of the engine counts it.
	CrossingFrame(CrossingSide p_side, int p_argument_count) :
	        CrossingFrame(p_side) {
		CrossingState &state = crossing_state_of_thread();
		add_cost(state, Cost::SCRIPT_DISPATCH, 1);
		add_cost(state, Cost::SCRIPT_DISPATCH_ARGUMENT, uint64_t(p_argument_count > 0 ? p_argument_count : 0));
	}
	~CrossingFrame() {
		CrossingState &state = crossing_state_of_thread();
		state.depth = _depth;
		state.side = _side;
	}
	CrossingFrame(const CrossingFrame &) = delete;
	CrossingFrame &operator=(const CrossingFrame &) = delete;
};

} // namespace engine_double::internal

#define ENGINE_DOUBLE_CROSSING ::engine_double::internal::Crossing engine_double_crossing_
#define ENGINE_DOUBLE_CROSSINGS(m_count) ::engine_double::internal::Crossing engine_double_crossing_(m_count)
// A call of a kind with a row of its own in COST_TABLE.
#define ENGINE_DOUBLE_COSTED(m_kind) ::engine_double::internal::Crossing engine_double_crossing_(::engine_double::internal::Cost::m_kind)
#define ENGINE_DOUBLE_COSTED_CROSSINGS(m_count, m_kind) ::engine_double::internal::Crossing engine_double_crossing_(::engine_double::internal::Cost::m_kind, m_count)
#define ENGINE_DOUBLE_CHARGE(m_kind, m_units) engine_double_crossing_.charge(::engine_double::internal::Cost::m_kind, m_units)
