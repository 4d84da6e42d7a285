// Who a crossing belongs to: the caller of the engine, or the script method the engine runs.

#include "objects_fixture.hpp"

#include <engine_double/crossings.hpp>

using namespace godot;

namespace {

class CrossingSides : public ObjectsTest {};

TEST_F(CrossingSides, AScriptBodysCrossingsAreTheScripts) {
	Ref<engine_double::ScriptDouble> script = engine_double::ScriptDouble::create("res://scripts/world/path_service.gd");
	script->method("twice", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
		return int64_t(p_call[0]) * 2; // one conversion and one construction
	});
	Ref<RefCounted> service = script->instantiate();
	Object *object = service.ptr();
	const Variant argument = int64_t(21);
	const StringName twice("twice");
	const engine_double::CrossingReader reader;
	const Variant answer = object->call(twice, argument);
	// The method name and the argument built and destroyed, the return slot and the call.
	EXPECT_EQ(reader.caller(), 4u + 2u);
	EXPECT_GE(reader.script(), 2u); // and whatever std::function adds moving the answer out
	EXPECT_EQ(reader.plugin(), 0u);
	EXPECT_EQ(int64_t(answer), 42);
}

TEST_F(CrossingSides, AnEngineClassesPropertyCostsTheReaderOnlyTheRead) {
	Ref<engine_double::ScriptDouble> script = engine_double::ScriptDouble::create("res://scripts/world/path_service.gd");
	const StringName resource_path("resource_path");
	const engine_double::CrossingReader reader;
	{
		// As a plug-in's method reads it: the getter runs inside the engine.
		const engine_double::internal::CrossingFrame frame(engine_double::internal::CROSSING_PLUGIN);
		const Variant path = script->get(resource_path);
	}
	// The return slot and the call, then the answer destroyed.
	EXPECT_EQ(reader.plugin(), 3u);
	EXPECT_EQ(reader.script(), 0u);
}

} // namespace
