// The cost of reaching a script object or an extension object by name, against a plain
// std::function call doing the same work (the baseline). After the run each benchmark is
// printed as a ratio to the baseline.

#include <engine_double/call_log.hpp>
#include <engine_double/script_double.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>

using namespace godot;

namespace {

const char *const BASELINE = "BM_StdFunctionCall";

Variant add_one(const Variant &p_value) {
	return int64_t(p_value) + 1;
}

class BenchCounter : public RefCounted {
	GDCLASS(BenchCounter, RefCounted)

protected:
	static void _bind_methods() {
		ClassDB::bind_method(D_METHOD("add_one", "value"), &BenchCounter::add_one);
	}

public:
	int64_t add_one(int64_t p_value) const { return p_value + 1; }
};

Ref<RefCounted> make_service() {
	Ref<engine_double::ScriptDouble> script = engine_double::ScriptDouble::create("res://scripts/world/path_service.gd");
	script->member("graph_revision", 42);
	script->method("add_one", 1, [](const engine_double::ScriptCall &p_call) { return add_one(p_call[0]); });
	return script->instantiate();
}

void BM_StdFunctionCall(benchmark::State &p_state) {
	const std::function<Variant(const Variant &)> function = &add_one;
	Variant value = int64_t(1);
	for (auto _ : p_state) {
		benchmark::DoNotOptimize(value = function(value));
	}
}
BENCHMARK(BM_StdFunctionCall);

void BM_ScriptPropertyRead(benchmark::State &p_state) {
	engine_double::call_log_set_enabled(false);
	Ref<RefCounted> service = make_service();
	const StringName name("graph_revision");
	for (auto _ : p_state) {
		benchmark::DoNotOptimize(service->get(name));
	}
}
BENCHMARK(BM_ScriptPropertyRead);

void BM_ScriptMethodCall(benchmark::State &p_state) {
	engine_double::call_log_set_enabled(false);
	Ref<RefCounted> service = make_service();
	const StringName name("add_one");
	Variant value = int64_t(1);
	for (auto _ : p_state) {
		benchmark::DoNotOptimize(value = service->call(name, value));
	}
}
BENCHMARK(BM_ScriptMethodCall);

void BM_ScriptMethodCallLogged(benchmark::State &p_state) {
	engine_double::call_log_set_enabled(true);
	Ref<RefCounted> service = make_service();
	const StringName name("add_one");
	Variant value = int64_t(1);
	int64_t calls = 0;
	for (auto _ : p_state) {
		benchmark::DoNotOptimize(value = service->call(name, value));
		// Keep the log from growing without bound.
		if (++calls % 4096 == 0) {
			p_state.PauseTiming();
			engine_double::call_log_clear();
			p_state.ResumeTiming();
		}
	}
	engine_double::call_log_clear();
	engine_double::call_log_set_enabled(false);
}
BENCHMARK(BM_ScriptMethodCallLogged);

void BM_BoundMethodCall(benchmark::State &p_state) {
	static const bool registered = [] {
		ClassDB::register_class<BenchCounter>();
		return true;
	}();
	(void)registered;
	Ref<BenchCounter> counter;
	counter.instantiate();
	const StringName name("add_one");
	Variant value = int64_t(1);
	for (auto _ : p_state) {
		benchmark::DoNotOptimize(value = counter->call(name, value));
	}
}
BENCHMARK(BM_BoundMethodCall);

void BM_BoundCallableCall(benchmark::State &p_state) {
	engine_double::call_log_set_enabled(false);
	Ref<RefCounted> service = make_service();
	const Callable callable = Callable(service.ptr(), "add_one");
	Variant value = int64_t(1);
	for (auto _ : p_state) {
		benchmark::DoNotOptimize(value = callable.call(value));
	}
}
BENCHMARK(BM_BoundCallableCall);

// Keeps each benchmark's time per iteration so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
	std::map<std::string, double> times;

	void ReportRuns(const std::vector<Run> &p_runs) override {
		for (const Run &run : p_runs) {
			if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
				times[run.benchmark_name()] = run.GetAdjustedRealTime();
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
	benchmark::Shutdown();
	const auto baseline = reporter.times.find(BASELINE);
	if (baseline == reporter.times.end() || baseline->second <= 0.0) {
		return 0;
	}
	std::printf("\nRatio to %s (%.1f ns):\n", BASELINE, baseline->second);
	for (const auto &entry : reporter.times) {
		std::printf("  %-32s %6.2fx\n", entry.first.c_str(), entry.second / baseline->second);
	}
	return 0;
}
