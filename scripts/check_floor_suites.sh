#!/usr/bin/env bash
# Run inside the Debian 11 environment (scripts/bullseye.sh run -- scripts/check_floor_suites.sh):
# builds the plug-in and the suites that load it with its GCC 10 for Linux x86_64
# (template_debug) and, cross, arm64 (template_release, run under qemu-user), and runs them:
# the oldest glibc the shipped libraries support runs the tests. (These plug-ins share the
# double's C++ runtime, so the floor check is for the package's libraries.)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=${VELTRIN_TEST_OUT:-$root/out}
jobs=${VELTRIN_JOBS:-$(nproc)}

suites() {
	local name=$1
	shift
	rm -rf "$out/$name"
	cmake -S "$root" -B "$out/$name" -G Ninja -DVELTRIN_WERROR=ON -DVELTRIN_PLUGIN_SUITES_ONLY=ON "$@" >/dev/null
	cmake --build "$out/$name" -j "$jobs"
	# CMake 3.18's ctest has no --test-dir.
	(cd "$out/$name" && ctest --output-on-failure -j "$jobs")
}
suites bullseye_x86_64 -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
suites bullseye_arm64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/linux-arm64.cmake" "$@"
