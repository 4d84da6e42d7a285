#include "guest_access/projection_keys.hpp"

#include "guest_access/path_minutes.hpp"

namespace veltrin {

ProjectionKeys::ProjectionKeys(const ProjectionNames &p_names) :
        search(p_names),
        estimated_total_gold(p_names.estimated_total_gold),
        expected_quality(p_names.expected_quality),
        expected_wait(p_names.expected_wait),
        facility_id(p_names.facility_id),
        facility_tags(p_names.facility_tags),
        graph_revision(p_names.graph_revision),
        group_fit(p_names.group_fit),
        illegal_level(p_names.illegal_level),
        inputs_available(p_names.inputs_available),
        is_open(p_names.is_open),
        need_relief(p_names.need_relief),
        path_handle(p_names.path_handle),
        risk_level(p_names.risk_level),
        service_category(p_names.service_category),
        travel_minutes(p_names.travel_minutes),
        entrance(p_names.entrance),
        staff_only(p_names.staff_only),
        zero(static_cast<int64_t>(0)),
        infrastructure_prefix(INFRASTRUCTURE_CONNECTOR_PREFIX),
        relief(p_names) {
}

} // namespace veltrin
