#!/usr/bin/env bash
# Installs what building Wendrel3D needs on a Debian machine (run as root); with --tests, also
# what the tests need: Node.js and the Khronos glTF validator from npm, clang 14 with libFuzzer
# and clang-format.
# Packages already present are left alone, so a second run costs no network access.
set -euo pipefail

packages=(cmake g++ make git libgtest-dev libbenchmark-dev libcli11-dev libtinygltf-dev
	libstb-dev nlohmann-json3-dev binutils libtinyxml2-dev)
with_tests=false
if [ "${1:-}" = "--tests" ]; then
	with_tests=true
	# Node.js for the glTF validator, clang for the libFuzzer target, clang-format for the
	# format check, MPFR for the math tests' reference, and for the Windows build of the tests
	# MinGW-w64, GoogleTest's sources and Wine.
	packages+=(nodejs clang-14 clang-format-14 libclang-rt-14-dev libmpfr-dev googletest g++-mingw-w64-x86-64 wine wine64)
fi

missing=()
for p in "${packages[@]}"; do
	dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
# Some builds of nodejs carry npm themselves and conflict with Debian's npm package.
if $with_tests && ! command -v npm >/dev/null; then
	missing+=(npm)
fi
if [ ${#missing[@]} -gt 0 ]; then
	echo "Installing: ${missing[*]}"
	apt-get update -qq
	DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

# The Khronos glTF validator that the tests run on the tool's output, pinned by its lock file.
validator="$(dirname "$0")/../tools/gltf-validator"
if $with_tests && [ ! -d "$validator/node_modules/gltf-validator" ]; then
	if ! (cd "$validator" && npm ci --no-audit --no-fund); then
		echo "error: could not install the Khronos glTF validator (npm package gltf-validator) into" >&2
		echo "tools/gltf-validator: npm could not reach its registry (offline, or a proxy npm is not" >&2
		echo "set up for?). Only the tests need it: 'bash scripts/main.sh' builds and runs the tool" >&2
		echo "without it." >&2
		exit 1
	fi
fi
