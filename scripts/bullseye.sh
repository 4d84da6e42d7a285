#!/usr/bin/env bash
# The Debian 11 (bullseye) environment the shipped Linux libraries are built and tested in:
# its glibc 2.31 and GCC 10 (whose static C++ runtime was built against that glibc) set the
# oldest system the libraries load on. Created once with debootstrap from Debian's archive
# and kept between runs outside the checkout, under a name keyed by its package list.
#
#   scripts/bullseye.sh setup                    # create it unless it exists; prints its root
#   scripts/bullseye.sh run [--bind DIR]... -- COMMAND [ARG...]
#                                                # COMMAND inside, with the checkout and each
#                                                # DIR bound at their own paths
#
# Needs root (chroot, mounts) and debootstrap (scripts/setup.sh installs it).
#   VELTRIN_BULLSEYE_CACHE    where environments are kept (default /var/cache/veltrin)
#   VELTRIN_BULLSEYE_MIRRORS  Debian mirrors tried in turn (bullseye moves to the archive
#                             once its support ends)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd -P)
cache=${VELTRIN_BULLSEYE_CACHE:-/var/cache/veltrin}
mirrors=${VELTRIN_BULLSEYE_MIRRORS:-"http://deb.debian.org/debian http://archive.debian.org/debian"}
suite=bullseye
# GCC 10, CMake, Ninja and Python for the build; the aarch64 cross compiler and qemu-user for
# arm64; GoogleTest for the plug-in suites (built, and from its sources for the cross build).
packages="build-essential ccache cmake g++-aarch64-linux-gnu googletest libgmock-dev libgtest-dev ninja-build python3 qemu-user"
# Bumped when the way the environment is made changes, so that an old one is not reused.
layout=1
key=$(printf '%s\n' "$suite" "$packages" "$layout" | sha256sum | cut -c1-12)
env_root=$cache/$suite-$key
complete=$env_root/.veltrin-complete

fail() {
	echo "bullseye: $*" >&2
	exit 1
}

[ "$(id -u)" -eq 0 ] || fail "needs root (chroot and bind mounts): run it with sudo"

# Makes the environment under a temporary name and renames it into place only once every
# package is in, so a run that was cut short leaves nothing that looks usable; the lock
# keeps two first runs from making it at once.
setup() {
	[ -f "$complete" ] && return 0
	command -v debootstrap >/dev/null || fail "debootstrap is missing (scripts/setup.sh installs it)"
	mkdir -p "$cache"
	exec 9>"$cache/$suite.lock"
	flock 9
	if [ -f "$complete" ]; then
		exec 9>&-
		return 0
	fi
	# Leftovers of runs that were cut short; nothing is mounted in them (each run mounts in
	# a mount namespace of its own, gone with it).
	rm -rf "$env_root" "$env_root".partial.*
	local partial=$env_root.partial.$$ mirror made=false
	for mirror in $mirrors; do
		echo "bullseye: creating $env_root from $mirror (once; a few minutes)"
		if unshare --mount --propagation private \
			debootstrap --variant=minbase --include="${packages// /,}" "$suite" "$partial" "$mirror" \
			>"$cache/$suite-$key.log" 2>&1; then
			made=true
			break
		fi
		echo "bullseye: $mirror failed: $(tail -3 "$cache/$suite-$key.log" | tr '\n' ' ')" >&2
		rm -rf "$partial"
	done
	$made || fail "could not create the environment from any of: $mirrors (log: $cache/$suite-$key.log)"
	rm -rf "$partial/var/cache/apt/archives/"*.deb
	printf '%s\n' "$packages" >"$partial/.veltrin-complete"
	mv "$partial" "$env_root"
	exec 9>&-
}

run() {
	local binds=("$root")
	while [ $# -gt 0 ]; do
		case $1 in
		--bind)
			binds+=("$(cd "$2" && pwd -P)")
			shift 2
			;;
		--)
			shift
			break
			;;
		*) fail "run: unknown argument $1" ;;
		esac
	done
	[ $# -gt 0 ] || fail "run: no command"
	setup
	mkdir -p "$cache/ccache"
	binds+=("$cache/ccache")
	local dir
	for dir in "${binds[@]}"; do
		mkdir -p "$env_root$dir"
	done
	# A mount namespace of its own: the mounts vanish with the command, and runs side by side
	# do not see each other's.
	VELTRIN_CCACHE_DIR=$cache/ccache unshare --mount --propagation private /bin/bash -s -- "$env_root" "$(pwd -P)" "${#binds[@]}" "${binds[@]}" "$@" <<-'INSIDE'
		set -euo pipefail
		env_root=$1 cwd=$2 count=$3
		shift 3
		for ((i = 0; i < count; i++)); do
			mount --bind "$1" "$env_root$1"
			shift
		done
		mount -t proc proc "$env_root/proc"
		mount --rbind /dev "$env_root/dev"
		mount -t tmpfs tmpfs "$env_root/tmp"
		exec chroot "$env_root" /usr/bin/env -i PATH=/usr/local/bin:/usr/bin:/bin HOME=/tmp LANG=C.UTF-8 \
			CCACHE_DIR="$VELTRIN_CCACHE_DIR" CCACHE_BASEDIR="${CCACHE_BASEDIR:-}" \
			VELTRIN_JOBS="${VELTRIN_JOBS:-}" VELTRIN_TEST_OUT="${VELTRIN_TEST_OUT:-}" \
			/bin/bash -c 'cd "$0" && exec "$@"' "$cwd" "$@"
	INSIDE
}

case ${1:-} in
setup)
	setup
	echo "$env_root"
	;;
run)
	shift
	run "$@"
	;;
*) fail "usage: scripts/bullseye.sh setup | run [--bind DIR]... -- COMMAND [ARG...]" ;;
esac
