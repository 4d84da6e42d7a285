// Dictionary lookup and insert by Vector3i and by StringName keys, each against a
// std::unordered_map doing the same work in the same run. After the run, every
// Dictionary benchmark is printed as a ratio to its std::unordered_map baseline
// (best CPU time of each; run with --benchmark_repetitions=5 on a busy machine).

#include <godot_cpp/variant/variant.hpp>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

using namespace godot;

namespace {

const int KEY_COUNT = 4096;

struct Vector3iHash {
	size_t operator()(const Vector3i &p_key) const {
		uint64_t mixed = (uint64_t(uint32_t(p_key.x)) * 0x9e3779b97f4a7c15ull) ^ (uint64_t(uint32_t(p_key.y)) * 0xc2b2ae3d27d4eb4full) ^ (uint64_t(uint32_t(p_key.z)) * 0x165667b19e3779f9ull);
		return size_t(mixed ^ (mixed >> 29));
	}
};

struct StringNameHash {
	size_t operator()(const StringName &p_key) const { return size_t(p_key.hash()); }
};

// Grid cells in a shuffled visiting order, like a path search walking a floor plan.
const std::vector<Vector3i> &cells() {
	static const std::vector<Vector3i> keys = []() {
		std::vector<Vector3i> result;
		for (int i = 0; i < KEY_COUNT; i++) {
			result.emplace_back(i % 64, (i / 64) % 32, i / 2048);
		}
		std::shuffle(result.begin(), result.end(), std::mt19937(1));
		return result;
	}();
	return keys;
}

const std::vector<StringName> &names() {
	static const std::vector<StringName> keys = []() {
		std::vector<StringName> result;
		for (int i = 0; i < KEY_COUNT; i++) {
			result.emplace_back(String("guest_need_") + itos(i));
		}
		std::shuffle(result.begin(), result.end(), std::mt19937(2));
		return result;
	}();
	return keys;
}

template <typename Key>
Dictionary filled_dictionary(const std::vector<Key> &p_keys) {
	Dictionary dictionary;
	for (size_t i = 0; i < p_keys.size(); i++) {
		dictionary[p_keys[i]] = int64_t(i);
	}
	return dictionary;
}

template <typename Key, typename Hash>
std::unordered_map<Key, int64_t, Hash> filled_map(const std::vector<Key> &p_keys) {
	std::unordered_map<Key, int64_t, Hash> map;
	for (size_t i = 0; i < p_keys.size(); i++) {
		map[p_keys[i]] = int64_t(i);
	}
	return map;
}

template <typename Key>
void dictionary_lookup(benchmark::State &p_state, const std::vector<Key> &p_keys) {
	const Dictionary dictionary = filled_dictionary(p_keys);
	const Variant missing;
	for (auto _ : p_state) {
		int64_t sum = 0;
		for (const Key &key : p_keys) {
			sum += int64_t(dictionary.get(key, missing));
		}
		benchmark::DoNotOptimize(sum);
	}
	p_state.SetItemsProcessed(int64_t(p_state.iterations()) * int64_t(p_keys.size()));
}

template <typename Key, typename Hash>
void map_lookup(benchmark::State &p_state, const std::vector<Key> &p_keys) {
	const std::unordered_map<Key, int64_t, Hash> map = filled_map<Key, Hash>(p_keys);
	for (auto _ : p_state) {
		int64_t sum = 0;
		for (const Key &key : p_keys) {
			const auto found = map.find(key);
			sum += found == map.end() ? 0 : found->second;
		}
		benchmark::DoNotOptimize(sum);
	}
	p_state.SetItemsProcessed(int64_t(p_state.iterations()) * int64_t(p_keys.size()));
}

template <typename Key>
void dictionary_insert(benchmark::State &p_state, const std::vector<Key> &p_keys) {
	for (auto _ : p_state) {
		Dictionary dictionary;
		for (size_t i = 0; i < p_keys.size(); i++) {
			dictionary[p_keys[i]] = int64_t(i);
		}
		benchmark::DoNotOptimize(dictionary.size());
	}
	p_state.SetItemsProcessed(int64_t(p_state.iterations()) * int64_t(p_keys.size()));
}

template <typename Key, typename Hash>
void map_insert(benchmark::State &p_state, const std::vector<Key> &p_keys) {
	for (auto _ : p_state) {
		std::unordered_map<Key, int64_t, Hash> map;
		for (size_t i = 0; i < p_keys.size(); i++) {
			map[p_keys[i]] = int64_t(i);
		}
		benchmark::DoNotOptimize(map.size());
	}
	p_state.SetItemsProcessed(int64_t(p_state.iterations()) * int64_t(p_keys.size()));
}

void BM_Dictionary_LookupVector3i(benchmark::State &p_state) {
	dictionary_lookup(p_state, cells());
}
void BM_StdUnorderedMap_LookupVector3i(benchmark::State &p_state) {
	map_lookup<Vector3i, Vector3iHash>(p_state, cells());
}
void BM_Dictionary_InsertVector3i(benchmark::State &p_state) {
	dictionary_insert(p_state, cells());
}
void BM_StdUnorderedMap_InsertVector3i(benchmark::State &p_state) {
	map_insert<Vector3i, Vector3iHash>(p_state, cells());
}
void BM_Dictionary_LookupStringName(benchmark::State &p_state) {
	dictionary_lookup(p_state, names());
}
void BM_StdUnorderedMap_LookupStringName(benchmark::State &p_state) {
	map_lookup<StringName, StringNameHash>(p_state, names());
}
void BM_Dictionary_InsertStringName(benchmark::State &p_state) {
	dictionary_insert(p_state, names());
}
void BM_StdUnorderedMap_InsertStringName(benchmark::State &p_state) {
	map_insert<StringName, StringNameHash>(p_state, names());
}

BENCHMARK(BM_Dictionary_LookupVector3i);
BENCHMARK(BM_StdUnorderedMap_LookupVector3i);
BENCHMARK(BM_Dictionary_InsertVector3i);
BENCHMARK(BM_StdUnorderedMap_InsertVector3i);
BENCHMARK(BM_Dictionary_LookupStringName);
BENCHMARK(BM_StdUnorderedMap_LookupStringName);
BENCHMARK(BM_Dictionary_InsertStringName);
BENCHMARK(BM_StdUnorderedMap_InsertStringName);

// Keeps each benchmark's best CPU time per iteration (over --benchmark_repetitions) so the
// ratios can be printed at the end; the best run is the least disturbed by other processes.
class RatioReporter : public benchmark::ConsoleReporter {
public:
	std::map<std::string, double> times;

	void ReportRuns(const std::vector<Run> &p_runs) override {
		for (const Run &run : p_runs) {
			if (run.run_type != Run::RT_Iteration || run.error_occurred) {
				continue;
			}
			const std::string name = run.run_name.function_name;
			const double time = run.GetAdjustedCPUTime();
			const auto known = times.find(name);
			if (known == times.end() || time < known->second) {
				times[name] = time;
			}
		}
		ConsoleReporter::ReportRuns(p_runs);
	}
};

} // namespace

int main(int argc, char **argv) {
	benchmark::Initialize(&argc, argv);
	if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
		return 1;
	}
	RatioReporter reporter;
	benchmark::RunSpecifiedBenchmarks(&reporter);
	std::printf("\nRatio of Dictionary to std::unordered_map (same work, same run; goal <= 2.0):\n");
	for (const auto &entry : reporter.times) {
		const std::string prefix = "BM_Dictionary_";
		if (entry.first.rfind(prefix, 0) != 0) {
			continue;
		}
		const std::string workload = entry.first.substr(prefix.size());
		const auto baseline = reporter.times.find("BM_StdUnorderedMap_" + workload);
		if (baseline != reporter.times.end() && baseline->second > 0) {
			std::printf("  %-20s %.2f\n", workload.c_str(), entry.second / baseline->second);
		}
	}
	benchmark::Shutdown();
	return 0;
}
