// Inputs the guest candidate batch fuzzer found. Each must decline cleanly: no engine error
// (the double reports a freed object read through a raw pointer, which the engine would
// hand out dangling), nothing written.

#include "guest_batch_test_base.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/memory.hpp>

using namespace godot;

namespace veltrin_test {
namespace {

Variant freed_object() {
	Object *object = memnew(Object);
	const Variant value(object);
	memdelete(object);
	return value;
}

using GuestBatchFuzzRegressionTest = GuestBatchTest;

TEST_F(GuestBatchFuzzRegressionTest, GuestServiceAnsweringAFreedGuestDeclines) {
	service->set_guest_answer("g1", freed_object());
	EXPECT_TRUE(is_declined(batch(array_of({ candidate("spa") }))));
}

TEST_F(GuestBatchFuzzRegressionTest, GuestServiceAnsweringAFreedDefinitionDeclines) {
	service->set_definition_answer("tourist", freed_object());
	EXPECT_TRUE(is_declined(batch(array_of({ candidate("spa") }))));
}

} // namespace
} // namespace veltrin_test
