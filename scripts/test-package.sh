#!/usr/bin/env bash
# Builds the release (scripts/package.sh) and tests what ships:
#   the zip holds addons/wendrel3d/ only, with the .gdextension, the icon, the licence, the
#   add-on's README and the changelog, and bin/ holds exactly the libraries the .gdextension lists;
#   the Windows DLLs export the entry alone and import only Windows' own DLLs;
#   the macOS libraries hold both architectures, export the entry alone, link only macOS's
#   own libraries, and carry a code signature on arm64 (no engine loads them here);
#   the add-on installed into a new project and exported as a game (test-package-engine.sh);
#   the generator and the tool on arm64 under qemu-user (test-arm64.sh).
# Called by scripts/test.sh after the x86_64 build. Where the engine cannot run here, prints
# why in one line and stops; under CI=true that is a failure.
set -euo pipefail
source "$(dirname "$0")/package-env.sh"

engine_require "The release package tests"

start=$SECONDS
bash "$engine_source/scripts/package.sh"
echo "== The release's files"
zip_file=$package_dist/wendrel3d-$package_version.zip
contents=$package_build/contents
rm -rf "$contents" && mkdir -p "$contents"
unzip -q "$zip_file" -d "$contents"
addon=$contents/addons/wendrel3d
stray=$(cd "$contents" && find . -mindepth 1 -maxdepth 2 ! -path ./addons ! -path ./addons/wendrel3d)
if [ -n "$stray" ]; then
	echo "The zip holds more than addons/wendrel3d/: $stray" >&2
	exit 1
fi
for file in wendrel3d.gdextension icons/Wendrel3D.svg LICENSE README.md CHANGELOG.md; do
	[ -f "$addon/$file" ] || {
		echo "The zip has no addons/wendrel3d/$file" >&2
		exit 1
	}
done
listed=$(sed -n '/^\[libraries\]/,/^\[/s/^[a-z0-9_.]* = "\.\/\(bin\/[^"]*\)"$/\1/p' "$addon/wendrel3d.gdextension" | sort)
shipped=$(cd "$addon" && find bin -type f | sort)
if [ "$listed" != "$shipped" ]; then
	echo "The .gdextension lists other libraries than the zip holds:" >&2
	diff <(echo "$listed") <(echo "$shipped") >&2 || true
	exit 1
fi
echo "$(basename "$zip_file"): $(stat -c %s "$zip_file") bytes, $(echo "$shipped" | wc -l) libraries, each listed in the .gdextension"

for kind in "${package_kinds[@]}"; do
	package_check_dll "$addon/bin/$(package_library_name windows-x86_64 "$kind")"
	package_check_dylib "$addon/bin/$(package_library_name macos-universal "$kind")"
done
echo "Packaged and checked in $((SECONDS - start)) s"

bash "$engine_source/scripts/test-package-engine.sh"
bash "$engine_source/scripts/test-arm64.sh"
echo "The release's tests took $((SECONDS - start)) s"
