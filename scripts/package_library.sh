#!/usr/bin/env bash
# One library of the release package (scripts/package.sh runs it, the Linux ones inside the
# Debian 11 environment): configures against a godot-cpp checkout, builds the plug-in,
# installs it into STAGE, and moves its debug information into SYMBOLS/<library>.debug,
# leaving the installed library stripped with a debug link to that file.
#
#   scripts/package_library.sh PLATFORM ARCH TARGET GODOT_CPP BUILD STAGE SYMBOLS [CMAKE ARGS...]
set -euo pipefail
cd "$(dirname "$0")/.."
platform=$1 arch=$2 target=$3 godot_cpp=$4 build=$5 stage=$6 symbols=$7
shift 7
jobs=${VELTRIN_JOBS:-$(nproc)}

toolchain=()
binutils_prefix=""
case $platform-$arch in
linux-x86_64) ;;
linux-arm64)
	toolchain=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/linux-arm64.cmake")
	binutils_prefix=aarch64-linux-gnu-
	;;
windows-x86_64)
	toolchain=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/windows-x86_64.cmake")
	binutils_prefix=x86_64-w64-mingw32-
	;;
*)
	echo "package_library: no toolchain for $platform $arch" >&2
	exit 2
	;;
esac
# template_release is built with debug information too: it goes to the symbols file.
case $target in
template_debug) build_type=RelWithDebInfo ;;
template_release) build_type=Release ;;
*)
	echo "package_library: unknown target $target" >&2
	exit 2
	;;
esac
suffix=so
[ "$platform" = windows ] && suffix=dll

rm -rf "$build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=$build_type "${toolchain[@]}" \
	-DCMAKE_CXX_FLAGS=-g -DVELTRIN_GODOT_CPP_DIR="$godot_cpp" \
	-DGODOTCPP_BUILD_PROFILE="$PWD/cmake/godot_cpp_build_profile.json" "$@" >"$build.configure.log" ||
	{
		tail -20 "$build.configure.log" >&2
		exit 1
	}
cmake --build "$build" --target veltrin_numeric_core -j "$jobs"
cmake --install "$build" --prefix "$stage" >/dev/null

name=libveltrin_numeric_core.$platform.$target.$arch.$suffix
library=$stage/addons/veltrin_numeric_core/bin/$name
[ -f "$library" ] || {
	echo "package_library: the build installed no $name" >&2
	exit 1
}
mkdir -p "$symbols"
"${binutils_prefix}objcopy" --only-keep-debug "$library" "$symbols/$name.debug"
"${binutils_prefix}objcopy" --strip-debug --strip-unneeded "$library"
# The link holds the symbols file's name and checksum; a debugger looks for it beside the
# library or in its debug directories.
(cd "$symbols" && "${binutils_prefix}objcopy" --add-gnu-debuglink="$name.debug" "$library")
echo "package: $name (symbols: $name.debug)"
