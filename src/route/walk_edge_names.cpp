#include "route/walk_edge_names.hpp"

namespace veltrin {

WalkEdgeNames::WalkEdgeNames() :
        resource_path("resource_path"),
        get_script_constant_map("get_script_constant_map"),
        front("FRONT"),
        back("BACK"),
        movement_walk("MOVEMENT_WALK"),
        orthogonal_move_cost("ORTHOGONAL_MOVE_COST"),
        congestion_cost_per_excess("CONGESTION_COST_PER_EXCESS"),
        guest_tree_workspace("_guest_tree_workspace"),
        edges("edges"),
        indices("indices"),
        adjacency("_adjacency"),
        cell_traffic("_cell_traffic"),
        vertical_walk_requires_connector("_vertical_walk_requires_connector"),
        to("to"),
        connector_id("connector_id"),
        access_id("access_id"),
        movement_type("movement_type"),
        base_cost("base_cost"),
        cost("cost"),
        temporary_block("temporary_block"),
        dynamic_cost("dynamic_cost"),
        current_density("current_density"),
        base_capacity("base_capacity"),
        guest_tree_shared_edges("_guest_tree_shared_edges") {
}

} // namespace veltrin
