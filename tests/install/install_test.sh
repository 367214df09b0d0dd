#!/usr/bin/env bash
# Installs the build into a scratch prefix, then builds and runs the README's C++ example (its
# first cpp and cmake blocks) against the installed Wendrel3D package, and checks that it grows
# the same tree as the installed tool.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR WORK_DIR
set -euo pipefail
build=$1
source=$2
work=$3

rm -rf "$work"
mkdir -p "$work/app"
cmake --install "$build" --prefix "$work/prefix" >/dev/null

# The lines between the first "```LANG" fence and the next closing fence.
block() {
	awk -v fence="\`\`\`$1" '$0 == fence { inside = 1; next } inside && /^```/ { exit } inside { print }' "$source/README.md"
}
block cpp >"$work/app/main.cpp"
block cmake >"$work/app/CMakeLists.txt"
[ -s "$work/app/main.cpp" ] && [ -s "$work/app/CMakeLists.txt" ] || { echo "the README has no cpp or cmake example" >&2; exit 1; }

cmake -S "$work/app" -B "$work/app/build" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/app/build" >/dev/null
grown=$(find "$work/app/build" -maxdepth 1 -type f -executable | head -n 1)
printed=$("$grown")
echo "example: $printed"
# The example grows the default tree with 8 segments and prints its triangle counts.
stats=$("$work/prefix/bin/wendrel" --trunk-segments 8 --stats)
bark=$(awk '/^bark triangles/ { print $3 }' <<<"$stats")
twigs=$(awk '/^twig triangles/ { print $3 }' <<<"$stats")
[ "$printed" = "$bark bark triangles, $twigs twig triangles" ] || { echo "expected $bark bark and $twigs twig triangles" >&2; exit 1; }
