#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cstdint>

namespace veltrin {

// performance_record_sample: records one timing sample into the performance budget.
godot::Dictionary performance_record_sample_impl(godot::Object *p_owner, const godot::StringName &p_metric_id, int64_t p_duration_us);

} // namespace veltrin
