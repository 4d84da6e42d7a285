#!/usr/bin/env bash
# Builds the demo from nothing and runs it: the plug-in loaded as the engine loads it,
# driven by a small resort's guests. Extra arguments go to the demo (try --help).
# The exit status is the demo's (2 for options it cannot use).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=${VELTRIN_DEMO_OUT:-$root/out/demo}
jobs=${VELTRIN_JOBS:-$(nproc)}

scripts/setup.sh

mkdir -p "$out"
log="$out/build.log"
if ! { cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRIN_BUILD_TESTS=OFF -DVELTRIN_BUILD_BENCH=OFF &&
	cmake --build "$out" -j "$jobs" --target veltrin_demo; } >"$log" 2>&1; then
	cat "$log" >&2
	echo "run_demo: the build failed (log above, also in $log)" >&2
	exit 1
fi

status=0
"$out/bin/veltrin_demo" "$@" || status=$?
exit "$status"
