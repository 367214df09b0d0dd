#!/usr/bin/env bash
# Installs what building and testing Wendrel3D needs on a Debian machine (run as root).
# Packages already present are left alone, so a second run costs no network access.
set -euo pipefail

packages=(cmake g++ make git libgtest-dev libbenchmark-dev libcli11-dev libtinygltf-dev
	libstb-dev nlohmann-json3-dev binutils)

missing=()
for p in "${packages[@]}"; do
	dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
	echo "Installing: ${missing[*]}"
	apt-get update -qq
	DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
