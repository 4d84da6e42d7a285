#!/usr/bin/env bash
# Checks the release package scripts/package.sh wrote against the godot-cpp stand-in (CI):
# the zip holds addons/veltrin_numeric_core/ and nothing else; every [libraries] line of the
# .gdextension names a file in bin/ and every file there is named; the .gdextension records
# the version; each library meets its floor (scripts/check_library_floor.sh), exports one
# symbol after stripping, and carries a debug link whose name and CRC match its file in the
# symbols zip, which holds its debug information; and a game folder with nothing but the zip
# unpacked loads each Linux x86_64 library through the stand-in's host in the Debian 11
# environment and registers VeltrinNumericCore.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
version=$(sed -nE 's/^project\(veltrin_numeric_core VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
dist=${VELTRIN_DIST:-$root/dist}
out=${VELTRIN_PACKAGE_OUT:-$root/out/package}
package=$dist/veltrin_numeric_core-$version.zip
symbols_package=$dist/veltrin_numeric_core-$version-symbols.zip
addon=addons/veltrin_numeric_core
check=$out/check
rm -rf "$check"
mkdir -p "$check/game" "$check/symbols"

fail() {
	echo "check_package: $*" >&2
	exit 1
}
{ [ -f "$package" ] && [ -f "$symbols_package" ]; } || fail "no $package or $symbols_package"

# Layout: exactly the add-on folder.
unzip -Z1 "$package" | grep -v '/$' | sort >"$check/files"
expected_fixed=$(printf '%s\n' "$addon/LICENSE" "$addon/README.md" "$addon/veltrin_numeric_core.gdextension")
unexpected=$(grep -vxF "$expected_fixed" "$check/files" | grep -vE "^$addon/bin/[^/]+$" || true)
[ -z "$unexpected" ] || fail "files outside the add-on's layout: $unexpected"
for file in $expected_fixed; do
	grep -qxF "$file" "$check/files" || fail "$file is missing"
done

(cd "$check/game" && unzip -q "$package")
(cd "$check/symbols" && unzip -q "$symbols_package")
gdextension=$check/game/$addon/veltrin_numeric_core.gdextension
head -1 "$gdextension" | grep -qF "Veltrin numeric core $version" || fail "the .gdextension does not record version $version: $(head -1 "$gdextension")"

# Every library line names a file in bin/, every file in bin/ is named.
sed -nE 's/^[a-z0-9_.]+ *= *"res:\/\/(.*)"$/\1/p' "$gdextension" | sort >"$check/named"
grep -E "^$addon/bin/" "$check/files" >"$check/shipped"
[ "$(wc -l <"$check/named")" -eq 6 ] || fail "the .gdextension names $(wc -l <"$check/named") libraries, not 6"
diff "$check/named" "$check/shipped" >"$check/named.diff" ||
	fail "named (<) and shipped (>) libraries differ: $(cat "$check/named.diff")"

libraries=()
while read -r file; do
	libraries+=("$check/game/$file")
done <"$check/shipped"
scripts/check_library_floor.sh --allow 'libgodot-cpp.*' "${libraries[@]}"

symbols_dir=$check/symbols/veltrin_numeric_core-$version-symbols
for library in "${libraries[@]}"; do
	name=$(basename "$library")
	case $name in
	*.dll) tool=x86_64-w64-mingw32-objdump ;;
	*.arm64.so) tool=aarch64-linux-gnu-objdump ;;
	*) tool=objdump ;;
	esac
	command -v "$tool" >/dev/null || tool=objdump
	if [[ $name == *.dll ]]; then
		exported=$("$tool" -p "$library" | awk '/\[Ordinal\/Name Pointer\] Table/ { table = 1; next } table && NF == 0 { table = 0 } table { print $NF }')
	else
		exported=$("$tool" -T "$library" | awk '$0 !~ /\*UND\*/ && $2 == "g" { print $NF }' | grep -v '^VELTRIN' || true)
	fi
	[ "$exported" = veltrin_numeric_core_init ] || fail "$name exports: $(echo "$exported" | head -5 | tr '\n' ' ')"
	# Section lists read whole: grep -q would stop reading early, and under pipefail objdump's
	# SIGPIPE then fails the check when the match comes before its last write.
	sections=$("$tool" -h "$library")
	! grep -q '\.debug_info' <<<"$sections" || fail "$name still holds debug information"

	debug=$symbols_dir/$name.debug
	[ -f "$debug" ] || fail "$name: no $name.debug in the symbols zip"
	sections=$("$tool" -h "$debug")
	grep -q '\.debug_info' <<<"$sections" || fail "$name.debug holds no debug information"
	"${tool%objdump}objcopy" --dump-section .gnu_debuglink="$check/link" "$library" "$check/unused" ||
		fail "$name has no debug link"
	python3 - "$check/link" "$debug" "$name" <<-'PYTHON' || fail "$name: its debug link does not match $name.debug"
		import os, sys, zlib
		section, debug, name = open(sys.argv[1], "rb").read(), sys.argv[2], sys.argv[3]
		end = section.index(b"\0")
		linked = section[:end].decode()
		stored = int.from_bytes(section[(end + 4) & ~3:((end + 4) & ~3) + 4], "little")
		actual = zlib.crc32(open(debug, "rb").read()) & 0xFFFFFFFF
		print(f"{name}: debug link {linked}, CRC {stored:08x}, symbols file CRC {actual:08x}")
		sys.exit(0 if linked == os.path.basename(debug) and stored == actual else 1)
	PYTHON
done

# The game folder holds nothing but the unpacked zip; the stand-in's host plays the engine.
for target in template_debug template_release; do
	build=$out/linux-x86_64-$target
	library=$check/game/$addon/bin/libveltrin_numeric_core.linux.$target.x86_64.so
	scripts/bullseye.sh run --bind "$out" -- sh -c \
		"cmake --build '$build' --target godot_cpp_standin_host -j '${VELTRIN_JOBS:-2}' >/dev/null &&
		'$build/bin/godot_cpp_standin_host' '$library' veltrin_numeric_core_init VeltrinNumericCore" ||
		fail "$target: the unpacked library does not load and register VeltrinNumericCore in Debian 11"
done
echo "package checks passed: $(basename "$package"), $(basename "$symbols_package")"
