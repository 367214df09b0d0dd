#!/usr/bin/env bash
# Installs what building and testing Wendrel3D needs on a Debian machine (run as root).
# Packages already present are left alone, so a second run costs no network access.
set -euo pipefail

packages=(cmake g++ make git libgtest-dev libbenchmark-dev libcli11-dev libtinygltf-dev
	libstb-dev nlohmann-json3-dev binutils nodejs)

missing=()
for p in "${packages[@]}"; do
	dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
# Some builds of nodejs carry npm themselves and conflict with Debian's npm package.
command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
	echo "Installing: ${missing[*]}"
	apt-get update -qq
	DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

# The Khronos glTF validator that the tests run on the tool's output, pinned by its lock file.
validator="$(dirname "$0")/../tools/gltf-validator"
if [ ! -d "$validator/node_modules/gltf-validator" ]; then
	(cd "$validator" && npm ci --no-audit --no-fund)
fi
