// Object, RefCounted and Ref: lookups by name on plain engine objects, identity and lifetime.

#include "objects_fixture.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/resource.hpp>
#include <godot_cpp/classes/script.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

#include <set>
#include <thread>
#include <vector>

using namespace godot;
using ::testing::ElementsAre;

using ObjectModel = ObjectsTest;

TEST_F(ObjectModel, MissingMembersAnswerNilSilently) {
	Ref<RefCounted> object;
	object.instantiate();
	EXPECT_EQ(object->get("no_such_member").get_type(), Variant::NIL);
	object->set("no_such_member", 5);
	EXPECT_EQ(object->get("no_such_member").get_type(), Variant::NIL);
	EXPECT_EQ(object->call("no_such_method", 1, 2).get_type(), Variant::NIL);
	EXPECT_TRUE(errors().empty());
}

TEST_F(ObjectModel, CallvReportsWhatCallSwallows) {
	Ref<RefCounted> object;
	object.instantiate();
	EXPECT_EQ(object->callv("nope", Array()).get_type(), Variant::NIL);
	EXPECT_EQ(object->callv("get_reference_count", Array::make(1)).get_type(), Variant::NIL);
	EXPECT_THAT(errors(), ElementsAre("Error calling method from 'callv': 'RefCounted::nope': Method not found.", "Error calling method from 'callv': 'RefCounted::get_reference_count': Method expected 0 argument(s), but called with 1."));
}

TEST_F(ObjectModel, GetOfAMethodNameIsACallableOnTheObject) {
	Ref<RefCounted> object;
	object.instantiate();
	const Variant method = object->get("get_reference_count");
	ASSERT_EQ(method.get_type(), Variant::CALLABLE);
	const Callable callable = method;
	EXPECT_EQ(callable.get_object(), object.ptr());
	EXPECT_EQ(callable.get_method(), StringName("get_reference_count"));
	EXPECT_TRUE(object->has_method("get_reference_count"));
	EXPECT_TRUE(object->has_method("free"));
	EXPECT_FALSE(object->has_method("get_script_constant_map"));
}

TEST_F(ObjectModel, AnObjectWithoutScriptHasANilScript) {
	Object *object = memnew(Object);
	EXPECT_EQ(object->get_script().get_type(), Variant::NIL);
	EXPECT_EQ(object->get("script").get_type(), Variant::NIL);
	memdelete(object);
}

TEST_F(ObjectModel, ClassChecksFollowTheChain) {
	Ref<Resource> resource;
	resource.instantiate();
	EXPECT_EQ(resource->get_class(), String("Resource"));
	EXPECT_TRUE(resource->is_class("RefCounted"));
	EXPECT_TRUE(resource->is_class("Object"));
	EXPECT_FALSE(resource->is_class("Script"));
	Object *as_object = resource.ptr();
	EXPECT_EQ(Object::cast_to<RefCounted>(as_object), resource.ptr());
	EXPECT_EQ(Object::cast_to<Script>(as_object), nullptr);
	EXPECT_EQ(Object::cast_to<RefCounted>(static_cast<Object *>(nullptr)), nullptr);
}

TEST_F(ObjectModel, ResourcePathIsAPropertyWithSetterAndGetter) {
	Ref<Resource> resource;
	resource.instantiate();
	resource->set("resource_path", "res://a.tres");
	EXPECT_EQ(resource->get_path(), String("res://a.tres"));
	EXPECT_EQ(String(resource->get("resource_path")), String("res://a.tres"));
}

TEST_F(ObjectModel, FreedObjectsVanishFromTheObjectDB) {
	Object *object = memnew(Object);
	const uint64_t id = object->get_instance_id();
	const Variant held = object;
	EXPECT_EQ(ObjectDB::get_instance(id), object);
	memdelete(object);
	EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
	EXPECT_EQ(held.get_validated_object(), nullptr);
	EXPECT_FALSE(held.booleanize());
	// Copying the value never follows the dead pointer (the sanitizer build sees it if it does).
	const Variant copied = held;
	Variant assigned;
	assigned = held;
	EXPECT_EQ(copied.get_validated_object(), nullptr);
	EXPECT_EQ(assigned.get_validated_object(), nullptr);
	// A new object never reuses the freed id.
	Object *other = memnew(Object);
	EXPECT_NE(other->get_instance_id(), id);
	memdelete(other);
}

TEST_F(ObjectModel, RefCountedIdsCarryTheReferenceBitAndPrintNegative) {
	Ref<RefCounted> counted;
	counted.instantiate();
	Object *plain = memnew(Object);
	EXPECT_NE(counted->get_instance_id() >> 63, 0u);
	EXPECT_EQ(plain->get_instance_id() >> 63, 0u);
	EXPECT_EQ(counted->to_string(), "<RefCounted#" + itos(int64_t(counted->get_instance_id())) + ">");
	EXPECT_TRUE(counted->to_string().begins_with("<RefCounted#-"));
	EXPECT_EQ(text(Variant(plain)), "<Object#" + std::to_string(plain->get_instance_id()) + ">");
	memdelete(plain);
}

TEST_F(ObjectModel, ReferencesFromRefsAndVariantsShareOneCount) {
	RefCounted *raw = memnew(RefCounted);
	const uint64_t id = raw->get_instance_id();
	EXPECT_EQ(raw->get_reference_count(), 1);
	{
		Ref<RefCounted> first(raw);
		EXPECT_EQ(raw->get_reference_count(), 1);
		Variant held = first;
		EXPECT_EQ(raw->get_reference_count(), 2);
		Ref<RefCounted> from_variant = held;
		EXPECT_EQ(raw->get_reference_count(), 3);
		first.unref();
		from_variant.unref();
		EXPECT_EQ(raw->get_reference_count(), 1);
		EXPECT_EQ(ObjectDB::get_instance(id), raw);
	}
	// The last Variant let go: the object is gone.
	EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
}

TEST_F(ObjectModel, AVariantAloneKeepsAFreshRefCountedAlive) {
	uint64_t id = 0;
	{
		const Variant held = memnew(RefCounted);
		id = held.get_validated_object()->get_instance_id();
		const Variant copy = held;
		EXPECT_EQ(Object::cast_to<RefCounted>(copy.get_validated_object())->get_reference_count(), 2);
	}
	EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
}

TEST_F(ObjectModel, FreeDeletesPlainObjectsAndRefusesRefCounted) {
	Object *plain = memnew(Object);
	const uint64_t id = plain->get_instance_id();
	plain->call("free");
	EXPECT_EQ(ObjectDB::get_instance(id), nullptr);

	Ref<RefCounted> counted;
	counted.instantiate();
	counted->call("free");
	EXPECT_NE(ObjectDB::get_instance(counted->get_instance_id()), nullptr);
	EXPECT_THAT(errors(), ElementsAre("Can't free a RefCounted object."));
}

TEST_F(ObjectModel, MetadataReadsBackAndMissingKeysReport) {
	Object *object = memnew(Object);
	object->set_meta("tag", 7);
	EXPECT_TRUE(object->has_meta("tag"));
	EXPECT_EQ(int64_t(object->get_meta("tag")), 7);
	EXPECT_EQ(int64_t(object->get("metadata/tag")), 7);
	EXPECT_EQ(int64_t(object->get_meta("other", 3)), 3);
	EXPECT_TRUE(errors().empty());
	EXPECT_EQ(object->get_meta("other").get_type(), Variant::NIL);
	EXPECT_THAT(errors(), ElementsAre("The object does not have any 'meta' values with the key 'other'."));
	memdelete(object);
}

TEST_F(ObjectModel, IsSameComparesObjectsByInstance) {
	Ref<RefCounted> a;
	a.instantiate();
	Ref<RefCounted> b;
	b.instantiate();
	EXPECT_TRUE(UtilityFunctions::is_same(Variant(a), Variant(a.ptr())));
	EXPECT_FALSE(UtilityFunctions::is_same(Variant(a), Variant(b)));
}

TEST_F(ObjectModel, RefsConvertAlongTheClassChainOnly) {
	Ref<Resource> resource;
	resource.instantiate();
	const Ref<RefCounted> base = resource;
	EXPECT_EQ(base.ptr(), resource.ptr());
	EXPECT_EQ(resource->get_reference_count(), 2);
	const Ref<Resource> back = base;
	EXPECT_EQ(back.ptr(), resource.ptr());

	Ref<RefCounted> plain;
	plain.instantiate();
	const Ref<Resource> wrong = plain;
	EXPECT_TRUE(wrong.is_null());
	EXPECT_EQ(plain->get_reference_count(), 1);
	const Ref<Resource> from_nil = Variant();
	EXPECT_TRUE(from_nil.is_null());
}

TEST_F(ObjectModel, ObjectsMadeOnManyThreadsGetDistinctIds) {
	constexpr int THREADS = 4;
	constexpr int PER_THREAD = 500;
	std::vector<std::vector<uint64_t>> ids(THREADS);
	std::vector<std::thread> workers;
	for (int t = 0; t < THREADS; t++) {
		workers.emplace_back([&ids, t] {
			std::vector<Object *> made;
			for (int i = 0; i < PER_THREAD; i++) {
				made.push_back(memnew(Object));
				ids[size_t(t)].push_back(made.back()->get_instance_id());
			}
			for (Object *object : made) {
				if (ObjectDB::get_instance(object->get_instance_id()) != object) {
					ids[size_t(t)].clear();
				}
				memdelete(object);
			}
		});
	}
	for (std::thread &worker : workers) {
		worker.join();
	}
	std::set<uint64_t> unique;
	for (const std::vector<uint64_t> &list : ids) {
		ASSERT_EQ(list.size(), size_t(PER_THREAD));
		unique.insert(list.begin(), list.end());
	}
	EXPECT_EQ(unique.size(), size_t(THREADS * PER_THREAD));
	for (uint64_t id : unique) {
		ASSERT_EQ(ObjectDB::get_instance(id), nullptr);
	}
}

TEST_F(ObjectModel, MethodListsDescribeTheBoundMethods) {
	Ref<Resource> resource;
	resource.instantiate();
	const TypedArray<Dictionary> methods = resource->get_method_list();
	Dictionary set_path;
	for (int64_t i = 0; i < methods.size(); i++) {
		const Dictionary method = methods[i];
		if (StringName(method["name"]) == StringName("set_path")) {
			set_path = method;
		}
	}
	ASSERT_FALSE(set_path.is_empty());
	EXPECT_EQ(text(set_path["args"]), "[{ \"name\": &\"path\", \"class_name\": &\"\", \"type\": 4, \"hint\": 0, \"hint_string\": \"\", \"usage\": 6 }]");
	EXPECT_EQ(int64_t(set_path["flags"]), int64_t(METHOD_FLAG_NORMAL));
	EXPECT_EQ(resource->get_method_argument_count("set_path"), 1);
}

TEST_F(ObjectModel, TypedObjectArraysCheckTheClassChain) {
	TypedArray<RefCounted> counted;
	Ref<Resource> resource;
	resource.instantiate();
	counted.push_back(resource);
	EXPECT_EQ(counted.size(), 1);
	EXPECT_TRUE(errors().empty());
	Object *plain = memnew(Object);
	counted.push_back(plain);
	EXPECT_EQ(counted.size(), 1);
	ASSERT_FALSE(errors().empty());
	EXPECT_EQ(errors()[0], "Attempted to push_back an object of type 'Object' into a TypedArray of incompatible type 'RefCounted'.");
	memdelete(plain);
}
