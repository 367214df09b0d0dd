#!/usr/bin/env bash
# Builds a release, as a release job runs it, into dist/:
#   wendrel3d-<version>.zip                   addons/wendrel3d/ as a user drops it into a project:
#                                             the files git tracks in demo/addons/wendrel3d/, the
#                                             changelog, and bin/ with every library
#   wendrel-<version>-linux-x86_64.tar.gz     the command-line tool
#   wendrel-<version>-windows-x86_64.zip
# The libraries, each as template_debug and template_release, optimised and stripped, built
# against godot-cpp with the API dumped from the engine: Linux x86_64 and arm64, Windows
# x86_64, and macOS as one universal file (x86_64 and arm64). The version is project()'s in
# CMakeLists.txt. Toolchains, the API dump and godot-cpp's objects are cached outside the clone
# (see engine-env.sh and package-env.sh), so a second run rebuilds little.
set -euo pipefail
source "$(dirname "$0")/package-env.sh"

engine_require "Packaging" required

start=$SECONDS
engine_prepare_api
package_install_tools
echo "Packaging Wendrel3D $package_version against Godot $(engine_godot_version)"

rm -rf "${package_build:?}/bin" "$package_build/stage"
for platform in linux-x86_64 linux-arm64 windows-x86_64 macos-x86_64 macos-arm64; do
	for kind in "${package_kinds[@]}"; do
		package_build_library "$platform" "$kind"
		echo "  $(package_library_name "$platform" "$kind") after $((SECONDS - start)) s"
	done
done
# One universal file per kind, as Godot's export expects it on macOS.
for kind in "${package_kinds[@]}"; do
	llvm-lipo-14 -create "$package_build/bin/$(package_library_name macos-x86_64 "$kind")" \
		"$package_build/bin/$(package_library_name macos-arm64 "$kind")" \
		-output "$package_build/bin/$(package_library_name macos-universal "$kind")"
done

# The add-on: whatever git tracks in its folder, the changelog, and the libraries.
addon=$package_build/stage/addons/wendrel3d
mkdir -p "$addon/bin"
(cd "$engine_source/demo/addons/wendrel3d" && git ls-files -z | xargs -0 cp --parents -t "$addon")
cp "$engine_source/CHANGELOG.md" "$addon/"
for platform in linux-x86_64 linux-arm64 windows-x86_64 macos-universal; do
	for kind in "${package_kinds[@]}"; do
		cp "$package_build/bin/$(package_library_name "$platform" "$kind")" "$addon/bin/"
	done
done
mkdir -p "$package_dist"
zip_file=$package_dist/wendrel3d-$package_version.zip
rm -f "$zip_file"
(cd "$package_build/stage" && zip -X -r -q "$zip_file" addons)

# The command-line tool, for Linux and Windows, with the licence and the changelog.
package_tool() {
	local platform=$1 program=$2 build=$package_build/tool-$1 folder
	shift 2
	cmake -S "$engine_source" -B "$build" -DCMAKE_BUILD_TYPE=Release -DWENDREL_BUILD_TESTS=OFF \
		-DWENDREL_BUILD_BENCHMARKS=OFF -DWENDREL_BUILD_FUZZERS=OFF -DWENDREL_PORTABLE_TOOL=ON \
		-DCMAKE_EXE_LINKER_FLAGS=-s "$@" >/dev/null
	cmake --build "$build" -j "$(nproc)" --target wendrel >"$build/build.log" 2>&1 || {
		tail -20 "$build/build.log"
		return 1
	}
	folder=wendrel-$package_version-$platform
	rm -rf "${build:?}/$folder" && mkdir -p "$build/$folder"
	cp "$build/cli/$program" "$engine_source/LICENSE" "$engine_source/CHANGELOG.md" "$build/$folder/"
	if [ "$platform" = windows-x86_64 ]; then
		rm -f "$package_dist/$folder.zip"
		(cd "$build" && zip -X -r -q "$package_dist/$folder.zip" "$folder")
	else
		tar -C "$build" --owner=0 --group=0 -czf "$package_dist/$folder.tar.gz" "$folder"
	fi
}
package_tool linux-x86_64 wendrel
package_tool windows-x86_64 wendrel.exe -DCMAKE_TOOLCHAIN_FILE="$engine_source/cmake/mingw-w64-x86_64.cmake"

ls -l "$package_dist"
echo "Packaged in $((SECONDS - start)) s"
