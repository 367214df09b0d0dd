#!/usr/bin/env bash
# Cross-compiles the Godot extension (the node and the generator against godot-cpp, with
# godot-cpp's own MinGW support) for 64-bit Windows, as the editor loads it: the
# template_debug library, under the name the demo's .gdextension lists, free of warnings.
# No Windows Godot runs here, so the DLL is checked as the engine and a user's machine would
# see it: it exports the entry symbol and nothing else, and needs no DLL beyond Windows'
# own (no MinGW runtime). Called by scripts/test-windows.sh; uses the API dump and the
# compiler cache of scripts/engine-test.sh.
#
# Where the engine's API cannot be dumped here, prints why in one line and stops; under
# CI=true that is a failure.
set -euo pipefail
source "$(dirname "$0")/engine-env.sh"

engine_require "The Windows extension build"

start=$SECONDS
engine_prepare_api
build=$engine_source/build/windows-extension
name=libwendrel3d.windows.template_debug.x86_64.dll
library=$engine_source/demo/addons/wendrel3d/bin/$name
rm -f "$library"
engine_build_library "$build" wendrel3d \
	-DCMAKE_TOOLCHAIN_FILE="$engine_source/cmake/mingw-w64-x86_64.cmake" -DWENDREL_BUILD_CLI=OFF

if ! grep -qF "bin/$name\"" "$engine_source/demo/addons/wendrel3d/wendrel3d.gdextension"; then
	echo "$name is not in the demo's .gdextension" >&2
	exit 1
fi
if [ ! -f "$library" ]; then
	echo "The build did not write $library" >&2
	exit 1
fi

headers=$(x86_64-w64-mingw32-objdump -p "$library")
# The export table lists the entry point alone.
exports=$(echo "$headers" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NR > 1 && NF { print $NF }')
if [ "$exports" != wendrel3d_library_init ]; then
	echo "$name must export wendrel3d_library_init alone; it exports:" >&2
	echo "${exports:-(nothing)}" >&2
	exit 1
fi
# Every DLL it imports comes with Windows: the C and C++ runtimes of MinGW are linked in.
imports=$(echo "$headers" | awk '/DLL Name:/ { print $3 }')
foreign=$(echo "$imports" | grep -viE '^(kernel32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$' || true)
if [ -n "$foreign" ]; then
	echo "$name needs DLLs a Windows machine does not have:" >&2
	echo "$foreign" >&2
	exit 1
fi
echo "$name: exports wendrel3d_library_init only, imports only $(echo "$imports" | paste -sd " ")"
echo "Windows extension built and checked in $((SECONDS - start)) s"
