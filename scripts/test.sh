#!/usr/bin/env bash
# Builds every target and runs the whole test suite twice: an optimised build, then a
# debug build under AddressSanitizer and UndefinedBehaviorSanitizer. Then runs the node's
# suite inside Godot (scripts/engine-test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --tests
jobs=$(nproc)

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DWENDREL_SANITIZE=ON -DWENDREL_BUILD_BENCHMARKS=OFF
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	ctest --test-dir build/sanitize --output-on-failure -j "$jobs"

bash scripts/engine-test.sh
