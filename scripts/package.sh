#!/usr/bin/env bash
# Builds the release package: the six libraries (Linux x86_64 and arm64, Windows x86_64, each
# as template_debug and template_release) against a godot-cpp checkout, and writes
#   dist/veltrin_numeric_core-<version>.zip          addons/veltrin_numeric_core/ as a game
#                                                    uses it (stripped libraries)
#   dist/veltrin_numeric_core-<version>-symbols.zip  each library's debug information
# The Linux libraries are built in the Debian 11 environment (scripts/bullseye.sh: glibc 2.31,
# so they load on it and later), the Windows ones with MinGW-w64 here; each is checked with
# scripts/check_library_floor.sh.
#
#   scripts/package.sh --godot-cpp DIR [-- CMAKE ARGS...]   # CMAKE ARGS go to every configure
#
# Needs root for the Debian 11 environment (chroot), and scripts/setup.sh --cross.
#   VELTRIN_PACKAGE_OUT  build directory (default out/package); VELTRIN_DIST  (default dist)
#   VELTRIN_FLOOR_ALLOW  a library the floor check lets the libraries need (CI: the stand-in)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
godot_cpp=""
while [ $# -gt 0 ]; do
	case $1 in
	--godot-cpp)
		godot_cpp=$(cd "$2" && pwd -P)
		shift 2
		;;
	--)
		shift
		break
		;;
	*)
		echo "usage: scripts/package.sh --godot-cpp DIR [-- CMAKE ARGS...]" >&2
		exit 2
		;;
	esac
done
[ -n "$godot_cpp" ] || {
	echo "usage: scripts/package.sh --godot-cpp DIR [-- CMAKE ARGS...]" >&2
	exit 2
}
version=$(sed -nE 's/^project\(veltrin_numeric_core VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || {
	echo "package: no project(VERSION) in CMakeLists.txt" >&2
	exit 1
}
out=${VELTRIN_PACKAGE_OUT:-$root/out/package}
dist=${VELTRIN_DIST:-$root/dist}
rm -rf "$out"
mkdir -p "$out" "$dist"
out=$(cd "$out" && pwd -P)
stage=$out/stage
symbols=$out/symbols/veltrin_numeric_core-$version-symbols

for target in template_debug template_release; do
	for arch in x86_64 arm64; do
		scripts/bullseye.sh run --bind "$godot_cpp" --bind "$out" -- \
			scripts/package_library.sh linux $arch $target "$godot_cpp" "$out/linux-$arch-$target" "$stage" "$symbols" "$@"
	done
	scripts/package_library.sh windows x86_64 $target "$godot_cpp" "$out/windows-x86_64-$target" "$stage" "$symbols" "$@"
done

addon=$stage/addons/veltrin_numeric_core
cp src/packaging/addon_README.md "$addon/README.md"
cp LICENSE "$addon/LICENSE"
allow=()
[ -z "${VELTRIN_FLOOR_ALLOW:-}" ] || allow=(--allow "$VELTRIN_FLOOR_ALLOW")
scripts/check_library_floor.sh "${allow[@]}" "$addon"/bin/*

package=$dist/veltrin_numeric_core-$version.zip
symbols_package=$dist/veltrin_numeric_core-$version-symbols.zip
rm -f "$package" "$symbols_package"
(cd "$stage" && zip -qrX "$package" addons)
(cd "$(dirname "$symbols")" && zip -qrX "$symbols_package" "$(basename "$symbols")")
echo "package: $package"
echo "package: $symbols_package"
