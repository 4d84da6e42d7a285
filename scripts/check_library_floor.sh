#!/usr/bin/env bash
# Checks that each plug-in library loads on the oldest systems the add-on supports, from what
# the library itself says it needs:
#   Linux (ELF): no symbol version above GLIBC_2.31, no GLIBCXX/CXXABI/GCC version (the C++
#     runtime is linked in), and no library beyond glibc's own (objdump -T, objdump -p);
#   Windows (PE): imports only from KERNEL32.dll, msvcrt.dll and the UCRT's api-ms-win-crt-*
#     (objdump -p), never the MinGW runtime DLLs (libstdc++-6, libgcc_s_seh-1, libwinpthread-1).
# Fails naming each offending symbol or DLL.
#
#   scripts/check_library_floor.sh [--allow LIBRARY]... LIBRARY...
#
# --allow names (or matches, as a shell pattern) one more library that may be needed (CI: the godot-cpp stand-in, which is a
# shared library unlike godot-cpp).
set -euo pipefail
glibc_floor=2.31
allowed_elf="libc.so.6 libm.so.6 libdl.so.2 libpthread.so.0 librt.so.1 ld-linux-x86-64.so.2 ld-linux-aarch64.so.1"
allowed=()
while [ $# -gt 0 ] && [ "$1" = --allow ]; do
	allowed+=("$2")
	shift 2
done
[ $# -gt 0 ] || {
	echo "usage: scripts/check_library_floor.sh [--allow LIBRARY]... LIBRARY..." >&2
	exit 2
}

# The objdump that reads the file's machine: the native one, or a cross one when it is there.
objdump_for() {
	local magic
	magic=$(od -An -tx1 -N2 "$1" | tr -d ' ')
	if [ "$magic" = 4d5a ]; then
		command -v x86_64-w64-mingw32-objdump || echo objdump
	elif [ "$(od -An -tx1 -j18 -N1 "$1" | tr -d ' ')" = b7 ]; then
		command -v aarch64-linux-gnu-objdump || echo objdump
	else
		echo objdump
	fi
}

is_allowed() {
	local name=$1 entry
	for entry in "${allowed[@]}"; do
		# shellcheck disable=SC2053 # a pattern
		[[ ${name,,} == ${entry,,} ]] && return 0
	done
	return 1
}

failures=0
problem() {
	echo "check_library_floor: $1: $2" >&2
	failures=$((failures + 1))
}

check_elf() {
	local library=$1 tool=$2 line version symbol name
	while read -r line; do
		version=$(grep -oE '(GLIBCXX|CXXABI|GLIBC|GCC)_[0-9][0-9.]*' <<<"$line" | head -1 || true)
		[ -n "$version" ] || continue
		symbol=${line##* }
		case $version in
		GLIBC_*)
			if [ "$(printf '%s\n' "${version#GLIBC_}" "$glibc_floor" | sort -V | tail -1)" != "$glibc_floor" ]; then
				problem "$library" "$symbol needs $version (above GLIBC_$glibc_floor)"
			fi
			;;
		*) problem "$library" "$symbol needs $version (the C++ runtime must be linked in)" ;;
		esac
	done < <("$tool" -T "$library" | grep -F '*UND*')
	while read -r name; do
		[[ " $allowed_elf " == *" $name "* ]] || is_allowed "$name" ||
			problem "$library" "needs $name, which not every system has"
	done < <("$tool" -p "$library" | awk '$1 == "NEEDED" { print $2 }')
}

check_pe() {
	local library=$1 tool=$2 name
	while read -r name; do
		case ${name,,} in
		kernel32.dll | msvcrt.dll | api-ms-win-crt-*.dll) ;;
		*) is_allowed "$name" || problem "$library" "imports $name, which is not part of Windows" ;;
		esac
	done < <("$tool" -p "$library" | awk '$1 == "DLL" && $2 == "Name:" { print $3 }')
}

for library in "$@"; do
	if [ ! -f "$library" ]; then
		problem "$library" "no such file"
		continue
	fi
	tool=$(objdump_for "$library")
	format=$("$tool" -f "$library" | awk '/file format/ { print $NF }')
	case $format in
	elf*) check_elf "$library" "$tool" ;;
	pe*) check_pe "$library" "$tool" ;;
	*) problem "$library" "not a library objdump reads (format: ${format:-unknown})" ;;
	esac
	[ $failures -gt 0 ] || echo "floor: $(basename "$library") ($format) meets it"
done
if [ $failures -gt 0 ]; then
	echo "check_library_floor: $failures problem(s)" >&2
	exit 1
fi
