#!/usr/bin/env bash
# Builds everything from nothing and runs every test: the three plug-in configurations (the
# no_diagnostics one with the standard C++ versions of the compiler extensions, as an MSVC
# build has them), a build under AddressSanitizer and UndefinedBehaviorSanitizer, the format
# check, a bounded run of every fuzzer (scripts/fuzz.sh), and the cross builds for Windows
# x86_64 and Linux arm64 with their plug-in suites run under wine and qemu-user.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=${VELTRIN_TEST_OUT:-$root/out}
jobs=${VELTRIN_JOBS:-$(nproc)}

scripts/setup.sh --cross

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
run_build no_diagnostics -DVELTRIN_CONFIGURATION=no_diagnostics -DVELTRIN_PORTABLE_FALLBACK=ON -DVELTRIN_BUILD_BENCH=OFF -DVELTRIN_BUILD_ENGINE_DOUBLE_TESTS=OFF
run_build reduced -DVELTRIN_CONFIGURATION=reduced -DVELTRIN_BUILD_BENCH=OFF -DVELTRIN_BUILD_ENGINE_DOUBLE_TESTS=OFF
run_build sanitize -DCMAKE_BUILD_TYPE=Debug -DVELTRIN_SANITIZE=ON -DVELTRIN_BUILD_BENCH=OFF

VELTRIN_FUZZ_SECONDS=${VELTRIN_FUZZ_SECONDS:-60} scripts/fuzz.sh

# Cross builds: the plug-in, the oracle and the suites that load the plug-in (the toolchain
# turns the rest off), run through the toolchain's emulator. The Windows library is the
# template_debug one, the arm64 library the template_release one.
run_cross() {
	local name=$1 toolchain=$2
	shift 2
	echo "== $name"
	rm -rf "$out/$name"
	cmake -S "$root" -B "$out/$name" -G Ninja -DVELTRIN_WERROR=ON \
		-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/$toolchain.cmake" "$@" >/dev/null
	local start=$SECONDS
	cmake --build "$out/$name" -j "$jobs"
	echo "-- $name: built in $((SECONDS - start)) s"
	start=$SECONDS
	ctest --test-dir "$out/$name" --output-on-failure -j "$jobs"
	echo "-- $name: tested in $((SECONDS - start)) s"
}

run_cross windows_x86_64 windows-x86_64
run_cross linux_arm64 linux-arm64 -DCMAKE_BUILD_TYPE=Release

echo "all tests passed"
