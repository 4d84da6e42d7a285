#include "graph_input.hpp"

#include <algorithm>
#include <limits>

namespace veltrin_fuzz {

namespace {

using veltrin_oracle::GraphEdge;
using veltrin_oracle::SearchCase;

constexpr int64_t INT64_MAX_VALUE = std::numeric_limits<int64_t>::max();
constexpr int64_t INT64_MIN_VALUE = std::numeric_limits<int64_t>::min();

// Tag bytes.
constexpr uint8_t SHORT_LIMIT = 0xE0; // below: the value is in the tag itself
constexpr uint8_t WIDE_TAG = 0xF0; // from here on: a wide value, low nibble picks it
constexpr uint8_t RAW_TAG = 0xFF; // wide value 15: eight raw bytes follow
constexpr uint8_t COST_ZERO = 0xC0;
constexpr uint8_t COST_MINUS_ONE = 0xC1;
constexpr uint8_t COST_SMALL_NEGATIVE = 0xC2;
constexpr uint8_t COST_MEDIUM = 0xC3;
constexpr uint8_t COST_LARGE = 0xC4;
constexpr uint8_t COUNT_LIMIT = 0xF0;
constexpr uint8_t EDGE_LIST_LONG = 0xE0;

int64_t wrapping_add(int64_t p_a, int64_t p_b) {
	return static_cast<int64_t>(static_cast<uint64_t>(p_a) + static_cast<uint64_t>(p_b));
}

class ByteReader {
public:
	ByteReader(const uint8_t *p_data, size_t p_size) :
	        data(p_data), size(p_size) {}

	bool empty() const { return next == size; }

	// Zero once the input is used up, so every input decodes.
	uint8_t u8() { return next < size ? data[next++] : 0; }

	uint64_t little_endian(int p_bytes) {
		uint64_t value = 0;
		for (int i = 0; i < p_bytes; i++) {
			value |= static_cast<uint64_t>(u8()) << (8 * i);
		}
		return value;
	}

private:
	const uint8_t *data;
	size_t size;
	size_t next = 0;
};

class ByteWriter {
public:
	std::vector<uint8_t> bytes;

	void u8(uint8_t p_value) { bytes.push_back(p_value); }

	void little_endian(uint64_t p_value, int p_bytes) {
		for (int i = 0; i < p_bytes; i++) {
			bytes.push_back(static_cast<uint8_t>(p_value >> (8 * i)));
		}
	}

	void raw(int64_t p_value) {
		u8(RAW_TAG);
		little_endian(static_cast<uint64_t>(p_value), 8);
	}
};

// The values where 64-bit arithmetic and range checks break.
int64_t wide_value(uint8_t p_kind, ByteReader &r_reader) {
	switch (p_kind & 0x0f) {
		case 0:
			return INT64_MIN_VALUE;
		case 1:
			return INT64_MIN_VALUE + 1;
		case 2:
			return -2;
		case 3:
			return -1;
		case 4:
			return INT64_MAX_VALUE;
		case 5:
			return INT64_MAX_VALUE - 1;
		case 6:
			return int64_t(1) << 62;
		case 7:
			return (int64_t(1) << 62) - 1;
		case 8:
			// Just past the longest vector of 64-bit values.
			return int64_t(1) << 60;
		case 9:
			return int64_t(1) << 32;
		case 10:
			return int64_t(1) << 31;
		case 11:
			return -(int64_t(1) << 32);
		case 12:
			return INT64_MAX_VALUE - r_reader.u8();
		case 13:
			// Two of these add up to just below or above the largest cost.
			return INT64_MAX_VALUE / 2 + static_cast<int8_t>(r_reader.u8());
		case 14:
			return INT64_MAX_VALUE >> (r_reader.u8() % 64);
		default:
			return static_cast<int64_t>(r_reader.little_endian(8));
	}
}

// Index tags reach -1..n directly while n is small; larger graphs use two bytes.
int64_t short_span(int64_t p_node_count) {
	return p_node_count >= 0 && p_node_count <= SHORT_LIMIT - 2 ? p_node_count + 2 : SHORT_LIMIT;
}

int64_t long_span(int64_t p_node_count) {
	return p_node_count >= 0 && p_node_count <= 65534 ? p_node_count + 2 : 65536;
}

int64_t read_index(ByteReader &r_reader, int64_t p_node_count) {
	const uint8_t tag = r_reader.u8();
	if (tag < SHORT_LIMIT) {
		return tag % short_span(p_node_count) - 1;
	}
	if (tag < WIDE_TAG) {
		return static_cast<int64_t>(r_reader.little_endian(2)) % long_span(p_node_count) - 1;
	}
	return wide_value(tag, r_reader);
}

void write_index(ByteWriter &r_writer, int64_t p_index, int64_t p_node_count) {
	if (p_index >= -1 && p_index < short_span(p_node_count) - 1) {
		r_writer.u8(static_cast<uint8_t>(p_index + 1));
	} else if (p_index >= -1 && p_index < long_span(p_node_count) - 1) {
		r_writer.u8(SHORT_LIMIT);
		r_writer.little_endian(static_cast<uint64_t>(p_index + 1), 2);
	} else {
		r_writer.raw(p_index);
	}
}

// Mostly 1..16, so equal-cost routes and their tie-break come up all the time.
int64_t read_cost(ByteReader &r_reader) {
	const uint8_t tag = r_reader.u8();
	if (tag >= WIDE_TAG) {
		return wide_value(tag, r_reader);
	}
	switch (tag) {
		case COST_ZERO:
			return 0;
		case COST_MINUS_ONE:
			return -1;
		case COST_SMALL_NEGATIVE:
			return -2 - r_reader.u8();
		case COST_MEDIUM:
			return static_cast<int64_t>(r_reader.little_endian(2)) + 1;
		case COST_LARGE:
			return static_cast<int64_t>(r_reader.little_endian(4)) + 1;
		default:
			return tag % 16 + 1;
	}
}

void write_cost(ByteWriter &r_writer, int64_t p_cost) {
	if (p_cost >= 1 && p_cost <= 16) {
		r_writer.u8(static_cast<uint8_t>(p_cost - 1));
	} else if (p_cost == 0) {
		r_writer.u8(COST_ZERO);
	} else if (p_cost == -1) {
		r_writer.u8(COST_MINUS_ONE);
	} else {
		r_writer.raw(p_cost);
	}
}

int64_t read_node_count(ByteReader &r_reader) {
	const uint8_t tag = r_reader.u8();
	if (tag < SHORT_LIMIT) {
		return tag;
	}
	if (tag < WIDE_TAG) {
		return SHORT_LIMIT + static_cast<int64_t>(r_reader.little_endian(2)) % (MAX_FUZZ_NODES - SHORT_LIMIT + 1);
	}
	return wide_value(tag, r_reader);
}

void write_node_count(ByteWriter &r_writer, int64_t p_node_count) {
	if (p_node_count >= 0 && p_node_count < SHORT_LIMIT) {
		r_writer.u8(static_cast<uint8_t>(p_node_count));
	} else if (p_node_count >= SHORT_LIMIT && p_node_count <= MAX_FUZZ_NODES) {
		r_writer.u8(SHORT_LIMIT);
		r_writer.little_endian(static_cast<uint64_t>(p_node_count - SHORT_LIMIT), 2);
	} else {
		r_writer.raw(p_node_count);
	}
}

// A node's edges: a few plain ones, up to 255 plain ones, or a run of evenly
// spaced targets at one cost (many nodes of equal cost at once).
void read_edge_list(ByteReader &r_reader, int64_t p_node_count, std::vector<GraphEdge> &r_edges) {
	const size_t budget = MAX_FUZZ_EDGES - std::min(r_edges.size(), MAX_FUZZ_EDGES);
	const uint8_t tag = r_reader.u8();
	if (tag >= WIDE_TAG) {
		const size_t count = static_cast<size_t>(r_reader.u8()) + 1;
		const int64_t first = read_index(r_reader, p_node_count);
		const int64_t stride = static_cast<int8_t>(r_reader.u8());
		const int64_t cost = read_cost(r_reader);
		int64_t target = first;
		for (size_t i = 0; i < count && i < budget; i++) {
			r_edges.push_back(GraphEdge { target, cost });
			target = wrapping_add(target, stride);
		}
		return;
	}
	const size_t count = tag < EDGE_LIST_LONG ? tag % 8 : r_reader.u8();
	for (size_t i = 0; i < count; i++) {
		GraphEdge edge;
		edge.target = read_index(r_reader, p_node_count);
		edge.cost = read_cost(r_reader);
		if (i < budget) {
			r_edges.push_back(edge);
		}
	}
}

} // namespace

SearchCase GraphInput::to_search_case() const {
	SearchCase search_case;
	search_case.node_count = node_count;
	search_case.start = start;
	search_case.goals = goals;
	for (size_t node = 0; node < listed_nodes(); node++) {
		search_case.edges.emplace_back(edges.begin() + edge_starts[node], edges.begin() + edge_starts[node + 1]);
	}
	return search_case;
}

GraphInput GraphInput::from_search_case(const SearchCase &p_case, bool p_edges_by_reference) {
	GraphInput input;
	input.edges_by_reference = p_edges_by_reference;
	input.node_count = p_case.node_count;
	input.start = p_case.start;
	input.goals = p_case.goals;
	for (const std::vector<GraphEdge> &node_edges : p_case.edges) {
		input.edges.insert(input.edges.end(), node_edges.begin(), node_edges.end());
		input.edge_starts.push_back(input.edges.size());
	}
	return input;
}

GraphInput decode_graph_input(const uint8_t *p_data, size_t p_size) {
	ByteReader reader(p_data, p_size);
	GraphInput input;
	input.edges_by_reference = (reader.u8() & 1) != 0;
	input.node_count = read_node_count(reader);
	input.start = read_index(reader, input.node_count);
	const uint8_t goal_tag = reader.u8();
	const size_t goal_count = goal_tag < COUNT_LIMIT ? goal_tag % 16 : reader.u8();
	input.goals.reserve(goal_count);
	for (size_t i = 0; i < goal_count; i++) {
		input.goals.push_back(read_index(reader, input.node_count));
	}
	// Most edges take two bytes; growing the block would cost more than this.
	input.edges.reserve(std::min(p_size / 2, MAX_FUZZ_EDGES));
	const int64_t listed_nodes = input.node_count < 0 ? 0 : std::min(input.node_count, MAX_FUZZ_NODES);
	for (int64_t node = 0; node < listed_nodes && !reader.empty(); node++) {
		read_edge_list(reader, input.node_count, input.edges);
		input.edge_starts.push_back(input.edges.size());
	}
	return input;
}

std::optional<std::vector<uint8_t>> encode_graph_input(const GraphInput &p_input) {
	ByteWriter writer;
	writer.u8(p_input.edges_by_reference ? 1 : 0);
	write_node_count(writer, p_input.node_count);
	write_index(writer, p_input.start, p_input.node_count);
	if (p_input.goals.size() < 16) {
		writer.u8(static_cast<uint8_t>(p_input.goals.size()));
	} else if (p_input.goals.size() <= 255) {
		writer.u8(COUNT_LIMIT);
		writer.u8(static_cast<uint8_t>(p_input.goals.size()));
	} else {
		return std::nullopt;
	}
	for (const int64_t goal : p_input.goals) {
		write_index(writer, goal, p_input.node_count);
	}
	size_t last_listed = p_input.listed_nodes();
	while (last_listed > 0 && p_input.edge_starts[last_listed] == p_input.edge_starts[last_listed - 1]) {
		last_listed--;
	}
	if (p_input.edge_starts[last_listed] > MAX_FUZZ_EDGES || static_cast<int64_t>(last_listed) > MAX_FUZZ_NODES) {
		return std::nullopt;
	}
	for (size_t node = 0; node < last_listed; node++) {
		const size_t count = p_input.edge_starts[node + 1] - p_input.edge_starts[node];
		if (count < 8) {
			writer.u8(static_cast<uint8_t>(count));
		} else if (count <= 255) {
			writer.u8(EDGE_LIST_LONG);
			writer.u8(static_cast<uint8_t>(count));
		} else {
			return std::nullopt;
		}
		for (size_t i = p_input.edge_starts[node]; i < p_input.edge_starts[node + 1]; i++) {
			write_index(writer, p_input.edges[i].target, p_input.node_count);
			write_cost(writer, p_input.edges[i].cost);
		}
	}
	return writer.bytes;
}

bool same_graph_input(const GraphInput &p_a, const GraphInput &p_b) {
	if (p_a.edges_by_reference != p_b.edges_by_reference || p_a.node_count != p_b.node_count ||
	        p_a.start != p_b.start || p_a.goals != p_b.goals) {
		return false;
	}
	// Trailing nodes without edges are the same as nodes not listed.
	const size_t listed = std::max(p_a.listed_nodes(), p_b.listed_nodes());
	for (size_t node = 0; node < listed; node++) {
		const size_t a_first = p_a.edge_starts[std::min(node, p_a.listed_nodes())];
		const size_t a_last = p_a.edge_starts[std::min(node + 1, p_a.listed_nodes())];
		const size_t b_first = p_b.edge_starts[std::min(node, p_b.listed_nodes())];
		const size_t b_last = p_b.edge_starts[std::min(node + 1, p_b.listed_nodes())];
		if (a_last - a_first != b_last - b_first) {
			return false;
		}
		for (size_t i = 0; i < a_last - a_first; i++) {
			const GraphEdge &a = p_a.edges[a_first + i];
			const GraphEdge &b = p_b.edges[b_first + i];
			if (a.target != b.target || a.cost != b.cost) {
				return false;
			}
		}
	}
	return true;
}

} // namespace veltrin_fuzz
