#include "object_db.hpp"

#include <godot_cpp/core/error_macros.hpp>

#include <atomic>
#include <memory>
#include <mutex>

namespace engine_double::internal {

namespace {

// Ids are laid out like the engine's: slot index in the low bits, a validator above it,
// and the top bit set for RefCounted objects.
constexpr uint64_t SLOT_BITS = 24;
constexpr uint64_t SLOT_MASK = (uint64_t(1) << SLOT_BITS) - 1;
constexpr uint64_t VALIDATOR_MASK = (uint64_t(1) << 39) - 1;
constexpr uint64_t REFERENCE_BIT = uint64_t(1) << 63;
constexpr uint64_t CHUNK_BITS = 12;
constexpr uint64_t CHUNK_SIZE = uint64_t(1) << CHUNK_BITS;
constexpr uint64_t CHUNK_COUNT = (uint64_t(1) << SLOT_BITS) / CHUNK_SIZE;

struct Slot {
	std::atomic<uint64_t> id { 0 };
	std::atomic<godot::Object *> object { nullptr };
};

struct Database {
	std::mutex mutex;
	// Chunks are allocated once and never freed, so readers can index them without a lock.
	std::atomic<Slot *> chunks[CHUNK_COUNT] = {};
	uint64_t next_unused = 1;
	std::vector<uint64_t> free_slots;
	uint64_t validator = 0;
	std::atomic<size_t> count { 0 };
};

Database &database() {
	// Never destroyed: objects may outlive static destruction at exit.
	static Database *instance = new Database();
	return *instance;
}

Slot *slot_of(const Database &p_db, uint64_t p_slot) {
	Slot *chunk = p_db.chunks[p_slot >> CHUNK_BITS].load(std::memory_order_acquire);
	return chunk ? &chunk[p_slot & (CHUNK_SIZE - 1)] : nullptr;
}

} // namespace

uint64_t object_db_add(godot::Object *p_object, bool p_ref_counted) {
	Database &db = database();
	std::lock_guard<std::mutex> lock(db.mutex);
	uint64_t slot_index;
	if (!db.free_slots.empty()) {
		slot_index = db.free_slots.back();
		db.free_slots.pop_back();
	} else {
		ERR_FAIL_COND_V_MSG(db.next_unused > SLOT_MASK, 0, "Object DB is full.");
		slot_index = db.next_unused++;
	}
	std::atomic<Slot *> &chunk = db.chunks[slot_index >> CHUNK_BITS];
	if (chunk.load(std::memory_order_relaxed) == nullptr) {
		chunk.store(new Slot[CHUNK_SIZE], std::memory_order_release);
	}
	db.validator = (db.validator + 1) & VALIDATOR_MASK;
	if (db.validator == 0) {
		db.validator = 1;
	}
	const uint64_t id = (db.validator << SLOT_BITS) | slot_index | (p_ref_counted ? REFERENCE_BIT : 0);
	Slot *slot = slot_of(db, slot_index);
	slot->object.store(p_object, std::memory_order_relaxed);
	slot->id.store(id, std::memory_order_release);
	db.count.fetch_add(1, std::memory_order_relaxed);
	return id;
}

void object_db_remove(uint64_t p_id) {
	if (p_id == 0) {
		return;
	}
	Database &db = database();
	std::lock_guard<std::mutex> lock(db.mutex);
	Slot *slot = slot_of(db, p_id & SLOT_MASK);
	if (slot == nullptr || slot->id.load(std::memory_order_relaxed) != p_id) {
		return;
	}
	slot->id.store(0, std::memory_order_release);
	slot->object.store(nullptr, std::memory_order_relaxed);
	db.free_slots.push_back(p_id & SLOT_MASK);
	db.count.fetch_sub(1, std::memory_order_relaxed);
}

godot::Object *object_db_get(uint64_t p_id) {
	if (p_id == 0) {
		return nullptr;
	}
	const Database &db = database();
	const Slot *slot = slot_of(db, p_id & SLOT_MASK);
	if (slot == nullptr || slot->id.load(std::memory_order_acquire) != p_id) {
		return nullptr;
	}
	return slot->object.load(std::memory_order_relaxed);
}

std::vector<godot::Object *> object_db_snapshot() {
	Database &db = database();
	std::lock_guard<std::mutex> lock(db.mutex);
	std::vector<godot::Object *> objects;
	objects.reserve(db.count.load(std::memory_order_relaxed));
	for (uint64_t index = 1; index < db.next_unused; index++) {
		const Slot *slot = slot_of(db, index);
		if (slot != nullptr && slot->id.load(std::memory_order_relaxed) != 0) {
			objects.push_back(slot->object.load(std::memory_order_relaxed));
		}
	}
	return objects;
}

size_t object_db_count() {
	return database().count.load(std::memory_order_relaxed);
}

} // namespace engine_double::internal
