#include "guest_access/access_keys.hpp"

#include <godot_cpp/variant/string.hpp>

namespace veltrin {

AccessKeys::AccessKeys(const ProjectionNames &p_names) :
        no(false),
        yes(true),
        empty_text(godot::String()),
        OK(p_names.OK),
        arithmetic_wrapped(p_names.arithmetic_wrapped),
        compact(p_names.compact),
        cost_values(p_names.cost_values),
        costs(p_names.costs),
        indices(p_names.indices),
        path(p_names.path),
        reachable(p_names.reachable),
        ready(p_names.ready),
        settled(p_names.settled),
        start(p_names.start),
        supported(p_names.supported),
        target_cell(p_names.target_cell),
        targets(p_names.targets),
        temporary_block(p_names.temporary_block),
        tree(p_names.tree),
        usable(p_names.usable) {
}

} // namespace veltrin
