#!/usr/bin/env bash
# Installs what the build and the tests need (Debian), when it is missing.
set -euo pipefail

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v g++ >/dev/null || need+=(g++)
command -v clang-format >/dev/null || need+=(clang-format)
command -v nm >/dev/null || need+=(binutils)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -f /usr/include/gmock/gmock.h ] || need+=(libgmock-dev)
[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)

if [ ${#need[@]} -gt 0 ]; then
	echo "installing: ${need[*]}"
	sudo_cmd=""
	[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
	$sudo_cmd apt-get update -qq
	DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${need[@]}"
fi
