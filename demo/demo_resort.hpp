#pragma once

// The demo's resort: a dozen hand-placed facilities and three guests with different needs,
// wallets and tags, grown with seeded extras when asked for more. Built on the test support
// resort (runtime and services as the game's scripts), so the plug-in sees what it sees in
// the game.

#include "demo_report.hpp"

#include <resort_fixture.hpp>

#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace veltrin_demo {

// The minute the guests decide at.
constexpr int64_t DEMO_NOW_MINUTE = 600;

struct DemoGuest {
	godot::StringName id;
	std::string profile;
	godot::Vector3i cell;
};

class DemoResort {
public:
	DemoResort(int64_t p_facilities, int64_t p_guests, uint64_t p_seed);

	veltrin_test::ResortFixture &fixture() { return *resort; }
	const std::vector<FacilityOnMap> &facilities() const { return placed; }
	const std::vector<DemoGuest> &guests() const { return guest_list; }
	int32_t width() const { return resort->layout().width; }
	int32_t floors() const { return resort->layout().floors; }
	// The walking graph of the finished resort, numbered for the search entry points.
	const veltrin_test::CellGraph &graph() const { return walk; }

private:
	std::unique_ptr<veltrin_test::ResortFixture> resort;
	std::vector<FacilityOnMap> placed;
	std::vector<DemoGuest> guest_list;
	veltrin_test::CellGraph walk;
};

} // namespace veltrin_demo
