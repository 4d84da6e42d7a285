#include "counting_allocator.hpp"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> live { 0 };
std::atomic<size_t> peak { 0 };

void *counted_allocate(size_t p_size) noexcept {
	void *block = std::malloc(p_size == 0 ? 1 : p_size);
	if (block == nullptr) {
		return nullptr;
	}
	// The usable size is what the block really occupies, and what free gives back.
	const size_t now = live.fetch_add(malloc_usable_size(block), std::memory_order_relaxed) + malloc_usable_size(block);
	size_t seen = peak.load(std::memory_order_relaxed);
	while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
	}
	return block;
}

void counted_free(void *p_block) noexcept {
	if (p_block != nullptr) {
		live.fetch_sub(malloc_usable_size(p_block), std::memory_order_relaxed);
		std::free(p_block);
	}
}

} // namespace

namespace counting_allocator {

size_t live_bytes() {
	return live.load(std::memory_order_relaxed);
}

size_t peak_bytes() {
	return peak.load(std::memory_order_relaxed);
}

void reset_peak() {
	peak.store(live.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

} // namespace counting_allocator

void *operator new(size_t p_size) {
	void *block = counted_allocate(p_size);
	if (block == nullptr) {
		throw std::bad_alloc();
	}
	return block;
}

void *operator new[](size_t p_size) {
	return operator new(p_size);
}

void *operator new(size_t p_size, const std::nothrow_t &) noexcept {
	return counted_allocate(p_size);
}

void *operator new[](size_t p_size, const std::nothrow_t &) noexcept {
	return counted_allocate(p_size);
}

void operator delete(void *p_block) noexcept {
	counted_free(p_block);
}

void operator delete[](void *p_block) noexcept {
	counted_free(p_block);
}

void operator delete(void *p_block, size_t) noexcept {
	counted_free(p_block);
}

void operator delete[](void *p_block, size_t) noexcept {
	counted_free(p_block);
}

void operator delete(void *p_block, const std::nothrow_t &) noexcept {
	counted_free(p_block);
}

void operator delete[](void *p_block, const std::nothrow_t &) noexcept {
	counted_free(p_block);
}
