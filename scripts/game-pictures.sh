#!/usr/bin/env bash
# The README's pictures of wind, collision and distance LOD, made in Godot (Compatibility
# renderer on Mesa's software rasteriser, under Xvfb) into docs/game/; prints the triangles
# drawn for the default tree and the largest preset at 5, 30 and 150 m with lod_enable off
# and on.
set -euo pipefail
source "$(dirname "$0")/engine-env.sh"

reason=$(engine_unavailable)
if [ -n "$reason" ]; then
	echo "Cannot make the pictures: $reason" >&2
	exit 1
fi
engine_prepare
engine_lay_out_project tools/game game
mkdir -p "$engine_project/pictures"
engine_in_root "$engine_project" xvfb-run -a -s "-screen 0 1280x720x24" \
	godot --audio-driver Dummy --rendering-driver opengl3 --rendering-method gl_compatibility \
	-s res://game/game.gd -- /work/project/pictures | grep -E '^\|'
mkdir -p "$engine_source/docs/game"
cp "$engine_project"/pictures/*.png "$engine_source/docs/game/"
