#!/usr/bin/env bash
# Fails when a tracked C++ file is not formatted as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files -- '*.cpp' '*.hpp' '*.h' '*.inc' 2>/dev/null || true)
if [ -z "$files" ]; then
	files=$(find . -path ./out -prune -o -path './build*' -prune -o \( -name '*.cpp' -o -name '*.hpp' -o -name '*.h' \) -print)
fi
[ -n "$files" ] || exit 0
echo "$files" | xargs clang-format --dry-run -Werror
echo "format: ok"
