#!/usr/bin/env bash
# Cross-compiles the generator and its tests for 64-bit Windows with MinGW-w64 and runs them
# under Wine: the Windows build must grow the same trees as Linux, bit for bit (the golden
# digests are the same). Called by scripts/test.sh, after scripts/install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/windows
# A Wine prefix of our own, created on the first run; no Wine chatter in the test log.
export WINEPREFIX="$PWD/$build/wine-prefix" WINEDEBUG=-all

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	-DCMAKE_BUILD_TYPE=Release -DWENDREL_BUILD_CLI=OFF -DWENDREL_BUILD_BENCHMARKS=OFF
cmake --build "$build" -j "$(nproc)" --target model_tests model_allocation_tests
for suite in model_tests model_allocation_tests; do
	echo "== $suite.exe under Wine"
	wine "$build/tests/model/$suite.exe" --gtest_brief=1
done
