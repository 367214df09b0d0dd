#!/usr/bin/env bash
# Builds the command-line tool and grows the default tree into out/: a glTF binary to open
# in Blender or any glTF viewer, and a PNG preview.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$(nproc)" --target wendrel
mkdir -p out
./build/release/cli/wendrel --stats -o out/tree.glb
./build/release/cli/wendrel -o out/tree.png
echo "Wrote out/tree.glb and out/tree.png"
