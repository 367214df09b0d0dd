#!/usr/bin/env bash
# Cross-compiles the generator, its tests and the wendrel tool for 64-bit ARM Linux
# (cmake/aarch64-linux-gnu.cmake) and runs them under qemu-user: the arm64 build must grow the
# same trees as x86_64, bit for bit. The generator's tests check the golden digests, and the
# tool writes every preset as JSON and glTF files identical to those of the x86_64 build
# (which scripts/test.sh has built before). Then Godot for arm64, from sid, runs headless
# under qemu-user on the project that test-package-engine.sh made of the release's zip: it must
# load the zip's arm64 template_debug library and grow the default tree of the tool's digest.
# Called by scripts/test-package.sh, after test-package-engine.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source "$PWD/scripts/package-env.sh"
build=build/arm64
linux_tool=$PWD/build/release/cli/wendrel
arm64_tool=$PWD/$build/cli/wendrel
package_install_tools qemu-user-static
qemu=(qemu-aarch64-static -L /usr/aarch64-linux-gnu)

start=$SECONDS
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake \
	-DCMAKE_BUILD_TYPE=Release -DWENDREL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target model_tests model_allocation_tests wendrel >"$build/build.log" 2>&1 || {
	tail -30 "$build/build.log"
	exit 1
}
echo "arm64 build took $((SECONDS - start)) s"
for suite in model_tests model_allocation_tests; do
	echo "== $suite under qemu-aarch64"
	"${qemu[@]}" "$build/tests/model/$suite" --gtest_brief=1
done

echo "== wendrel (arm64) under qemu-aarch64 against $linux_tool"
out=$build/trees
rm -rf "$out"
mkdir -p "$out/arm64" "$out/x86_64"
for preset in $("$linux_tool" --list-presets); do
	(cd "$out/arm64" && "${qemu[@]}" "$arm64_tool" --preset "$preset" -o "$preset.json" -o "$preset.glb")
	(cd "$out/x86_64" && "$linux_tool" --preset "$preset" -o "$preset.json" -o "$preset.glb")
done
diff -r "$out/arm64" "$out/x86_64"
echo "every preset: the same files on arm64 and x86_64; arm64 tests took $((SECONDS - start)) s"

# sid's arm64 Godot, unpacked once into the cache: no package script runs, so making it needs
# no arm64 emulation of the whole system (and the links of the merged /usr are made here).
arm64_root=$engine_cache/sid-arm64-$(echo "v1 godot" | sha1sum | cut -c1-12)
make_arm64_root() {
	[ -f "$arm64_root/.complete" ] && return 0
	echo "Unpacking sid's arm64 Godot into $arm64_root"
	rm -rf "$arm64_root.tmp"
	mmdebstrap --quiet --variant=extract --architectures=arm64 --include=godot \
		--aptopt='Acquire::Check-Valid-Until "false"' sid "$arm64_root.tmp" http://deb.debian.org/debian
	for folder in bin lib sbin; do
		[ -e "$arm64_root.tmp/$folder" ] || ln -s "usr/$folder" "$arm64_root.tmp/$folder"
	done
	touch "$arm64_root.tmp/.complete"
	rm -rf "$arm64_root"
	mv "$arm64_root.tmp" "$arm64_root"
}
engine_install_host_tools
(
	flock 9
	make_arm64_root
) 9>"$engine_cache/.lock"

project=$package_build/engine/project
if [ ! -d "$project/.godot" ]; then
	echo "No imported project of the release in $project: run scripts/test-package-engine.sh first" >&2
	exit 1
fi
engine_start=$SECONDS
log=$build/godot.log
home=$(mktemp -d)
if ! HOME=$home LD_DEBUG=files timeout 1200 qemu-aarch64-static -L "$arm64_root" "$arm64_root/usr/bin/godot" \
	--headless --path "$project" >"$log" 2>&1; then
	tail -30 "$log"
	echo "Godot for arm64 failed under qemu-user" >&2
	exit 1
fi
rm -rf "$home"
package_check_digest "$log" "$(python3 tests/package/tree_digest.py "$package_build/engine/default.json")" "Godot on arm64"
package_check_loaded "$log" libwendrel3d.linux.template_debug.arm64.so
echo "Godot for arm64 under qemu-user: loads the zip's arm64 library, the default tree's digest" \
	"is the tool's ($((SECONDS - engine_start)) s)"
