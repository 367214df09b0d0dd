#!/usr/bin/env bash
# Cross-compiles the generator, its tests and the wendrel tool for 64-bit Windows with
# MinGW-w64 and runs them under Wine: the Windows build must grow the same trees as Linux,
# bit for bit. The generator's tests check the same golden digests, and the tool writes
# every preset as JSON, glTF and OBJ files identical to those of the Linux build (which
# scripts/test.sh has built before). The extension's DLLs are built and checked with the
# release (scripts/test-package.sh). Called by scripts/test.sh, after install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/windows
linux_tool=build/release/cli/wendrel
# A Wine prefix of our own, created on the first run; no Wine chatter in the test log.
export WINEPREFIX="$PWD/$build/wine-prefix" WINEDEBUG=-all

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	-DCMAKE_BUILD_TYPE=Release -DWENDREL_BUILD_BENCHMARKS=OFF
cmake --build "$build" -j "$(nproc)" --target model_tests model_allocation_tests wendrel
for suite in model_tests model_allocation_tests; do
	echo "== $suite.exe under Wine"
	wine "$build/tests/model/$suite.exe" --gtest_brief=1
done

echo "== wendrel.exe under Wine against $linux_tool"
out="$build/trees"
rm -rf "$out"
mkdir -p "$out/windows" "$out/linux"
for preset in $("$linux_tool" --list-presets); do
	files=(-o "$preset.json" -o "$preset.glb" -o "$preset.obj")
	(cd "$out/windows" && wine ../../cli/wendrel.exe --preset "$preset" "${files[@]}")
	(cd "$out/linux" && "../../../release/cli/wendrel" --preset "$preset" "${files[@]}")
done
# A second run must replace the files of the first.
(cd "$out/windows" && wine ../../cli/wendrel.exe --preset default -o default.json)
diff -r "$out/windows" "$out/linux"
echo "every preset: the same files on Windows and Linux"
