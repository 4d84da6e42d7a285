#!/usr/bin/env bash
# Builds every libFuzzer target from nothing, replays each checked-in corpus
# (ctest), then fuzzes each target for VELTRIN_FUZZ_SECONDS (default 60) from a
# scratch copy of its corpus, two at a time. Fails on any finding, printing the
# input that triggered it and the fuzzer's last lines.
#   VELTRIN_FUZZ_SECONDS=600 scripts/fuzz.sh    # the long run
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=${VELTRIN_TEST_OUT:-$root/out}
seconds=${VELTRIN_FUZZ_SECONDS:-60}
jobs=${VELTRIN_JOBS:-$(nproc)}
# The machine CI runs on has two cores.
parallel=2
max_len=4096

scripts/setup.sh

build=$out/fuzz
echo "== fuzz build"
rm -rf "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVELTRIN_BUILD_FUZZERS=ON \
	-DVELTRIN_BUILD_TESTS=OFF -DVELTRIN_BUILD_BENCH=OFF -DVELTRIN_BUILD_ENGINE_DOUBLE_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs"
ctest --test-dir "$build" --output-on-failure -j "$jobs"

mapfile -t fuzzers < <(find "$build/bin" -maxdepth 1 -type f -perm -u+x -name '*_fuzzer' -printf '%f\n' | sort)
if [ ${#fuzzers[@]} -eq 0 ]; then
	echo "fuzz: no fuzzers in $build/bin" >&2
	exit 1
fi

runs=$build/runs
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

# One fuzzer in runs/<name>/: corpus copy, log, exit status, crash inputs.
fuzz_one() {
	local name=$1 run=$runs/$1 corpus dict status=0
	mkdir -p "$run/corpus"
	corpus=$(find "$root/fuzz" -type d -path "*/corpus/$name" | head -n 1)
	[ -z "$corpus" ] || cp -r "$corpus/." "$run/corpus/"
	dict=$(find "$root/fuzz" -type f -name "$name.dict" | head -n 1)
	# The outer timeout only guards against a fuzzer that never stops. Leaks are checked once,
	# when the fuzzer exits (LeakSanitizer fails the run): libFuzzer's check after every input
	# that allocated more than it freed rescans the whole heap and took half of the route
	# fuzzers' time, since the engine keeps interned names and logs across inputs.
	timeout --kill-after=30 $((seconds + 300)) "$build/bin/$name" -max_total_time="$seconds" \
		-max_len=$max_len -timeout=30 -print_final_stats=1 -detect_leaks=0 -artifact_prefix="$run/" \
		${dict:+-dict="$dict"} "$run/corpus" >"$run/log" 2>&1 || status=$?
	echo "$status" >"$run/status"
}

echo "== fuzzing ${#fuzzers[@]} fuzzers for ${seconds} s each, $parallel at a time"
rm -rf "$runs"
for name in "${fuzzers[@]}"; do
	while [ "$(jobs -rp | wc -l)" -ge $parallel ]; do
		wait -n || true
	done
	fuzz_one "$name" &
done
wait

# Last status line of a log: "#<runs> DONE cov: <n> ft: <n> corp: <n>/<size> ...".
field() {
	local value
	value=$(grep -E '^#[0-9]+' "$1" | tail -n 1 | grep -oE "$2 [^ ]+" | cut -d' ' -f2 || true)
	echo "${value:--}"
}

failed=0
table=$(printf '%-40s %12s %8s %7s %8s %8s  %s' fuzzer executions exec/s cov ft corpus result)
for name in "${fuzzers[@]}"; do
	run=$runs/$name
	status=$(cat "$run/status" 2>/dev/null || echo missing)
	executions=$(grep -oE 'stat::number_of_executed_units: [0-9]+' "$run/log" | cut -d' ' -f2 || true)
	[ -n "$executions" ] || executions=$(grep -oE '^#[0-9]+' "$run/log" | tail -n 1 | tr -d '#' || true)
	rate=$(grep -oE 'stat::average_exec_per_sec: +[0-9]+' "$run/log" | grep -oE '[0-9]+$' || true)
	findings=$(find "$run" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
		-o -name 'oom-*' \) | sort)
	result=ok
	if [ "$status" != 0 ] || [ -n "$findings" ]; then
		result="FAIL (exit $status)"
		failed=1
		echo "== $name: finding"
		if [ -n "$findings" ]; then
			echo "input: $findings"
			# A CI log is often all there is of the run: the inputs, to replay by hand
			# (base64 -d > input; out/fuzz/bin/<fuzzer> input).
			while IFS= read -r finding; do
				echo "base64 of $(basename "$finding"):"
				base64 -w 0 "$finding"
				echo
			done <<<"$findings"
		else
			echo "no input saved; log: $run/log"
		fi
		# The check's own report first: a long one would be cut from the log's last lines.
		grep -n -m 1 -A 60 'FUZZ_CHECK failed' "$run/log" || true
		tail -n 40 "$run/log"
	fi
	table+=$'\n'$(printf '%-40s %12s %8s %7s %8s %8s  %s' "$name" "${executions:--}" "${rate:--}" "$(field "$run/log" cov:)" \
		"$(field "$run/log" ft:)" "$(field "$run/log" corp: | cut -d/ -f1)" "$result")
done

echo "== fuzz results (${seconds} s each)"
echo "$table"
if [ $failed -ne 0 ]; then
	echo "fuzz: findings above; inputs and logs in $runs" >&2
	exit 1
fi
echo "fuzz: no findings"
