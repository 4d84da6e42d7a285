// Script objects: what the plug-in sees of a GDScript instance and of its Script, and the
// call log that records every access.

#include "objects_fixture.hpp"

#include <engine_double/custom_callable.hpp>
#include <engine_double/script_hook.hpp>
#include <godot_cpp/classes/script.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

#include <stdexcept>
#include <string>
#include <vector>

using namespace godot;
using engine_double::ScriptDouble;
using ::testing::ElementsAre;

using ScriptObjects = ObjectsTest;

TEST_F(ScriptObjects, TheScriptIsAnObjectWithPathAndConstantMap) {
	Ref<RefCounted> service = path_service_script()->instantiate();
	const Variant script_variant = service->get_script();
	ASSERT_EQ(script_variant.get_type(), Variant::OBJECT);
	Object *script = script_variant;
	ASSERT_NE(script, nullptr);
	EXPECT_EQ(String(script->get("resource_path")), String("res://scripts/world/path_service.gd"));
	EXPECT_EQ(script->get_class(), String("GDScript"));

	EXPECT_TRUE(script->has_method("get_script_constant_map"));
	EXPECT_FALSE(script->has_method("_guest_tree_shared_edges"));
	EXPECT_TRUE(service->has_method("_guest_tree_shared_edges"));

	const Dictionary constants = script->call("get_script_constant_map");
	ASSERT_EQ(constants.size(), 3);
	const Array keys = constants.keys();
	EXPECT_EQ(keys[0].get_type(), Variant::STRING_NAME);
	EXPECT_EQ(text(keys), "[&\"FRONT\", &\"BACK\", &\"MOVEMENT_WALK\"]");
	EXPECT_EQ(constants[StringName("MOVEMENT_WALK")].get_type(), Variant::STRING_NAME);
}

TEST_F(ScriptObjects, MembersHoldSharedContainers) {
	Ref<RefCounted> service = path_service_script()->instantiate();
	Dictionary cache = service->get("_path_cache");
	cache["3,7,0>12,7,1"] = Array();
	EXPECT_EQ(Dictionary(service->get("_path_cache")).size(), 1);

	// Each instance starts with its own dictionary.
	Ref<RefCounted> other = path_service_script()->instantiate();
	EXPECT_EQ(Dictionary(other->get("_path_cache")).size(), 0);

	service->set("cache_misses", 4);
	EXPECT_EQ(int64_t(service->get("cache_misses")), 4);
	// Constants read through get, but cannot be written.
	service->set("FRONT", 9);
	EXPECT_EQ(int64_t(service->get("FRONT")), 0);
	EXPECT_TRUE(errors().empty());
}

TEST_F(ScriptObjects, MethodsCheckTheirArgumentsLikeGDScript) {
	Ref<RefCounted> service = path_service_script()->instantiate();
	EXPECT_EQ(int64_t(service->call("two_args", 2, 3)), 5);
	// From C++ `call` drops the error; the typed function returns its type's default.
	const Variant too_few = service->call("two_args", 2);
	EXPECT_EQ(too_few.get_type(), Variant::INT);
	EXPECT_EQ(int64_t(too_few), 0);
	EXPECT_TRUE(errors().empty());

	EXPECT_EQ(service->callv("two_args", Array::make(1)).get_type(), Variant::NIL);
	EXPECT_EQ(service->callv("two_args", Array::make("x", 1)).get_type(), Variant::NIL);
	EXPECT_EQ(service->callv("nope", Array()).get_type(), Variant::NIL);
	EXPECT_THAT(errors(), ElementsAre("Error calling method from 'callv': 'RefCounted(path_service.gd)::two_args': Method expected 2 argument(s), but called with 1.", "Error calling method from 'callv': 'RefCounted(path_service.gd)::two_args': Cannot convert argument 1 from String to int.", "Error calling method from 'callv': 'RefCounted(path_service.gd)::nope': Method not found."));
	// A float converts into an int parameter.
	EXPECT_EQ(int64_t(service->call("two_args", 2.9, 1)), 3);
}

TEST_F(ScriptObjects, DefaultsMakeTrailingParametersOptional) {
	Ref<ScriptDouble> script = ScriptDouble::create("res://scripts/core/defaults.gd");
	script->method("pick", { { "a" }, { "b" } }, Variant::NIL, [](const engine_double::ScriptCall &p_call) { return p_call[1]; }, { 42 });
	Ref<RefCounted> object = script->instantiate();
	EXPECT_EQ(int64_t(object->call("pick", 1)), 42);
	EXPECT_EQ(int64_t(object->call("pick", 1, 2)), 2);
	object->callv("pick", Array());
	// GDScript counts only the required parameters in a too-few error.
	EXPECT_THAT(errors(), ElementsAre("Error calling method from 'callv': 'RefCounted(defaults.gd)::pick': Method expected 1 argument(s), but called with 0."));
}

TEST_F(ScriptObjects, SignalsEmitToConnectionsAndReportUndeclaredNames) {
	Ref<RefCounted> service = path_service_script()->instantiate();
	EXPECT_EQ(service->emit_signal("path_query_measured", 3), ERR_UNAVAILABLE);
	EXPECT_TRUE(errors().empty());

	Array received;
	const Callable slot = engine_double::make_custom_callable([&received](const Variant **p_args, int p_count) {
		received.push_back(*p_args[0]);
		return Variant();
	},
	        1);
	EXPECT_EQ(service->connect("path_query_measured", slot), OK);
	EXPECT_EQ(service->emit_signal("path_query_measured", 7), OK);
	EXPECT_EQ(text(received), "[7]");

	EXPECT_EQ(service->emit_signal("nope_signal"), ERR_UNAVAILABLE);
	EXPECT_THAT(errors(), ElementsAre("Can't emit non-existing signal \"nope_signal\"."));

	// Without a script the same emission is silent.
	Ref<RefCounted> plain;
	plain.instantiate();
	EXPECT_EQ(plain->emit_signal("nope_signal"), ERR_UNAVAILABLE);
	EXPECT_EQ(errors().size(), 1u);
}

TEST_F(ScriptObjects, AFailingSlotIsReportedAndNamesTheCallable) {
	Ref<RefCounted> service = path_service_script()->instantiate();
	ASSERT_EQ(service->connect("path_query_measured", Callable(service.ptr(), "two_args")), OK);
	EXPECT_EQ(service->emit_signal("path_query_measured", 4), ERR_METHOD_NOT_FOUND);
	EXPECT_THAT(errors(), ElementsAre("Error calling from signal 'path_query_measured' to callable: 'RefCounted(path_service.gd)::two_args': Method expected 2 argument(s), but called with 1."));
	// The bound value counts as an argument: now the call fits.
	service->disconnect("path_query_measured", Callable(service.ptr(), "two_args"));
	ASSERT_EQ(service->connect("path_query_measured", Callable(service.ptr(), "two_args").bind(1)), OK);
	EXPECT_EQ(service->emit_signal("path_query_measured", 4), OK);
	EXPECT_EQ(errors().size(), 1u);
}

TEST_F(ScriptObjects, TheCallLogRecordsEveryAccessInOrder) {
	Ref<RefCounted> service = path_service_script()->instantiate();
	Object *script = service->get_script();
	script->get("resource_path");
	service->get("_path_cache");
	service->get("missing_member");
	service->set("cache_misses", 1);
	service->call("_route_failure", StringName("GOAL_UNREACHABLE"));
	service->call("two_args", 1, 2);
	service->emit_signal("path_query_measured", 5);
	EXPECT_THAT(engine_double::call_log_lines(), ElementsAre("GDScript(path_service.gd) get resource_path", "path_service.gd get _path_cache", "path_service.gd get missing_member (missing)", "path_service.gd set cache_misses = 1", "path_service.gd call _route_failure(&\"GOAL_UNREACHABLE\") (missing)", "path_service.gd call two_args(1, 2)", "path_service.gd emit path_query_measured(5)"));
	const std::vector<engine_double::CallLogEntry> mine = engine_double::call_log_entries_for(service.ptr());
	ASSERT_EQ(mine.size(), 6u);
	EXPECT_EQ(mine[3].kind, engine_double::CallLogKind::CALL);
	EXPECT_EQ(text(mine[3].arguments), "[&\"GOAL_UNREACHABLE\"]");

	engine_double::call_log_clear();
	engine_double::call_log_set_enabled(false);
	service->get("_path_cache");
	EXPECT_EQ(engine_double::call_log_size(), 0u);
}

TEST_F(ScriptObjects, ScriptBodiesReachTheirMembersWithoutLogging) {
	Ref<ScriptDouble> script = ScriptDouble::create("res://scripts/core/counter.gd");
	script->member("count", 0);
	script->method("bump", 0, [](const engine_double::ScriptCall &p_call) {
		p_call.set_member("count", int64_t(p_call.member("count")) + 1);
		return p_call.member("count");
	});
	Ref<RefCounted> counter = script->instantiate();
	counter->call("bump");
	EXPECT_EQ(int64_t(counter->call("bump")), 2);
	EXPECT_THAT(engine_double::call_log_lines(), ElementsAre("counter.gd call bump()", "counter.gd call bump()"));
}

TEST_F(ScriptObjects, SnapshotsShowThatADeclinedCallChangedNothing) {
	Ref<RefCounted> service = path_service_script()->instantiate();
	const Dictionary before = engine_double::script_state_snapshot(service.ptr());
	// A nested write into a shared container is a change the snapshot catches.
	Dictionary(service->get("_path_cache"))["k"] = 1;
	const Dictionary after = engine_double::script_state_snapshot(service.ptr());
	EXPECT_FALSE(before == after);
	EXPECT_EQ(text(before), "{ &\"_path_cache\": {  }, &\"cache_misses\": 0 }");
}

TEST_F(ScriptObjects, ExtendedScriptsInheritButKeepTheirOwnConstantMap) {
	Ref<ScriptDouble> base = path_service_script();
	Ref<ScriptDouble> derived = ScriptDouble::create("res://mods/my_path_service.gd");
	derived->extends(base).constant("EXTRA", 5);
	Ref<RefCounted> object = derived->instantiate();
	EXPECT_EQ(int64_t(object->get("BACK")), 1);
	EXPECT_TRUE(object->has_method("two_args"));
	EXPECT_TRUE(Dictionary(object->get("_path_cache")).is_empty());
	Ref<Script> script = object->get_script();
	EXPECT_EQ(text(script->get_script_constant_map()), "{ &\"EXTRA\": 5 }");
	EXPECT_EQ(script->get_base_script().ptr(), base.ptr());
	EXPECT_FALSE(script->has_script_method("two_args"));
	// Inherited members are named once, in the order a snapshot holds them.
	const std::vector<StringName> names = engine_double::script_member_names(object.ptr());
	const Array snapshot_names = engine_double::script_state_snapshot(object.ptr()).keys();
	ASSERT_EQ(int64_t(names.size()), snapshot_names.size());
	for (size_t i = 0; i < names.size(); i++) {
		EXPECT_EQ(names[i], StringName(snapshot_names[int64_t(i)]));
	}
}

TEST_F(ScriptObjects, CallableTextNamesTheScriptFileOrClassName) {
	Ref<RefCounted> service = path_service_script()->instantiate();
	EXPECT_EQ(text(Callable(service.ptr(), "two_args")), "RefCounted(path_service.gd)::two_args");
	Ref<ScriptDouble> named = ScriptDouble::create("res://scripts/core/budget.gd");
	named->global_name("PerformanceBudget");
	Ref<RefCounted> budget = named->instantiate();
	EXPECT_EQ(text(Callable(budget.ptr(), "record")), "RefCounted(PerformanceBudget)::record");
}

TEST_F(ScriptObjects, APlainObjectCanRunAScriptAndDiesWhenFreed) {
	Object *object = path_service_script()->instantiate_object();
	const uint64_t id = object->get_instance_id();
	EXPECT_EQ(int64_t(object->call("two_args", 1, 1)), 2);
	memdelete(object);
	EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
}

TEST_F(ScriptObjects, SettingANonScriptIsRefused) {
	Ref<RefCounted> object;
	object.instantiate();
	Ref<RefCounted> not_a_script;
	not_a_script.instantiate();
	object->set_script(not_a_script);
	EXPECT_EQ(object->get_script().get_type(), Variant::NIL);
	EXPECT_THAT(errors(), ElementsAre("Cannot set object script. Parameter should be null or a reference to a valid script."));
}

TEST_F(ScriptObjects, ScriptHooksAnswerForUndeclaredNames) {
	Ref<ScriptDouble> script = ScriptDouble::create("res://scripts/core/dynamic.gd");
	script->member("store", Dictionary());
	script->method("_get", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
		const StringName name = p_call[0];
		return name == StringName("virtual_value") ? Variant(11) : Variant();
	});
	script->method("_set", 2, [](const engine_double::ScriptCall &p_call) -> Variant {
		Dictionary store = p_call.member("store");
		store[p_call[0]] = p_call[1];
		return true;
	});
	script->method("_to_string", 0, [](const engine_double::ScriptCall &) { return Variant("<dynamic>"); });
	Ref<RefCounted> object = script->instantiate();
	EXPECT_EQ(int64_t(object->get("virtual_value")), 11);
	EXPECT_EQ(object->get("other").get_type(), Variant::NIL);
	object->set("anything", 3);
	EXPECT_EQ(text(object->get("store")), "{ &\"anything\": 3 }");
	EXPECT_EQ(text(Variant(object)), "<dynamic>");
}

TEST_F(ScriptObjects, ExtraArgumentsAndExceptionsFailTheCall) {
	Ref<ScriptDouble> script = ScriptDouble::create("res://scripts/core/strict.gd");
	script->method("one", { { "a", Variant::INT } }, Variant::STRING, [](const engine_double::ScriptCall &p_call) { return Variant(int64_t(p_call[0]) * 2); });
	script->method("throws", 0, [](const engine_double::ScriptCall &) -> Variant { throw std::runtime_error("script failure"); });
	Ref<RefCounted> object = script->instantiate();
	// The declared return type converts the body's result.
	const Variant doubled = object->call("one", 4);
	EXPECT_EQ(doubled.get_type(), Variant::STRING);
	EXPECT_EQ(text(doubled), "8");
	EXPECT_EQ(object->get_method_argument_count("one"), 1);
	object->callv("one", Array::make(1, 2));
	EXPECT_THAT(errors(), ElementsAre("Error calling method from 'callv': 'RefCounted(strict.gd)::one': Method expected 1 argument(s), but called with 2."));
	engine_double::error_log_clear();
	EXPECT_EQ(object->call("throws").get_type(), Variant::NIL);
	EXPECT_THAT(errors(), ElementsAre("Exception thrown by script method 'throws' of the engine double."));
}

TEST_F(ScriptObjects, MethodCallablesOfAScriptObjectCallBack) {
	Ref<RefCounted> service = path_service_script()->instantiate();
	const Callable two_args = service->get("two_args");
	EXPECT_EQ(two_args.get_argument_count(), 2);
	EXPECT_EQ(int64_t(two_args.call(20, 22)), 42);
	// The log shows the read of the method and the call it led to.
	EXPECT_THAT(engine_double::call_log_lines(), ElementsAre("path_service.gd get two_args", "path_service.gd call two_args(20, 22)"));
}

TEST_F(ScriptObjects, VariantCallpReachesTheMethodAsObjectCallDoes) {
	Object *object = path_service_script()->instantiate_object();
	Variant target = object;
	const Variant first = 20;
	const Variant second = 22;
	const Variant *arguments[] = { &first, &second };
	Variant result;
	GDExtensionCallError error;
	target.callp("two_args", arguments, 2, result, error);
	EXPECT_EQ(error.error, GDEXTENSION_CALL_OK);
	EXPECT_EQ(int64_t(result), 42);
	EXPECT_THAT(engine_double::call_log_lines(), ElementsAre("path_service.gd call two_args(20, 22)"));
	// A freed object and a value without methods answer nil with the error, calling nothing.
	memdelete(object);
	target.callp("two_args", arguments, 2, result, error);
	EXPECT_EQ(error.error, GDEXTENSION_CALL_ERROR_INSTANCE_IS_NULL);
	Variant number = 5;
	number.callp("two_args", arguments, 2, result, error);
	EXPECT_EQ(error.error, GDEXTENSION_CALL_ERROR_INVALID_METHOD);
	EXPECT_EQ(result.get_type(), Variant::NIL);
	EXPECT_EQ(engine_double::call_log_size(), 1u);
}

TEST_F(ScriptObjects, GettersAndSettersRunOnReadsAndWritesAndAreLoggedAsCalls) {
	Ref<ScriptDouble> script = ScriptDouble::create("res://scripts/guests/guest_runtime.gd");
	script->member("wallet_gold", 5).member("plain", 1);
	script->accessors("wallet_gold", "_get_wallet", "_set_wallet");
	script->method("_get_wallet", 0, [](const engine_double::ScriptCall &p_call) { return Variant(int64_t(p_call.member("wallet_gold")) * 10); });
	script->method("_set_wallet", 1, [](const engine_double::ScriptCall &p_call) {
		p_call.set_member("wallet_gold", int64_t(p_call[0]) + 1);
		return Variant();
	});
	Ref<RefCounted> guest = script->instantiate();
	guest->set("wallet_gold", 7);
	EXPECT_EQ(int64_t(guest->get("wallet_gold")), 80);
	EXPECT_EQ(int64_t(guest->get("plain")), 1);
	// Each access is logged before the script it runs.
	EXPECT_THAT(engine_double::call_log_lines(), ElementsAre("guest_runtime.gd set wallet_gold = 7", "guest_runtime.gd call _set_wallet(7)", "guest_runtime.gd get wallet_gold", "guest_runtime.gd call _get_wallet()", "guest_runtime.gd get plain"));
	EXPECT_EQ(int64_t(engine_double::script_state_snapshot(guest.ptr())["wallet_gold"]), 8);
}

TEST_F(ScriptObjects, AGetterMayFreeItsObjectAndTheHookSeesWhichAccessRunsIt) {
	Ref<ScriptDouble> script = ScriptDouble::create("res://scripts/guests/guest_runtime.gd");
	script->member("guest_type_id", StringName("tourist"));
	script->accessors("guest_type_id", "_get_type");
	script->method("_get_type", 0, [](const engine_double::ScriptCall &p_call) {
		const Variant answer = p_call.member("guest_type_id");
		memdelete(p_call.self);
		return answer;
	});
	// A failing getter answers nil, and _get's nil leaves the name to the engine's own lookups.
	script->member("broken", 3).accessors("broken", "_no_such_getter");
	script->method("_get", 1, [](const engine_double::ScriptCall &) { return Variant(); });
	Object *guest = script->instantiate_object();
	const uint64_t id = guest->get_instance_id();
	std::vector<std::string> seen;
	engine_double::script_hook_set([&](engine_double::ScriptHookCall &r_call) {
		if (r_call.point == engine_double::ScriptHookPoint::BEFORE) {
			seen.push_back(std::string(String(r_call.method).utf8().get_data()) + (r_call.access == engine_double::ScriptHookAccess::GET ? " get " : " other ") + String(r_call.property).utf8().get_data());
		}
	});
	EXPECT_EQ(guest->get("broken").get_type(), Variant::NIL);
	EXPECT_EQ(guest->get("script").get_type(), Variant::OBJECT);
	EXPECT_EQ(String(guest->get("guest_type_id")), String("tourist"));
	engine_double::script_hook_set(nullptr);
	EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
	EXPECT_THAT(seen, ElementsAre("_get get script", "_get_type get guest_type_id"));
	EXPECT_THAT(engine_double::call_log_lines(), ElementsAre("guest_runtime.gd get broken", "guest_runtime.gd call _no_such_getter() (missing)", "guest_runtime.gd get script", "guest_runtime.gd call _get(&\"script\")", "guest_runtime.gd get guest_type_id", "guest_runtime.gd call _get_type()"));
}

TEST_F(ScriptObjects, TheHookCanRunAroundEveryPlainMemberAccess) {
	Ref<RefCounted> service = path_service_script()->instantiate();
	std::vector<std::string> seen;
	engine_double::script_hook_set([&](engine_double::ScriptHookCall &r_call) {
		if (r_call.point == engine_double::ScriptHookPoint::BEFORE && r_call.method == StringName()) {
			seen.push_back(std::string(r_call.access == engine_double::ScriptHookAccess::SET ? "set " : "get ") + String(r_call.property).utf8().get_data());
			// A getter answering a wrong type, a setter failing: the member stays as it was.
			*r_call.result = "wrong";
			r_call.skip_body = true;
		}
	});
	const Variant before = service->get("cache_misses");
	engine_double::script_hook_every_member(true);
	service->set("cache_misses", 9);
	const Variant hooked = service->get("cache_misses");
	engine_double::script_hook_every_member(false);
	const Variant after = service->get("cache_misses");
	engine_double::script_hook_set(nullptr);
	EXPECT_EQ(String(hooked), String("wrong"));
	EXPECT_EQ(after, before);
	EXPECT_THAT(seen, ElementsAre("set cache_misses", "get cache_misses"));
}
