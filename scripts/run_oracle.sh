#!/usr/bin/env bash
# Builds the oracle and prints its verdict on the search kernel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B out/main -G Ninja -DVELTRIN_BUILD_TESTS=OFF -DVELTRIN_BUILD_BENCH=OFF >/dev/null
cmake --build out/main --target oracle -j "$(nproc)" >/dev/null
out/main/bin/oracle out/main/oracle_cases.txt
