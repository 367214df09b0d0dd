#!/usr/bin/env bash
# Renders the demo's grove and each preset in Godot (Compatibility renderer on Mesa's
# software rasteriser, under Xvfb) into docs/engine/: grove.png and <preset>.png.
set -euo pipefail
source "$(dirname "$0")/engine-env.sh"

engine_require "Rendering" required
engine_prepare
engine_lay_out_project tools/render render
mkdir -p "$engine_project/renders"
engine_render "$engine_project" -s res://render/render.gd -- /work/project/renders
mkdir -p "$engine_source/docs/engine"
cp "$engine_project"/renders/*.png "$engine_source/docs/engine/"
ls "$engine_source/docs/engine"
