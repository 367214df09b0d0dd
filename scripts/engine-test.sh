#!/usr/bin/env bash
# Runs the node's test suite inside Godot (headless), as the editor runs the extension:
# builds the template_debug library against godot-cpp, imports a copy of demo/ and runs
# tests/engine/, then the glTF validator on what it exported, then tests/engine/editor/ in
# the editor. The last line of the suite is "N passed, N failed".
#
# Where the engine cannot run here, prints why in one line and stops; under CI=true that
# is a failure.
set -euo pipefail
source "$(dirname "$0")/engine-env.sh"

engine_require "Engine tests"

start=$SECONDS
engine_prepare
# The tool's glTF file, imported with the project as a game imports it.
assets=$engine_build/tool-files
rm -rf "$assets" && mkdir -p "$assets"
"$engine_build/cli/wendrel" --wind --collision -o "$assets/imported_tree.glb"
engine_lay_out_project tests/engine tests "$assets"
"$engine_build/cli/wendrel" -o "$engine_project/tests/default.json"
cp "$engine_source/README.md" "$engine_project/tests/README.md"
cp "$engine_source/doc_classes/Wendrel3D.xml" "$engine_project/tests/"

# The editor's help and the inspector's tooltips come from the class reference compiled into
# the library, compressed as godot-cpp does it (zlib, best compression): the library must hold
# today's doc_classes/, or the editor would show an old text or none.
if ! python3 - "$engine_project"/addons/wendrel3d/bin/libwendrel3d.*.template_debug.*.so \
	"$engine_source"/doc_classes/*.xml <<'EOF'
import sys, zlib
library = open(sys.argv[1], "rb").read()
reference = "".join(open(p, encoding="utf-8").read() for p in sorted(sys.argv[2:])).encode("utf-8")
sys.exit(0 if zlib.compress(reference, zlib.Z_BEST_COMPRESSION) in library else 1)
EOF
then
	echo "The library does not carry the class reference in doc_classes/" >&2
	exit 1
fi

log=$engine_build/engine-test.log
status=0
engine_in_root "$engine_project" timeout 600 godot --headless -s res://tests/run_tests.gd >"$log" 2>&1 || status=$?
grep -E '^(PASS |FAIL |  [^ ])' "$log" || true
summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -1 || true)

# The glTF files the suite exported through the engine's writer, through the Khronos validator.
validator=$engine_source/tools/gltf-validator
if ! node "$validator/validate.js" "$engine_project"/tests/out/*.glb; then
	echo "FAIL the engine's glTF export does not pass the validator"
	status=1
fi

# The tools in the editor itself, through a test plugin enabled in the project copy only.
editor_log=$engine_build/editor-test.log
printf '\n[editor_plugins]\n\nenabled=PackedStringArray("res://tests/editor/plugin.cfg")\n' >>"$engine_project/project.godot"
engine_in_root "$engine_project" timeout 300 godot --headless --editor >"$editor_log" 2>&1 || status=$?
grep -E '^(PASS |FAIL |  [^ ])' "$editor_log" || true
if ! grep -qE '^1 passed, 0 failed$' "$editor_log"; then
	echo "FAIL the editor tests did not pass (see $editor_log)"
	tail -20 "$editor_log"
	status=1
fi
# Leaks are reported after the suite has ended, as the engine shuts down.
leaks=$(grep -E 'leaked at exit|still in use at exit' "$log" || true)
echo "${summary:-no summary line: the suite did not finish (see $log)}"
if [ -n "$leaks" ]; then
	echo "Leaks at exit:"
	echo "$leaks"
fi
echo "Engine tests took $((SECONDS - start)) s"
if [ $status -ne 0 ] || [ -z "$summary" ] || [ "${summary#* passed, }" != "0 failed" ] || [ -n "$leaks" ]; then
	tail -40 "$log"
	exit 1
fi
