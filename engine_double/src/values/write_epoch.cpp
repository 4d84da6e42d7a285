#include <engine_double/write_epoch.hpp>

#include <atomic>

namespace engine_double {

namespace {
// Relaxed atomics: threads may write their own containers at once.
std::atomic<uint64_t> write_count { 0 };
std::atomic<uint64_t> births { 1 };
std::atomic<uint64_t> mark { UINT64_MAX };
} // namespace

uint64_t write_epoch() {
	return write_count.load(std::memory_order_relaxed);
}

void write_epoch_mark() {
	mark.store(births.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

uint64_t internal::next_birth() {
	return births.fetch_add(1, std::memory_order_relaxed);
}

void internal::note_write(uint64_t p_birth) {
	if (p_birth < mark.load(std::memory_order_relaxed)) {
		write_count.fetch_add(1, std::memory_order_relaxed);
	}
}

} // namespace engine_double
