#!/usr/bin/env bash
# Builds the shipping plug-in the way the README tells a game developer to, against the
# godot-cpp stand-in under tests/godot_cpp_standin (CI cannot fetch godot-cpp), for
# template_debug and template_release, and checks what a game receives: the library's name,
# its one exported symbol, the class reference in the debug library only, and that the
# installed library loads and registers its class. First it checks that the stand-in still
# shows the Python scoping fault of godot-cpp's target_doc_sources that the glue guards
# against, and that the glue refuses to configure without Python.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=${VELTRIN_TEST_OUT:-$root/out}/real_build
jobs=${VELTRIN_JOBS:-$(nproc)}
standin=$root/tests/godot_cpp_standin
rm -rf "$out"
mkdir -p "$out"

fail() {
	echo "check_real_build: $*" >&2
	exit 1
}

# A consumer that leaves Python to godot-cpp gets a rule that generates nothing.
consumer() {
	cmake -S "$standin/python_scope_consumer" -B "$out/consumer_$1" -G Ninja \
		-DGODOT_CPP_DIR="$standin" -DCONSUMER_FINDS_PYTHON="$1" >/dev/null
	cmake --build "$out/consumer_$1" --target documented >"$out/consumer_$1.log" 2>&1
}
if consumer OFF; then
	fail "a consumer without Python in its scope built: the stand-in no longer shows godot-cpp's fault"
fi
grep -q "gen/doc_source.cpp: No such file or directory" "$out/consumer_OFF.log" ||
	fail "the consumer without Python failed otherwise than godot-cpp does: $(tail -5 "$out/consumer_OFF.log")"
consumer ON || fail "a consumer that finds Python failed: $(tail -5 "$out/consumer_ON.log")"
echo "stand-in: without Python in the caller's scope the doc source is missing; with it the build works"

if cmake -S . -B "$out/no_python" -G Ninja -DVELTRIN_GODOT_CPP_DIR="$standin" \
	-DPython3_EXECUTABLE=/nonexistent/python3 >"$out/no_python.log" 2>&1; then
	fail "configuring without Python succeeded"
fi
grep -q "needs Python 3.4 or later" "$out/no_python.log" ||
	fail "configuring without Python failed without saying why: $(tail -5 "$out/no_python.log")"
echo "glue: without Python the configure step stops and says why"

# The README's steps, with the stand-in for ../godot-cpp.
build() {
	local target=$1 build_type=$2 dir=$out/godot-$1 game=$out/game
	cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" \
		-DVELTRIN_GODOT_CPP_DIR=tests/godot_cpp_standin -DGODOTCPP_BUILD_PROFILE="$PWD/cmake/godot_cpp_build_profile.json" >/dev/null
	cmake --build "$dir" --target veltrin_numeric_core -j "$jobs"
	cmake --install "$dir" --prefix "$game" >/dev/null
	# Not a step of the README's: the stand-in's loader, which plays the engine below.
	cmake --build "$dir" --target godot_cpp_standin_host -j "$jobs" >/dev/null

	local name=libveltrin_numeric_core.linux.$target.x86_64.so
	local library=$game/addons/veltrin_numeric_core/bin/$name
	[ -f "$library" ] || fail "$target: $name is not in the add-on: $(ls "$game/addons/veltrin_numeric_core/bin")"
	[ -f "$game/addons/veltrin_numeric_core/veltrin_numeric_core.gdextension" ] || fail "$target: no .gdextension in the add-on"
	grep -q "\"res://addons/veltrin_numeric_core/bin/$name\"" "$game/addons/veltrin_numeric_core/veltrin_numeric_core.gdextension" ||
		fail "$target: the .gdextension does not name $name"

	local exported
	exported=$(nm -D --defined-only "$library" | awk '$3 !~ /@/ { print $3 }')
	[ "$exported" = "veltrin_numeric_core_init" ] || fail "$target: exports $(echo "$exported" | head -5 | tr '\n' ' ')"

	local docs
	docs=$(nm "$library" | grep -c "doc_source_data" || true)
	if [ "$target" = template_debug ]; then
		[ "$docs" -gt 0 ] || fail "$target: the class reference is not compiled in"
	else
		[ "$docs" -eq 0 ] || fail "$target: the class reference is compiled into a release library"
	fi

	"$dir/bin/godot_cpp_standin_host" "$library" veltrin_numeric_core_init VeltrinNumericCore ||
		fail "$target: the installed library does not load and register VeltrinNumericCore"
	echo "$target: $name, one exported symbol, class reference $([ "$docs" -gt 0 ] && echo "in" || echo "left out"), loads and registers VeltrinNumericCore"
}

build template_debug RelWithDebInfo
build template_release Release
echo "real build checks passed"
