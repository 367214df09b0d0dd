#!/usr/bin/env bash
# Builds every target and runs the whole test suite twice: an optimised build, then a
# debug build under AddressSanitizer and UndefinedBehaviorSanitizer, whose random parameter
# sweep runs for a minute. Then builds the libFuzzer target with clang and runs it briefly,
# runs the node's suite inside Godot (scripts/engine-test.sh), the generator's tests and
# the tool cross-compiled for Windows under Wine (scripts/test-windows.sh), and builds and
# tests the release: the add-on installed and exported, arm64, Windows and macOS
# (scripts/test-package.sh). Before all of it, every C++ source must be as the
# repository's .clang-format writes it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --tests
git ls-files '*.cpp' '*.h' '*.hpp' | xargs clang-format-14 --dry-run -Werror
jobs=$(nproc)

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DWENDREL_SANITIZE=ON -DWENDREL_BUILD_BENCHMARKS=OFF \
	-DWENDREL_SWEEP_SECONDS=60
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	ctest --test-dir build/sanitize --output-on-failure -j "$jobs"

CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWENDREL_SANITIZE=ON \
	-DWENDREL_LIBFUZZER=ON -DWENDREL_BUILD_TESTS=OFF -DWENDREL_BUILD_CLI=OFF -DWENDREL_BUILD_BENCHMARKS=OFF
cmake --build build/fuzz -j "$jobs" --target generate_fuzzer
mkdir -p build/fuzz/corpus
build/fuzz/fuzz/generate_fuzzer -max_total_time=30 -max_len=104 -len_control=0 -rss_limit_mb=4096 build/fuzz/corpus

bash scripts/engine-test.sh
bash scripts/test-windows.sh
bash scripts/test-package.sh
