#include "performance/performance_record_sample.hpp"

#include "extension/answers.hpp"

namespace veltrin {

godot::Dictionary performance_record_sample_impl(godot::Object *p_owner, const godot::StringName &p_metric_id, int64_t p_duration_us) {
	return declined_answer();
}

} // namespace veltrin
