#!/usr/bin/env bash
# Times the node inside Godot (headless), with the library that scripts/engine-test.sh
# builds: one property change on trees of four sizes, the engine's own
# add_surface_from_arrays of the same arrays (and through a SurfaceTool, as the node hands
# them over), the load of a scene of 100 trees, and generate() alone in the wendrel tool.
#     bash bench/engine-timing.sh
set -euo pipefail
source "$(dirname "$0")/../scripts/engine-env.sh"

reason=$(engine_unavailable)
if [ -n "$reason" ]; then
	echo "Engine timing skipped: $reason"
	exit 0
fi
engine_prepare
engine_lay_out_project bench/engine bench
engine_in_root "$engine_project" timeout 1800 godot --headless -s res://bench/timing.gd 2>&1 |
	grep -vE '^(Godot Engine|$)'
for levels in 5 8 10 13; do
	printf 'trunk_branches_count %-3s generate() in the tool: ' "$levels"
	"$engine_build/cli/wendrel" --trunk-branches-count "$levels" --stats | grep 'generation time'
done
