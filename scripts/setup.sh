#!/usr/bin/env bash
# Installs what the build and the tests need (Debian), when it is missing.
# With --cross, also the cross toolchains of cmake/toolchains/ and what runs their programs:
# mingw-w64 (posix threads) and wine for Windows x86_64, the aarch64 g++ and qemu-user for
# Linux arm64, and GoogleTest's sources to build with each.
set -euo pipefail

cross=false
[ "${1:-}" = "--cross" ] && cross=true

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v g++ >/dev/null || need+=(g++)
command -v clang-format >/dev/null || need+=(clang-format)
command -v nm >/dev/null || need+=(binutils)
# The shipping build runs godot-cpp's generators (checked against the stand-in).
command -v python3 >/dev/null || need+=(python3)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -f /usr/include/gmock/gmock.h ] || need+=(libgmock-dev)
[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)

# The fuzzers need clang with its libFuzzer runtime, which Debian ships apart
# from the compiler (libclang-rt-14-dev on bookworm): linking a fuzz target is
# the only check that sees both.
fuzzer_links() {
	command -v clang++ >/dev/null || return 1
	local dir status=0
	dir=$(mktemp -d)
	printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
		'extern "C" int LLVMFuzzerTestOneInput(const uint8_t *, size_t) { return 0; }' >"$dir/probe.cpp"
	clang++ -fsanitize=fuzzer,address,undefined "$dir/probe.cpp" -o "$dir/probe" >/dev/null 2>&1 || status=1
	rm -rf "$dir"
	return $status
}
fuzzer_links || need+=(clang libclang-rt-14-dev)

if $cross; then
	command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
	command -v wine >/dev/null && [ -e /usr/lib/wine/wine64 ] || need+=(wine wine64)
	command -v aarch64-linux-gnu-g++ >/dev/null || need+=(g++-aarch64-linux-gnu)
	command -v qemu-aarch64 >/dev/null || need+=(qemu-user)
	[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
	# The release package: its Linux libraries are built in a Debian 11 environment
	# (scripts/bullseye.sh) and it is zipped.
	command -v debootstrap >/dev/null || need+=(debootstrap)
	command -v zip >/dev/null || need+=(zip)
	command -v unzip >/dev/null || need+=(unzip)
fi

install() {
	echo "installing: $*"
	local sudo_cmd=""
	[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
	$sudo_cmd apt-get update -qq
	DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "$@"
}

if [ ${#need[@]} -gt 0 ]; then
	install "${need[@]}"
fi
if ! fuzzer_links; then
	echo "setup: clang++ -fsanitize=fuzzer still cannot link a fuzz target" >&2
	exit 1
fi
