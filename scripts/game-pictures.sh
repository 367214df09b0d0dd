#!/usr/bin/env bash
# The README's pictures of wind, collision and distance LOD, made in Godot (Compatibility
# renderer on Mesa's software rasteriser, under Xvfb) into docs/game/; prints the triangles
# drawn for the default tree and the largest preset at 5, 30 and 150 m with lod_enable off
# and on.
set -euo pipefail
source "$(dirname "$0")/engine-env.sh"

engine_require "Making the pictures" required
engine_prepare
engine_lay_out_project tools/game game
mkdir -p "$engine_project/pictures"
engine_render "$engine_project" -s res://game/game.gd -- /work/project/pictures | grep -E '^\|'
mkdir -p "$engine_source/docs/game"
cp "$engine_project"/pictures/*.png "$engine_source/docs/game/"
