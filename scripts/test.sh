#!/usr/bin/env bash
# Builds everything from nothing and runs every test: the three plug-in configurations,
# a build under AddressSanitizer and UndefinedBehaviorSanitizer, the format check, and a
# bounded run of every fuzzer (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=${VELTRIN_TEST_OUT:-$root/out}
jobs=${VELTRIN_JOBS:-$(nproc)}

scripts/setup.sh

scripts/check_format.sh
scripts/check_layers.sh

run_build() {
	local name=$1
	shift
	echo "== $name"
	rm -rf "$out/$name"
	cmake -S "$root" -B "$out/$name" -G Ninja -DVELTRIN_WERROR=ON "$@" >/dev/null
	cmake --build "$out/$name" -j "$jobs"
	ctest --test-dir "$out/$name" --output-on-failure -j "$jobs"
}

run_build full -DVELTRIN_CONFIGURATION=full
run_build no_diagnostics -DVELTRIN_CONFIGURATION=no_diagnostics -DVELTRIN_BUILD_BENCH=OFF -DVELTRIN_BUILD_ENGINE_DOUBLE_TESTS=OFF
run_build reduced -DVELTRIN_CONFIGURATION=reduced -DVELTRIN_BUILD_BENCH=OFF -DVELTRIN_BUILD_ENGINE_DOUBLE_TESTS=OFF
run_build sanitize -DCMAKE_BUILD_TYPE=Debug -DVELTRIN_SANITIZE=ON -DVELTRIN_BUILD_BENCH=OFF

VELTRIN_FUZZ_SECONDS=${VELTRIN_FUZZ_SECONDS:-60} scripts/fuzz.sh

echo "all tests passed"
