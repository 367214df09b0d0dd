#!/usr/bin/env bash
# Renders the demo's grove and each preset in Godot (Compatibility renderer on Mesa's
# software rasteriser, under Xvfb) into docs/engine/: grove.png and <preset>.png, then the
# editor's inspector of a Wendrel3D with its tools, editor-tools.png. `render.sh editor-tools`
# renders only that.
set -euo pipefail
source "$(dirname "$0")/engine-env.sh"

engine_require "Rendering" required
engine_prepare
engine_lay_out_project tools/render render
mkdir -p "$engine_project/renders"
if [ "${1:-}" != editor-tools ]; then
	engine_render "$engine_project" -s res://render/render.gd -- /work/project/renders
fi
# The editor itself, with a plugin (enabled in this copy only) that takes the picture and quits.
printf '\n[editor_plugins]\n\nenabled=PackedStringArray("res://render/editor_tools/plugin.cfg")\n' >>"$engine_project/project.godot"
engine_render "$engine_project" --editor -- /work/project/renders
mkdir -p "$engine_source/docs/engine"
cp "$engine_project"/renders/*.png "$engine_source/docs/engine/"
ls "$engine_source/docs/engine"
