#!/usr/bin/env bash
# Writes the default tree (.glb, .gltf with its textures beside it, .glb without twigs, and both
# with the wind records and the collision capsules, and a .gltf whose name its texture URIs must percent-encode) and every
# preset (.glb, textures embedded) and runs the Khronos glTF validator on them; any error or
# warning fails.
# Usage: validate_gltf.sh WENDREL VALIDATOR_DIR OUTPUT_DIR
set -euo pipefail
wendrel=$1
validator=$2
out=$3

if ! command -v node >/dev/null || [ ! -d "$validator/node_modules/gltf-validator" ]; then
	echo "the glTF validator is not installed: run 'bash scripts/install-deps.sh --tests'" >&2
	exit 1
fi
rm -rf "$out"
mkdir -p "$out"
files=("$out/default.glb" "$out/default.gltf" "$out/no-twigs.glb" "$out/wind.glb" "$out/wind.gltf" "$out/tree #2%20ü.gltf")
"$wendrel" -o "$out/default.glb" -o "$out/default.gltf"
"$wendrel" --wind --collision -o "$out/wind.glb" -o "$out/wind.gltf"
"$wendrel" --no-twigs -o "$out/no-twigs.glb"
"$wendrel" --texture-size 16 -o "$out/tree #2%20ü.gltf"
for preset in $("$wendrel" --list-presets); do
	"$wendrel" --preset "$preset" -o "$out/preset-$preset.glb"
	files+=("$out/preset-$preset.glb")
done
node "$validator/validate.js" "${files[@]}"
