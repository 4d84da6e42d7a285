// Writes the route and performance fuzzers' seed inputs: the scenarios of the route and
// performance tests, spelled in the bytes the fuzzers' decoders read, so a run starts from
// inputs that already reach the native rows, the cache and the recorder's report.
//
//     seed_writer <fuzz dir>   (writes <fuzz dir>/<area>/corpus/<fuzzer>/<scenario>)
//
// Each helper below mirrors one read of FuzzInput / VariantDecoder / the fuzzers' decoders,
// in the order they read; a byte under a chance's threshold means "yes".

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Cell {
	int x, y, z;
};

class SeedBytes {
public:
	std::string bytes;

	void byte(uint8_t p_value) { bytes.push_back(char(p_value)); }
	void yes() { byte(0); }
	void no() { byte(255); }
	void boolean(bool p_value) { byte(p_value ? 1 : 0); }
	// FuzzInput::range: as many bytes as the span needs, most significant first.
	void range(int64_t p_low, int64_t p_high, int64_t p_value) {
		const uint64_t span = uint64_t(p_high) - uint64_t(p_low);
		const uint64_t offset = uint64_t(p_value) - uint64_t(p_low);
		int count = 0;
		for (uint64_t covered = span; covered != 0; covered >>= 8) {
			count++;
		}
		for (int i = count - 1; i >= 0; i--) {
			byte(uint8_t(offset >> (8 * i)));
		}
	}
	void pick(size_t p_count, size_t p_index) {
		if (p_count > 1) {
			range(0, int64_t(p_count) - 1, int64_t(p_index));
		}
	}
	// edgy_int64 as its full 64-bit form.
	void any_int64(int64_t p_value) {
		byte(3);
		for (int i = 0; i < 8; i++) {
			byte(uint8_t(uint64_t(p_value) >> (8 * i)));
		}
	}
	// small_int64 within its range.
	void small(int64_t p_high, int64_t p_value) {
		no();
		range(0, p_high, p_value);
	}
	// VariantDecoder::finish: untyped, writable, not shared.
	void plain() {
		byte(0);
		no();
	}
	void read_only() {
		byte(0);
		yes();
	}
	// VariantDecoder::cell in the small box.
	void cell(const Cell &p_cell) {
		no();
		range(-1, 3, p_cell.x);
		range(-1, 2, p_cell.y);
		range(-1, 2, p_cell.z);
	}
	// A container decoded by array()/dictionary(): not an earlier one, p_count elements.
	void elements(int64_t p_count) {
		no();
		no();
		range(0, 5, p_count);
	}
};

// ---- route -------------------------------------------------------------------------

struct Entry {
	int to; // index into the graph's cells
	int cost; // 0: no cost key (the orthogonal default)
	bool connector = false;
};

struct Traffic {
	int cell;
	bool block;
	int dynamic_cost, density, capacity;
};

struct Row {
	int to;
	int cost;
};

struct RouteScenario {
	std::vector<Cell> cells;
	std::vector<std::vector<Entry>> adjacency; // per cell; empty vector: no key
	std::vector<Traffic> traffic;
	bool vertical_needs_connector = false;
	std::vector<std::vector<Row>> rows; // the script edge source's rows per cell
};

void graph_cell(SeedBytes &r_out, const RouteScenario &p_scenario, int p_index) {
	r_out.no();
	r_out.pick(p_scenario.cells.size(), size_t(p_index));
}

void cost(SeedBytes &r_out, int p_cost) {
	r_out.byte(0);
	r_out.range(1, 20, p_cost);
}

void route_state(SeedBytes &r_out, const RouteScenario &p_scenario) {
	r_out.range(0, 10, int64_t(p_scenario.cells.size()));
	for (const Cell &cell : p_scenario.cells) {
		r_out.cell(cell);
	}
	r_out.byte(0); // no damage to the numbering
	r_out.plain();
	r_out.plain();

	// _adjacency
	r_out.no();
	for (size_t i = 0; i < p_scenario.cells.size(); i++) {
		const bool has = i < p_scenario.adjacency.size() && !p_scenario.adjacency[i].empty();
		if (!has) {
			r_out.yes();
			continue;
		}
		r_out.no();
		r_out.elements(int64_t(p_scenario.adjacency[i].size()));
		for (const Entry &entry : p_scenario.adjacency[i]) {
			r_out.yes();
			graph_cell(r_out, p_scenario, entry.to);
			if (entry.connector) {
				r_out.no();
				r_out.byte(0); // key(): a name
				r_out.byte(0);
				r_out.pick(22, 14); // "elevator"
			} else {
				r_out.yes();
			}
			r_out.yes();
			r_out.yes();
			if (entry.cost == 0) {
				r_out.byte(3);
			} else {
				r_out.byte(0);
				cost(r_out, entry.cost);
			}
			r_out.plain();
		}
		r_out.plain();
	}
	r_out.plain();

	// _cell_traffic
	r_out.no();
	r_out.range(0, 3, int64_t(p_scenario.traffic.size()));
	for (const Traffic &traffic : p_scenario.traffic) {
		graph_cell(r_out, p_scenario, traffic.cell);
		r_out.yes();
		r_out.no();
		r_out.yes();
		r_out.yes();
		r_out.byte(traffic.block ? 0 : 255);
		for (int number : { traffic.dynamic_cost, traffic.density, traffic.capacity }) {
			r_out.yes();
			r_out.yes();
			r_out.small(12, number);
		}
		r_out.plain();
	}
	r_out.plain();

	// _guest_tree_workspace: a fresh memo and the graph's own numbering
	r_out.no();
	r_out.yes();
	r_out.yes();
	r_out.no();
	r_out.plain();
	r_out.yes();
	r_out.byte(0);
	r_out.plain();

	// _vertical_walk_requires_connector, then leave the impostor as it is
	r_out.no();
	r_out.boolean(p_scenario.vertical_needs_connector);
	r_out.yes();

	// _rows of the script edge source
	r_out.no();
	for (size_t i = 0; i < p_scenario.cells.size(); i++) {
		if (i >= p_scenario.rows.size()) {
			r_out.yes();
			continue;
		}
		r_out.no();
		r_out.no();
		r_out.range(0, 4, int64_t(p_scenario.rows[i].size()));
		for (const Row &row : p_scenario.rows[i]) {
			r_out.byte(0);
			r_out.yes();
			graph_cell(r_out, p_scenario, row.to);
			cost(r_out, row.cost);
			r_out.plain();
		}
		r_out.plain();
	}
	r_out.plain();
}

enum Provider { WALKING,
	SCRIPT_ROWS };
enum Action { CLEAR = 0,
	SEARCH = 4,
	SEARCH_CACHED = 3,
	CACHE_AGREES = 13 };

void walking_arguments(SeedBytes &r_out) {
	r_out.yes();
	r_out.yes();
	r_out.yes();
}

void provider(SeedBytes &r_out, Provider p_provider) {
	if (p_provider == WALKING) {
		r_out.byte(0);
		walking_arguments(r_out);
	} else {
		r_out.byte(6);
	}
}

void search_step(SeedBytes &r_out, const RouteScenario &p_scenario, Action p_action, int p_start, const std::vector<int> &p_goals) {
	r_out.byte(uint8_t(p_action));
	if (p_action == CLEAR) {
		return;
	}
	r_out.no();
	r_out.range(0, int64_t(p_scenario.cells.size()) - 1, p_start);
	r_out.range(0, 3, int64_t(p_goals.size()));
	for (int goal : p_goals) {
		r_out.yes();
		r_out.pick(p_scenario.cells.size(), size_t(goal));
	}
	r_out.plain();
}

void rows_step(SeedBytes &r_out, const RouteScenario &p_scenario, int p_current) {
	r_out.byte(0); // the game's path service
	r_out.cell({ 0, 0, 0 });
	r_out.yes();
	r_out.pick(p_scenario.cells.size(), size_t(p_current));
	r_out.yes();
	r_out.yes();
	r_out.yes();
}

// A line of cells along x on the front layer, each linked to the next (and back).
RouteScenario line(int p_count, int p_cost) {
	RouteScenario scenario;
	for (int i = 0; i < p_count; i++) {
		scenario.cells.push_back({ i - 1, 0, 0 });
	}
	scenario.adjacency.resize(size_t(p_count));
	scenario.rows.resize(size_t(p_count));
	for (int i = 0; i + 1 < p_count; i++) {
		scenario.adjacency[size_t(i)].push_back({ i + 1, p_cost });
		scenario.adjacency[size_t(i + 1)].push_back({ i, p_cost });
		scenario.rows[size_t(i)].push_back({ i + 1, p_cost });
		scenario.rows[size_t(i + 1)].push_back({ i, p_cost });
	}
	return scenario;
}

// Two layers: HOME at the front with east, west, behind (back layer) and up (y + 1).
RouteScenario home_and_neighbours() {
	RouteScenario scenario;
	scenario.cells = { { 1, 0, 0 }, { 2, 0, 0 }, { 0, 0, 0 }, { 1, 0, 1 }, { 1, 1, 0 } };
	scenario.adjacency.resize(5);
	scenario.adjacency[0] = { { 1, 4 }, { 3, 0 }, { 2, 10 } };
	scenario.adjacency[1] = { { 0, 1 } };
	scenario.adjacency[2] = { { 0, 3 } };
	scenario.rows = { { { 1, 4 }, { 2, 10 } }, { { 0, 1 } } };
	return scenario;
}

struct Seed {
	std::string name;
	std::string bytes;
};

std::vector<Seed> search_seeds() {
	std::vector<Seed> seeds;
	{
		SeedBytes out;
		const RouteScenario scenario = line(4, 1);
		route_state(out, scenario);
		provider(out, SCRIPT_ROWS);
		search_step(out, scenario, SEARCH, 0, { 3 });
		search_step(out, scenario, SEARCH, 1, {});
		seeds.push_back({ "record_in_key_order", out.bytes });
	}
	{
		SeedBytes out;
		const RouteScenario scenario = line(6, 2);
		route_state(out, scenario);
		provider(out, SCRIPT_ROWS);
		search_step(out, scenario, SEARCH, 0, { 2 });
		search_step(out, scenario, SEARCH, 0, { 2, 5 });
		search_step(out, scenario, SEARCH, 5, { 0 });
		seeds.push_back({ "goals_decide_how_far", out.bytes });
	}
	{
		SeedBytes out;
		RouteScenario scenario = line(3, 1);
		scenario.rows[1].push_back({ 0, 20 });
		route_state(out, scenario);
		provider(out, SCRIPT_ROWS);
		search_step(out, scenario, SEARCH_CACHED, 0, { 2 });
		search_step(out, scenario, SEARCH_CACHED, 1, { 2 });
		search_step(out, scenario, CLEAR, 0, {});
		search_step(out, scenario, SEARCH_CACHED, 2, { 0 });
		seeds.push_back({ "cache_until_cleared", out.bytes });
	}
	{
		SeedBytes out;
		const RouteScenario scenario = line(5, 3);
		route_state(out, scenario);
		provider(out, SCRIPT_ROWS);
		search_step(out, scenario, CACHE_AGREES, 0, { 4 });
		search_step(out, scenario, CACHE_AGREES, 2, {});
		seeds.push_back({ "cache_agrees_script_rows", out.bytes });
	}
	{
		SeedBytes out;
		const RouteScenario scenario = line(5, 3);
		route_state(out, scenario);
		provider(out, WALKING);
		search_step(out, scenario, SEARCH, 0, { 4 });
		search_step(out, scenario, SEARCH_CACHED, 0, { 4 });
		search_step(out, scenario, CACHE_AGREES, 4, { 0 });
		seeds.push_back({ "native_walking_rows", out.bytes });
	}
	{
		SeedBytes out;
		RouteScenario scenario = home_and_neighbours();
		scenario.traffic = { { 1, false, 3, 12, 10 }, { 2, true, 0, 0, 0 } };
		route_state(out, scenario);
		provider(out, WALKING);
		search_step(out, scenario, SEARCH, 0, { 1, 2 });
		search_step(out, scenario, CACHE_AGREES, 0, {});
		seeds.push_back({ "walking_with_traffic", out.bytes });
	}
	{
		SeedBytes out;
		RouteScenario scenario = home_and_neighbours();
		scenario.adjacency[0].push_back({ 4, 6, true });
		scenario.vertical_needs_connector = true;
		route_state(out, scenario);
		provider(out, WALKING);
		search_step(out, scenario, SEARCH_CACHED, 0, { 4 });
		search_step(out, scenario, SEARCH, 1, { 4 });
		seeds.push_back({ "connector_cell_goes_to_script", out.bytes });
	}
	{
		SeedBytes out;
		RouteScenario scenario = line(4, 1);
		scenario.cells.push_back({ 3, 2, 2 }); // a cell no row leads to
		route_state(out, scenario);
		provider(out, SCRIPT_ROWS);
		search_step(out, scenario, SEARCH, 0, { 4 });
		search_step(out, scenario, SEARCH, 4, { 0 });
		seeds.push_back({ "unreachable_goal", out.bytes });
	}
	return seeds;
}

std::vector<Seed> rows_seeds() {
	std::vector<Seed> seeds;
	{
		SeedBytes out;
		const RouteScenario scenario = home_and_neighbours();
		route_state(out, scenario);
		rows_step(out, scenario, 0);
		rows_step(out, scenario, 0); // the memo's own rows
		rows_step(out, scenario, 1);
		seeds.push_back({ "rows_in_adjacency_order_memoised", out.bytes });
	}
	{
		SeedBytes out;
		RouteScenario scenario = home_and_neighbours();
		scenario.traffic = { { 1, false, 3, 12, 10 }, { 2, false, 3, 8, 10 }, { 3, true, 0, 0, 0 } };
		route_state(out, scenario);
		rows_step(out, scenario, 0);
		rows_step(out, scenario, 2);
		seeds.push_back({ "congestion_and_blocks", out.bytes });
	}
	{
		SeedBytes out;
		RouteScenario scenario = home_and_neighbours();
		scenario.adjacency[0].push_back({ 4, 2 });
		scenario.vertical_needs_connector = true;
		route_state(out, scenario);
		rows_step(out, scenario, 0);
		seeds.push_back({ "vertical_walk_needs_connector", out.bytes });
	}
	{
		SeedBytes out;
		RouteScenario scenario = home_and_neighbours();
		scenario.adjacency[0].push_back({ 4, 6, true });
		route_state(out, scenario);
		rows_step(out, scenario, 0);
		rows_step(out, scenario, 1);
		seeds.push_back({ "connector_declines_the_cell", out.bytes });
	}
	{
		SeedBytes out;
		const RouteScenario scenario = line(6, 0);
		route_state(out, scenario);
		for (int i = 0; i < 4; i++) {
			rows_step(out, scenario, i);
		}
		seeds.push_back({ "orthogonal_default_cost", out.bytes });
	}
	return seeds;
}

// ---- performance -------------------------------------------------------------------

struct Budget {
	std::vector<int64_t> window; // of "frame"; empty and absent: a first sample
	bool present = true;
	bool typed_window = true;
	int64_t total = 0;
	int64_t count = 0;
	int aggregation = -2; // -2: no budget entry
	int64_t limit = 0;
	int capacity = 4;
};

void budget(SeedBytes &r_out, const Budget &p_budget) {
	r_out.yes(); // the game's budget script
	r_out.range(0, 2, p_budget.present ? 1 : 0);
	if (p_budget.present) {
		r_out.yes(); // "frame"
		r_out.byte(p_budget.typed_window ? 0 : 255);
		r_out.range(0, 8, int64_t(p_budget.window.size()));
		for (int64_t sample : p_budget.window) {
			r_out.yes();
			r_out.range(0, 1000, sample);
		}
		r_out.no();
		r_out.no();
		r_out.yes();
		r_out.byte(0); // sorted copy and snapshot in step
		r_out.yes();
		r_out.yes();
		r_out.yes();
		r_out.any_int64(p_budget.total);
		r_out.yes();
		r_out.yes();
		r_out.small(50, p_budget.count);
		if (p_budget.aggregation == -2) {
			r_out.no();
		} else {
			r_out.yes();
			r_out.yes();
			r_out.yes();
			r_out.range(-1, 3, p_budget.aggregation);
			r_out.yes();
			r_out.yes();
			r_out.small(500, p_budget.limit);
			r_out.yes();
			r_out.plain();
		}
	}
	for (int i = 0; i < 7; i++) {
		r_out.yes();
		r_out.plain();
	}
	r_out.no();
	r_out.no();
	r_out.yes();
	r_out.range(0, 6, p_budget.capacity);
}

void sample(SeedBytes &r_out, int64_t p_duration) {
	r_out.no(); // the budget itself as owner
	r_out.yes(); // "frame"
	if (p_duration >= 0 && p_duration <= 1000) {
		r_out.yes();
		r_out.range(0, 1000, p_duration);
	} else {
		r_out.no();
		r_out.any_int64(p_duration);
	}
}

std::vector<Seed> performance_seeds() {
	std::vector<Seed> seeds;
	const auto add = [&seeds](const char *p_name, const Budget &p_budget, const std::vector<int64_t> &p_samples) {
		SeedBytes out;
		budget(out, p_budget);
		for (int64_t duration : p_samples) {
			sample(out, duration);
		}
		seeds.push_back({ p_name, out.bytes });
	};
	Budget first;
	first.present = false;
	add("first_sample", first, { 120, 80, 300 });
	Budget full;
	full.window = { 10, 20, 30, 40 };
	full.total = 100;
	full.count = 4;
	add("full_window_drops_oldest", full, { 50, 5, 60 });
	for (int aggregation = 0; aggregation < 3; aggregation++) {
		Budget measured = full;
		measured.aggregation = aggregation;
		measured.limit = 25;
		const char *names[] = { "average_over_limit", "p95_over_limit", "maximum_over_limit" };
		add(names[aggregation], measured, { 500, 1, 26 });
	}
	Budget unknown = full;
	unknown.aggregation = 3;
	unknown.limit = 0;
	add("unknown_aggregation_no_limit", unknown, { 7 });
	Budget wrapping = full;
	wrapping.total = INT64_MAX - 10;
	add("lifetime_total_wraps", wrapping, { 20, 1000 });
	Budget untyped = full;
	untyped.typed_window = false;
	add("untyped_window", untyped, { 3 });
	Budget zero = full;
	zero.capacity = 0;
	add("zero_capacity", zero, { 9, 9 });
	add("negative_duration_declines", full, { -1, INT64_MIN, 0 });
	return seeds;
}

bool write_all(const std::string &p_directory, const std::vector<Seed> &p_seeds) {
	for (const Seed &seed : p_seeds) {
		const std::string path = p_directory + "/" + seed.name;
		FILE *file = std::fopen(path.c_str(), "wb");
		if (file == nullptr || std::fwrite(seed.bytes.data(), 1, seed.bytes.size(), file) != seed.bytes.size()) {
			std::fprintf(stderr, "cannot write %s\n", path.c_str());
			if (file != nullptr) {
				std::fclose(file);
			}
			return false;
		}
		std::fclose(file);
	}
	return true;
}

} // namespace

int main(int p_argc, char **p_argv) {
	if (p_argc != 2) {
		std::fprintf(stderr, "usage: %s <fuzz dir>\n", p_argv[0]);
		return 2;
	}
	const std::string fuzz = p_argv[1];
	const bool written = write_all(fuzz + "/route/corpus/search_fuzzer", search_seeds()) &&
	        write_all(fuzz + "/route/corpus/guest_tree_edge_rows_fuzzer", rows_seeds()) &&
	        write_all(fuzz + "/performance/corpus/performance_record_sample_fuzzer", performance_seeds());
	return written ? 0 : 1;
}
