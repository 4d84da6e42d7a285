// Signal connections: flags, duplicates, disconnection and deferred delivery.

#include "objects_fixture.hpp"

#include <engine_double/custom_callable.hpp>

using namespace godot;
using ::testing::ElementsAre;

namespace {

class Signals : public ObjectsTest {
protected:
	Ref<RefCounted> service = path_service_script()->instantiate();
	Array received;
	Callable slot = engine_double::make_custom_callable([this](const Variant **p_args, int p_count) {
		received.push_back(p_count > 0 ? *p_args[0] : Variant());
		return Variant();
	},
	        1);
};

} // namespace

TEST_F(Signals, OneShotConnectionsFireOnce) {
	ASSERT_EQ(service->connect("path_query_measured", slot, Object::CONNECT_ONE_SHOT), OK);
	EXPECT_EQ(service->emit_signal("path_query_measured", 1), OK);
	EXPECT_EQ(service->emit_signal("path_query_measured", 2), ERR_UNAVAILABLE);
	EXPECT_EQ(text(received), "[1]");
	EXPECT_FALSE(service->is_connected("path_query_measured", slot));
	EXPECT_TRUE(errors().empty());
}

TEST_F(Signals, ConnectingTwiceIsRefusedUnlessReferenceCounted) {
	ASSERT_EQ(service->connect("path_query_measured", slot), OK);
	EXPECT_EQ(service->connect("path_query_measured", slot), ERR_INVALID_PARAMETER);
	EXPECT_THAT(errors(), ElementsAre("Signal 'path_query_measured' is already connected to given callable '<CallableCustom>' in that object."));
	service->emit_signal("path_query_measured", 5);
	EXPECT_EQ(text(received), "[5]");

	Ref<RefCounted> other = path_service_script()->instantiate();
	ASSERT_EQ(other->connect("path_query_measured", slot, Object::CONNECT_REFERENCE_COUNTED), OK);
	ASSERT_EQ(other->connect("path_query_measured", slot, Object::CONNECT_REFERENCE_COUNTED), OK);
	other->disconnect("path_query_measured", slot);
	EXPECT_TRUE(other->is_connected("path_query_measured", slot));
	other->disconnect("path_query_measured", slot);
	EXPECT_FALSE(other->is_connected("path_query_measured", slot));
}

TEST_F(Signals, BindsDoNotMakeADifferentConnection) {
	const Callable target(service.ptr(), "two_args");
	ASSERT_EQ(service->connect("path_query_measured", target.bind(1)), OK);
	EXPECT_TRUE(service->is_connected("path_query_measured", target));
	EXPECT_EQ(service->connect("path_query_measured", target.bind(2)), ERR_INVALID_PARAMETER);
}

TEST_F(Signals, BadConnectionsAndDisconnectionsReport) {
	EXPECT_EQ(service->connect("path_query_measured", Callable()), ERR_INVALID_PARAMETER);
	service->disconnect("path_query_measured", slot);
	service->disconnect("nope_signal", slot);
	const std::string self = text(Variant(service.ptr()));
	EXPECT_THAT(errors(), ElementsAre("Cannot connect to 'path_query_measured': the provided callable is null.", "Attempt to disconnect a nonexistent connection from '" + self + "'. Signal: 'path_query_measured', callable: '<CallableCustom>'.", "Disconnecting nonexistent signal 'nope_signal' in '" + self + "'."));
}

TEST_F(Signals, DeferredConnectionsWaitForTheFlush) {
	ASSERT_EQ(service->connect("path_query_measured", slot, Object::CONNECT_DEFERRED), OK);
	EXPECT_EQ(service->emit_signal("path_query_measured", 8), OK);
	EXPECT_EQ(received.size(), 0);
	EXPECT_EQ(engine_double::flush_deferred_calls(), 1);
	EXPECT_EQ(text(received), "[8]");
}

TEST_F(Signals, AFreedTargetIsSkipped) {
	Object *target = path_service_script()->instantiate_object();
	ASSERT_EQ(service->connect("path_query_measured", Callable(target, "two_args").bind(1)), OK);
	memdelete(target);
	EXPECT_EQ(service->emit_signal("path_query_measured", 4), OK);
	EXPECT_TRUE(errors().empty());
}

TEST_F(Signals, ASlotMayDisconnectItselfWhileTheSignalRuns) {
	const Callable self_removing = engine_double::make_custom_callable([this](const Variant **, int) {
		service->disconnect("path_query_measured", slot);
		return Variant();
	},
	        1);
	ASSERT_EQ(service->connect("path_query_measured", self_removing), OK);
	ASSERT_EQ(service->connect("path_query_measured", slot), OK);
	service->emit_signal("path_query_measured", 1);
	// The emission works on a copy of the slots: the removed one still ran this time.
	EXPECT_EQ(text(received), "[1]");
	service->emit_signal("path_query_measured", 2);
	EXPECT_EQ(text(received), "[1]");
}
