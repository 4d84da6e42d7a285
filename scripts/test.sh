#!/usr/bin/env bash
# Builds everything from nothing and runs every test: the three plug-in configurations (the
# no_diagnostics one with the standard C++ versions of the compiler extensions, as an MSVC
# build has them), a Release build (template_release, as a shipped game loads it), a build
# under AddressSanitizer and UndefinedBehaviorSanitizer, the format and layering checks, the
# shipping build against the godot-cpp stand-in (scripts/check_real_build.sh), a bounded run
# of every fuzzer (scripts/fuzz.sh), the cross build for Windows x86_64 with its plug-in suites
# run under wine, the plug-in suites built and run in the Debian 11 environment the shipped
# Linux libraries come from (x86_64, and arm64 under qemu-user), and the release package built
# against the stand-in and checked (scripts/package.sh, scripts/check_package.sh). Each shipped
# library's floor is checked (scripts/check_library_floor.sh). Prints each stage's time and a
# summary at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=${VELTRIN_TEST_OUT:-$root/out}
jobs=${VELTRIN_JOBS:-$(nproc)}

stage_names=()
stage_seconds=()
current_stage=""
current_start=0

# stage <name> <command...>: runs one CI stage and records its wall-clock time.
stage() {
	current_stage=$1
	shift
	echo "== $current_stage"
	current_start=$SECONDS
	"$@"
	stage_names+=("$current_stage")
	stage_seconds+=($((SECONDS - current_start)))
	echo "-- $current_stage: ${stage_seconds[-1]} s"
	current_stage=""
}

print_stage_times() {
	local status=$?
	echo "== stage times"
	local i
	for i in "${!stage_names[@]}"; do
		printf '  %-16s %6d s\n' "${stage_names[$i]}" "${stage_seconds[$i]}"
	done
	if [ -n "$current_stage" ]; then
		printf '  %-16s %6d s  FAILED\n' "$current_stage" $((SECONDS - current_start))
	fi
	printf '  %-16s %6d s\n' total "$SECONDS"
	return $status
}
trap print_stage_times EXIT

run_build() {
	local name=$1
	shift
	rm -rf "$out/$name"
	cmake -S "$root" -B "$out/$name" -G Ninja -DVELTRIN_WERROR=ON "$@" >/dev/null
	cmake --build "$out/$name" -j "$jobs"
	ctest --test-dir "$out/$name" --output-on-failure -j "$jobs"
}

# Cross builds: the plug-in, the oracle and the suites that load the plug-in (the toolchain
# turns the rest off); CTest runs them through the toolchain's emulator.
cross_build() {
	local name=$1 toolchain=$2
	shift 2
	rm -rf "$out/$name"
	cmake -S "$root" -B "$out/$name" -G Ninja -DVELTRIN_WERROR=ON \
		-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/$toolchain.cmake" "$@" >/dev/null
	cmake --build "$out/$name" -j "$jobs"
}

stage setup scripts/setup.sh --cross
# The Debian 11 environment is made once (and kept between runs); on a new machine that is
# mostly downloading, so it goes on beside the first builds and is waited for before use.
mkdir -p "$out"
scripts/bullseye.sh setup >"$out/bullseye_setup.log" 2>&1 &
bullseye_setup=$!
wait_for_bullseye() {
	wait "$bullseye_setup" || {
		cat "$out/bullseye_setup.log" >&2
		return 1
	}
	cat "$out/bullseye_setup.log"
}
stage format scripts/check_format.sh
stage layers scripts/check_layers.sh
stage full run_build full -DVELTRIN_CONFIGURATION=full
stage no_diagnostics run_build no_diagnostics -DVELTRIN_CONFIGURATION=no_diagnostics -DVELTRIN_PORTABLE_FALLBACK=ON -DVELTRIN_BUILD_BENCH=OFF -DVELTRIN_BUILD_ENGINE_DOUBLE_TESTS=OFF
stage reduced run_build reduced -DVELTRIN_CONFIGURATION=reduced -DVELTRIN_BUILD_BENCH=OFF -DVELTRIN_BUILD_ENGINE_DOUBLE_TESTS=OFF
# What a shipped game loads and what the demo and benchmarks build: no DEBUG_ENABLED.
stage release run_build release -DCMAKE_BUILD_TYPE=Release
stage sanitize run_build sanitize -DCMAKE_BUILD_TYPE=Debug -DVELTRIN_SANITIZE=ON -DVELTRIN_BUILD_BENCH=OFF
stage real_build scripts/check_real_build.sh
stage fuzz env VELTRIN_FUZZ_SECONDS="${VELTRIN_FUZZ_SECONDS:-60}" scripts/fuzz.sh
# The Windows library as template_debug (what the editor loads); the double's DLL is the
# only one it may import beyond Windows' own.
stage windows_build cross_build windows_x86_64 windows-x86_64
stage windows_test ctest --test-dir "$out/windows_x86_64" --output-on-failure -j "$jobs"
stage windows_floor scripts/check_library_floor.sh --allow libengine_double.dll \
	"$out/windows_x86_64/bin/libveltrin_numeric_core.windows.template_debug.x86_64.dll"
stage bullseye wait_for_bullseye
# Linux x86_64 as template_debug and arm64 (under qemu-user) as template_release, with Debian
# 11's glibc and GCC 10.
stage floor_suites scripts/bullseye.sh run --bind "$out" -- scripts/check_floor_suites.sh
stage package env VELTRIN_PACKAGE_OUT="$out/package" VELTRIN_DIST="$out/dist" VELTRIN_FLOOR_ALLOW='libgodot-cpp.*' \
	scripts/package.sh --godot-cpp tests/godot_cpp_standin
stage package_check env VELTRIN_PACKAGE_OUT="$out/package" VELTRIN_DIST="$out/dist" scripts/check_package.sh

echo "all tests passed"
