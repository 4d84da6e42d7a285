// Callable: standard, bound, unbound and custom callables, with the engine's introspection
// values and calling rules.

#include "objects_fixture.hpp"

#include <engine_double/custom_callable.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/callable_custom.hpp>

using namespace godot;
using ::testing::ElementsAre;

using Callables = ObjectsTest;

namespace {

// The edge provider's arguments come back as an array, to see their order.
Ref<engine_double::ScriptDouble> echo_script() {
	Ref<engine_double::ScriptDouble> script = engine_double::ScriptDouble::create("res://echo.gd");
	script->method("echo", 4, [](const engine_double::ScriptCall &p_call) {
		Array all;
		for (int i = 0; i < p_call.argument_count; i++) {
			all.push_back(p_call[i]);
		}
		return Variant(all);
	});
	return script;
}

} // namespace

TEST_F(Callables, TheBoundEdgeProviderLooksAsInTheEngine) {
	Ref<RefCounted> service = path_service_script()->instantiate();
	const Callable method = service->get("_guest_tree_shared_edges");
	EXPECT_TRUE(method.is_standard());
	EXPECT_EQ(method.get_argument_count(), 3);
	EXPECT_EQ(method.get_bound_arguments_count(), 0);

	const Callable bound = method.bind(Array::make(0, 1), Array());
	EXPECT_TRUE(bound.is_valid());
	EXPECT_TRUE(bound.is_custom());
	EXPECT_EQ(bound.get_method(), StringName("_guest_tree_shared_edges"));
	EXPECT_EQ(bound.get_argument_count(), 1);
	EXPECT_EQ(bound.get_bound_arguments_count(), 2);
	EXPECT_EQ(bound.get_unbound_arguments_count(), 0);
	const Array binds = bound.get_bound_arguments();
	ASSERT_EQ(binds.size(), 2);
	EXPECT_EQ(binds[0].get_type(), Variant::ARRAY);
	EXPECT_EQ(binds[1].get_type(), Variant::ARRAY);
	EXPECT_EQ(bound.get_object(), service.ptr());
	// The call's own argument comes first, then the bound ones.
	EXPECT_EQ(text(bound.call(Vector3i(1, 2, 0))), "[(1, 2, 0), [0, 1], []]");
	EXPECT_EQ(text(bound.callv(Array::make(Vector3i()))), "[(0, 0, 0), [0, 1], []]");
	EXPECT_EQ(text(bound), "RefCounted(path_service.gd)::_guest_tree_shared_edges");
	EXPECT_TRUE(errors().empty());
}

TEST_F(Callables, NestedBindsPutTheLaterBindFirst) {
	Ref<RefCounted> object = echo_script()->instantiate();
	const Callable nested = Callable(object.ptr(), "echo").bind(1).bind(2).bind(3);
	EXPECT_EQ(text(nested.get_bound_arguments()), "[3, 2, 1]");
	EXPECT_EQ(text(nested.call(0)), "[0, 3, 2, 1]");
	EXPECT_EQ(nested.get_argument_count(), 1);
}

TEST_F(Callables, UnbindDropsTrailingArgumentsAndConsumesLaterBinds) {
	Ref<RefCounted> object = echo_script()->instantiate();
	const Callable echo(object.ptr(), "echo");
	const Callable mixed = echo.bind(1, 2).unbind(1).bind(3, 4);
	EXPECT_EQ(text(mixed.get_bound_arguments()), "[3, 1, 2]");
	EXPECT_EQ(mixed.get_bound_arguments_count(), 3);
	EXPECT_EQ(mixed.get_unbound_arguments_count(), 0);

	const Callable unbound = echo.unbind(2);
	EXPECT_EQ(unbound.get_unbound_arguments_count(), 2);
	EXPECT_EQ(unbound.get_argument_count(), 6);
	EXPECT_EQ(text(unbound.call(1, 2, 3, 4, 5, 6)), "[1, 2, 3, 4]");
	EXPECT_EQ(echo.unbind(0), echo);
	EXPECT_THAT(errors(), ElementsAre("Amount of unbind() arguments must be 1 or greater."));
}

TEST_F(Callables, EmptyBindvKeepsTheCallableButBindAlwaysWraps) {
	Ref<RefCounted> object = echo_script()->instantiate();
	Callable echo(object.ptr(), "echo");
	EXPECT_TRUE(echo.bindv(Array()).is_standard());
	EXPECT_TRUE(echo.bind().is_custom());
	EXPECT_EQ(echo.bindv(Array::make(1)).get_bound_arguments_count(), 1);
}

TEST_F(Callables, BoundCallablesCompareByCountNotValues) {
	Ref<RefCounted> object = echo_script()->instantiate();
	const Callable echo(object.ptr(), "echo");
	EXPECT_EQ(echo.bind(1), echo.bind(2));
	EXPECT_EQ(echo.bind(1).hash(), echo.bind(2).hash());
	EXPECT_NE(echo.bind(1), echo.bind(1, 2));
	EXPECT_NE(echo.bind(1), echo);
	EXPECT_EQ(Callable(object.ptr(), "echo"), echo);
	EXPECT_NE(Callable(object.ptr(), "other"), echo);
}

TEST_F(Callables, InvalidCallablesAnswerNilWithoutPrinting) {
	const Callable null_callable;
	EXPECT_TRUE(null_callable.is_null());
	EXPECT_FALSE(null_callable.is_valid());
	EXPECT_EQ(null_callable.get_argument_count(), 0);
	EXPECT_EQ(null_callable.call(1).get_type(), Variant::NIL);
	EXPECT_EQ(text(null_callable), "null::null");

	Object *object = memnew(Object);
	const Callable missing(object, "no_such_method");
	EXPECT_FALSE(missing.is_valid());
	EXPECT_EQ(missing.get_argument_count(), 0);
	EXPECT_EQ(missing.call().get_type(), Variant::NIL);
	const Callable existing(object, "get_class");
	EXPECT_TRUE(existing.is_valid());
	memdelete(object);
	EXPECT_FALSE(existing.is_valid());
	EXPECT_EQ(existing.get_object(), nullptr);
	EXPECT_EQ(existing.call().get_type(), Variant::NIL);
	EXPECT_EQ(text(existing), "null::get_class");
	EXPECT_TRUE(errors().empty());
}

TEST_F(Callables, ConstructingFromNullObjectReportsAndGivesNull) {
	const Callable callable(static_cast<Object *>(nullptr), "x");
	EXPECT_TRUE(callable.is_null());
	EXPECT_THAT(errors(), ElementsAre("Object argument to Callable constructor must be non-null."));
}

TEST_F(Callables, CustomCallablesRunLambdasAndHaveNoMethod) {
	int64_t ticks = 0;
	const Callable counter = engine_double::make_custom_callable([&ticks](const Variant **, int) {
		return Variant(++ticks);
	});
	EXPECT_TRUE(counter.is_valid());
	EXPECT_TRUE(counter.is_custom());
	EXPECT_EQ(counter.get_object(), nullptr);
	EXPECT_EQ(int64_t(counter.call()), 1);
	EXPECT_EQ(int64_t(counter.callv(Array())), 2);
	EXPECT_EQ(counter.get_method(), StringName());
	EXPECT_THAT(errors(), ElementsAre("Can't get method on CallableCustom \"<CallableCustom>\"."));
}

TEST_F(Callables, LambdaCallablesLookLikeGDScriptLambdas) {
	Ref<RefCounted> owner;
	owner.instantiate();
	const Callable lambda = engine_double::make_lambda_callable([](const Variant **, int) { return Variant(3); }, 0, owner.ptr());
	EXPECT_EQ(lambda.get_method(), StringName("<anonymous lambda>"));
	EXPECT_EQ(lambda.get_argument_count(), 0);
	EXPECT_EQ(lambda.get_object(), owner.ptr());
	EXPECT_EQ(text(lambda), "(anonymous lambda)");
	EXPECT_NE(lambda, engine_double::make_lambda_callable([](const Variant **, int) { return Variant(3); }, 0, owner.ptr()));
	const uint64_t id = owner->get_instance_id();
	owner.unref();
	EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
	EXPECT_FALSE(lambda.is_valid());
	EXPECT_TRUE(errors().empty());
}

namespace {

// A plug-in's own CallableCustom, as godot-cpp lets one write it.
class Doubler : public CallableCustom {
public:
	uint32_t hash() const override { return 1; }
	String get_as_text() const override { return "Doubler"; }
	CompareEqualFunc get_compare_equal_func() const override {
		return [](const CallableCustom *p_a, const CallableCustom *p_b) { return p_a == p_b; };
	}
	CompareLessFunc get_compare_less_func() const override {
		return [](const CallableCustom *p_a, const CallableCustom *p_b) { return p_a < p_b; };
	}
	bool is_valid() const override { return true; }
	ObjectID get_object() const override { return ObjectID(); }
	void call(const Variant **p_arguments, int p_argcount, Variant &r_return_value, GDExtensionCallError &r_call_error) const override {
		r_call_error.error = GDEXTENSION_CALL_OK;
		r_return_value = int64_t(*p_arguments[0]) * 2;
	}
};

} // namespace

TEST_F(Callables, APluginCallableCustomIsOwnedAndCalled) {
	const Callable doubler(memnew(Doubler));
	EXPECT_EQ(int64_t(doubler.call(21)), 42);
	EXPECT_EQ(doubler.get_argument_count(), 0);
	EXPECT_EQ(text(doubler), "Doubler");
	EXPECT_EQ(int64_t(doubler.bind(4).call()), 8);
}

TEST_F(Callables, DeferredCallsRunWhenFlushed) {
	int64_t seen = 0;
	const Callable record = engine_double::make_custom_callable([&seen](const Variant **p_args, int) {
		seen = *p_args[0];
		return Variant();
	},
	        1);
	record.call_deferred(9);
	EXPECT_EQ(seen, 0);
	EXPECT_EQ(engine_double::flush_deferred_calls(), 1);
	EXPECT_EQ(seen, 9);
}
