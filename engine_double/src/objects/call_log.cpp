#include "call_log_record.hpp"

#include "object_state.hpp"
#include <engine_double/internal/crossing.hpp>

#include <algorithm>
#include <mutex>

namespace engine_double {

namespace internal {

std::atomic<bool> g_call_log_enabled { true };

namespace {

struct CallLog {
	std::mutex mutex;
	std::vector<CallLogEntry> entries;
	// The ticket of each entry, beside it.
	std::vector<uint64_t> tickets;
	uint64_t next_ticket = 1;
};

CallLog &call_log() {
	static CallLog *instance = new CallLog();
	return *instance;
}

} // namespace

uint64_t call_log_append(const godot::Object *p_object, CallLogKind p_kind, const godot::StringName &p_name, const godot::Variant *const *p_args, int p_argcount, bool p_found) {
	CallLogEntry entry;
	entry.kind = p_kind;
	entry.object_id = ObjectAccess::id(p_object);
	entry.object_label = ObjectAccess::state(p_object).log_label;
	entry.name = p_name;
	entry.found = p_found;
	const CrossingState &crossings = crossing_state_of_thread();
	entry.plugin_ns = crossings.nanoseconds[CROSSING_PLUGIN];
	entry.plugin_operations.assign(std::begin(crossings.kinds[CROSSING_PLUGIN]), std::end(crossings.kinds[CROSSING_PLUGIN]));
	for (int i = 0; i < p_argcount; i++) {
		entry.arguments.push_back(*p_args[i]);
	}
	CallLog &log = call_log();
	std::lock_guard<std::mutex> lock(log.mutex);
	log.entries.push_back(std::move(entry));
	const uint64_t ticket = log.next_ticket++;
	log.tickets.push_back(ticket);
	return ticket;
}

void call_log_settle(uint64_t p_ticket, bool p_found) {
	if (p_ticket == 0) {
		return;
	}
	CallLog &log = call_log();
	std::lock_guard<std::mutex> lock(log.mutex);
	// Tickets grow along the log: the entry is found by bisection, if it is still there.
	auto it = std::lower_bound(log.tickets.begin(), log.tickets.end(), p_ticket);
	if (it != log.tickets.end() && *it == p_ticket) {
		log.entries[size_t(it - log.tickets.begin())].found = p_found;
	}
}

} // namespace internal

std::string CallLogEntry::to_string() const {
	std::string text = object_label.utf8().get_data();
	const std::string member = godot::String(name).utf8().get_data();
	// Arguments print as array elements do: strings quoted, names as &"...".
	std::string listed = godot::Variant(arguments).stringify().utf8().get_data();
	listed = listed.size() >= 2 ? listed.substr(1, listed.size() - 2) : std::string();
	switch (kind) {
		case CallLogKind::GET:
			text += " get " + member;
			break;
		case CallLogKind::SET:
			text += " set " + member + " = " + listed;
			break;
		case CallLogKind::CALL:
			text += " call " + member + "(" + listed + ")";
			break;
		case CallLogKind::EMIT:
			text += " emit " + member + "(" + listed + ")";
			break;
	}
	if (!found) {
		text += " (missing)";
	}
	return text;
}

void call_log_set_enabled(bool p_enabled) {
	internal::g_call_log_enabled.store(p_enabled, std::memory_order_relaxed);
}

bool call_log_is_enabled() {
	return internal::g_call_log_enabled.load(std::memory_order_relaxed);
}

void call_log_clear() {
	internal::CallLog &log = internal::call_log();
	std::vector<CallLogEntry> dropped;
	{
		std::lock_guard<std::mutex> lock(log.mutex);
		dropped.swap(log.entries);
		log.tickets.clear();
	}
	// The entries' Variants may hold the last reference to an object whose destruction
	// logs nothing but must not run under the lock.
}

std::vector<CallLogEntry> call_log_entries() {
	internal::CallLog &log = internal::call_log();
	std::lock_guard<std::mutex> lock(log.mutex);
	return log.entries;
}

std::vector<CallLogEntry> call_log_entries_for(const godot::Object *p_object) {
	std::vector<CallLogEntry> result;
	if (p_object == nullptr) {
		return result;
	}
	const uint64_t id = internal::ObjectAccess::id(p_object);
	internal::CallLog &log = internal::call_log();
	std::lock_guard<std::mutex> lock(log.mutex);
	for (const CallLogEntry &entry : log.entries) {
		if (entry.object_id == id) {
			result.push_back(entry);
		}
	}
	return result;
}

std::vector<std::string> call_log_lines() {
	std::vector<std::string> lines;
	for (const CallLogEntry &entry : call_log_entries()) {
		lines.push_back(entry.to_string());
	}
	return lines;
}

size_t call_log_size() {
	internal::CallLog &log = internal::call_log();
	std::lock_guard<std::mutex> lock(log.mutex);
	return log.entries.size();
}

} // namespace engine_double
