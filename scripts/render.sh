#!/usr/bin/env bash
# Renders the demo's grove and each preset in Godot (Compatibility renderer on Mesa's
# software rasteriser, under Xvfb) into docs/engine/: grove.png and <preset>.png.
set -euo pipefail
source "$(dirname "$0")/engine-env.sh"

reason=$(engine_unavailable)
if [ -n "$reason" ]; then
	echo "Cannot render: $reason" >&2
	exit 1
fi
engine_prepare
engine_lay_out_project tools/render render
mkdir -p "$engine_project/renders"
engine_in_root "$engine_project" xvfb-run -a -s "-screen 0 1280x720x24" \
	godot --audio-driver Dummy --rendering-driver opengl3 --rendering-method gl_compatibility \
	-s res://render/render.gd -- /work/project/renders
mkdir -p "$engine_source/docs/engine"
cp "$engine_project"/renders/*.png "$engine_source/docs/engine/"
ls "$engine_source/docs/engine"
