#!/bin/sh
# CTest's emulator for the Windows cross build: runs one program under wine in the build's own
# prefix. The prefix is made once, under a lock, before any program uses it: tests started in
# parallel on a prefix that does not exist yet race to create it, and the loser fails (wine
# cannot change into its server directory). A prefix is used only once marked complete, so one
# left half-made by an interrupted run is made again.
#   wine_run.sh <wine> <prefix> <program> [arguments...]
set -eu
wine=$1
prefix=$2
shift 2
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES=winedbg.exe=d
ready="$prefix/.veltrin_prefix_ready"
if [ ! -f "$ready" ]; then
	mkdir -p "$(dirname "$prefix")"
	(
		flock 9
		if [ ! -f "$ready" ]; then
			rm -rf "$prefix"
			wineserver=$(dirname "$(readlink -f "$wine")")/wineserver
			[ -x "$wineserver" ] || wineserver=wineserver
			"$wine" wineboot --init >/dev/null 2>&1
			# wineboot returns while the server may still be writing the prefix.
			"$wineserver" -w
			[ -f "$prefix/system.reg" ] || {
				echo "wine_run.sh: wineboot left no prefix in $prefix" >&2
				exit 1
			}
			touch "$ready"
		fi
	) 9>"$prefix.lock"
fi
exec "$wine" "$@"
