#include "guest_choice/guest_batch_context.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

using namespace godot;

namespace veltrin {

bool guest_batch_context_read(const GuestBatchNames &p_names, const Dictionary &p_context, GuestBatchContext &r_context) {
	// Walking the keys once finds every present entry without a lookup per name; a String
	// and a StringName of one text are one key, so each name is met at most once.
	const Array keys = p_context.keys();
	const Array values = p_context.values();
	const int64_t count = keys.size() < values.size() ? keys.size() : values.size();
	for (int64_t i = 0; i < count; i++) {
		const Variant &key = keys[i];
		if (key.get_type() != Variant::STRING && key.get_type() != Variant::STRING_NAME) {
			return false;
		}
		const StringName name = key;
		const Variant &value = values[i];
		const Variant::Type type = value.get_type();
		if (name == p_names.absolute_minute.name) {
			if (type != Variant::INT) {
				return false;
			}
			r_context.has_absolute_minute = true;
			r_context.absolute_minute = value;
		} else if (name == p_names.wait_hard_limit.name) {
			if (type != Variant::INT) {
				return false;
			}
			r_context.wait_hard_limit = value;
		} else if (name == p_names.exit_threshold.name) {
			if (type != Variant::INT) {
				return false;
			}
		} else if (name == p_names.adult_content_enabled.name) {
			if (type == Variant::INT) {
				r_context.adult_content_enabled = int64_t(value) != 0;
			} else if (type == Variant::BOOL) {
				r_context.adult_content_enabled = value;
			} else {
				return false;
			}
		} else if (name == p_names.exit_reason.name) {
			if (type != Variant::STRING && type != Variant::STRING_NAME) {
				return false;
			}
		} else {
			return false;
		}
	}
	return true;
}

} // namespace veltrin
