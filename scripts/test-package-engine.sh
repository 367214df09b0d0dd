#!/usr/bin/env bash
# Tests the released add-on in Godot as a user gets it (scripts/package.sh has written dist/):
#   install: the zip unzipped into a new, empty project (tests/package/), imported headless;
#            its main scene adds a Wendrel3D with the zip's template_debug library and prints
#            a digest of the default tree's arrays, which must equal that of the released
#            tool's JSON (tests/package/tree_digest.py);
#   export:  that project exported for Linux x86_64 in release mode with Debian's export
#            templates; the game, run headless, must load the zip's template_release library
#            (and no other) and print the same digest.
# Runs in a sid root of its own that adds the export templates to Godot. Called by
# scripts/test-package.sh.
set -euo pipefail
source "$(dirname "$0")/package-env.sh"

engine_require "The release's engine tests"

start=$SECONDS
# The sid root with Godot and its export templates, made once beside the engine suite's.
engine_sid_packages=(godot godot-template-release godot-template-debug)
engine_root=$engine_cache/sid-$(echo "v1 ${engine_sid_packages[*]}" | sha1sum | cut -c1-12)
(
	flock 9
	engine_make_root
) 9>"$engine_cache/.lock"
godot_version=$(engine_godot_version)

work=$package_build/engine
project=$work/project
rm -rf "$work"
mkdir -p "$project" "$work/tool" "$work/export"
cp "$engine_source"/tests/package/{project.godot,digest.gd,digest.tscn} "$project/"
unzip -q "$package_dist/wendrel3d-$package_version.zip" -d "$project"
tar -xzf "$package_dist/wendrel-$package_version-linux-x86_64.tar.gz" -C "$work/tool" --strip-components=1
"$work/tool/wendrel" -o "$work/default.json"
expected=$(python3 "$engine_source/tests/package/tree_digest.py" "$work/default.json")

# Runs Godot's command $@ in the folder $work (as /work/project), its output into $log, with
# the dynamic loader's list of the files it opens.
in_root() {
	engine_in_root "$work" timeout 300 env LD_DEBUG=files "$@" >"$log" 2>&1
}
# The first import of a project whose extension registers a class can crash as it ends (an
# engine fault, see engine-env.sh); what it wrote stands, and a second import must succeed.
log=$work/import.log
for attempt in 1 2; do
	engine_in_root "$work" timeout 300 godot --headless --path project --import --frame-delay 800 >"$log" 2>&1 && break
	if [ $attempt = 2 ]; then
		tail -30 "$log"
		echo "Importing the project with the released add-on failed" >&2
		exit 1
	fi
	echo "The first import crashed (see $log); importing again"
	cp "$log" "$work/import-1.log"
done
log=$work/install.log
in_root godot --headless --path project || {
	tail -30 "$log"
	echo "Running the project with the released add-on failed" >&2
	exit 1
}
package_check_digest "$log" "$expected" "Installed add-on"
package_check_loaded "$log" libwendrel3d.linux.template_debug.x86_64.so
echo "Installed add-on: the default tree's digest is the tool's ($expected)"

# Debian installs each template as a program of its own; the preset names them.
templates=$(chroot "$engine_root" dpkg -L godot-template-release godot-template-debug)
release_template=$(echo "$templates" | grep -E '/bin/godot-template-release$' || true)
debug_template=$(echo "$templates" | grep -E '/bin/godot-template-debug$' || true)
if [ -z "$release_template" ] || [ -z "$debug_template" ]; then
	echo "No export templates in Godot $godot_version's packages:" >&2
	echo "$templates" >&2
	exit 1
fi
sed -e "s#@RELEASE_TEMPLATE@#$release_template#" -e "s#@DEBUG_TEMPLATE@#$debug_template#" \
	"$engine_source/tests/package/export_presets.cfg" >"$project/export_presets.cfg"
log=$work/export.log
in_root godot --headless --path project --export-release Linux ../export/game.x86_64 || true
if [ ! -x "$work/export/game.x86_64" ]; then
	tail -30 "$log"
	echo "Exporting the project for Linux failed" >&2
	exit 1
fi
release_library=libwendrel3d.linux.template_release.x86_64.so
if ! cmp -s "$work/export/$release_library" "$project/addons/wendrel3d/bin/$release_library"; then
	ls -l "$work/export" >&2
	echo "The exported game does not carry the zip's $release_library" >&2
	exit 1
fi
log=$work/game.log
in_root export/game.x86_64 --headless || {
	tail -30 "$log"
	echo "The exported game failed" >&2
	exit 1
}
package_check_digest "$log" "$expected" "Exported game"
package_check_loaded "$log" "$release_library"
echo "Exported game (release): loads $release_library, the default tree's digest is the tool's"
echo "The release's engine tests took $((SECONDS - start)) s"
