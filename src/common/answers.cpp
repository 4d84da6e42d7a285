#include "common/answers.hpp"

#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>

namespace veltrin {

godot::Dictionary declined_answer() {
	godot::Dictionary answer;
	answer[godot::StringName("supported")] = false;
	return answer;
}

godot::Dictionary unusable_answer() {
	godot::Dictionary answer;
	answer[godot::StringName("status")] = godot::String("unusable");
	return answer;
}

} // namespace veltrin
