// Exhausted memory anywhere in a batch gives the decline, never a partial answer: every
// allocation of the call is made to fail in turn.

#include "guest_choice/guest_candidate_batch.hpp"
#include "guest_service_fixture.hpp"

#include <gtest/gtest.h>

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

// The engine double is not built to survive an allocation failure in its own bookkeeping;
// what it may leak then is not the batch's.
extern "C" const char *__lsan_default_options() {
	return "detect_leaks=0";
}

namespace {

// Allocations still allowed before the next one fails; negative: no limit.
std::atomic<long> allocations_left { -1 };

void *allocate(size_t p_size) {
	if (allocations_left.load() >= 0 && allocations_left.fetch_sub(1) == 0) {
		throw std::bad_alloc();
	}
	void *memory = std::malloc(p_size == 0 ? 1 : p_size);
	if (memory == nullptr) {
		throw std::bad_alloc();
	}
	return memory;
}

} // namespace

void *operator new(size_t p_size) {
	return allocate(p_size);
}

void *operator new[](size_t p_size) {
	return allocate(p_size);
}

void operator delete(void *p_memory) noexcept {
	std::free(p_memory);
}

void operator delete[](void *p_memory) noexcept {
	std::free(p_memory);
}

void operator delete(void *p_memory, size_t) noexcept {
	std::free(p_memory);
}

void operator delete[](void *p_memory, size_t) noexcept {
	std::free(p_memory);
}

namespace veltrin {
namespace {

using namespace godot;

Dictionary row(const char *p_id, int64_t p_price, bool p_open) {
	Dictionary candidate;
	candidate[StringName("facility_id")] = StringName(p_id);
	candidate[StringName("estimated_total_gold")] = p_price;
	candidate[StringName("is_open")] = p_open;
	candidate[StringName("facility_tags")] = Array::make("dining", "social");
	Dictionary relief;
	relief[StringName("hunger")] = 40;
	candidate[StringName("need_relief")] = relief;
	return candidate;
}

TEST(GuestBatchMemoryTest, EveryFailedAllocationDeclinesTheWholeBatch) {
	veltrin_test::GuestServiceFixture service(int64_t(10));
	service.add_guest("g1");
	service.add_definition("tourist");
	const Array facilities = Array::make(row("c", 5, true), row("a", 500, true), row("b", 1, false), row("d", 9, true));
	const Dictionary context;

	const Dictionary expected = guest_candidate_batch_impl(service.service(), "g1", facilities, context);
	ASSERT_TRUE(bool(expected.get("supported", false)));

	int declines = 0;
	bool completed = false;
	for (long limit = 0; limit < 100000 && !completed; limit++) {
		Dictionary result;
		allocations_left.store(limit);
		try {
			result = guest_candidate_batch_impl(service.service(), "g1", facilities, context);
		} catch (const std::bad_alloc &) {
			allocations_left.store(-1);
			ADD_FAILURE() << "bad_alloc escaped at allocation " << limit;
			break;
		}
		allocations_left.store(-1);
		if (bool(result.get("supported", false))) {
			EXPECT_TRUE(result == expected) << limit;
			completed = true;
		} else {
			EXPECT_EQ(result.size(), 1) << limit;
			declines++;
		}
	}
	EXPECT_TRUE(completed);
	// Every allocation before the last one the batch makes is a failure point.
	EXPECT_GT(declines, 50);
	std::printf("allocation failure points: %d\n", declines);
}

} // namespace
} // namespace veltrin
