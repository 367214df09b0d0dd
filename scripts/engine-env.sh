# Sourced by engine-test.sh and render.sh: runs Godot from Debian sid in a root of its own
# (its glibc is newer than this machine's), builds the extension against godot-cpp with the
# API dumped from that Godot, and lays out a copy of the demo project for it.
#
# Caches, outside the clone (WENDREL_CACHE, default /var/cache/wendrel3d):
#   sid-<key>/                 the sid root, keyed by its package list; made once
#   api-<godot version>/       the API files dumped from that Godot
#   ccache-<godot>-<godot-cpp>/ compiler cache of the build, keyed by Godot's version and
#                              by godot-cpp's source, so godot-cpp is compiled once
# The build itself goes to build/engine/, the project copy to build/engine/project/.

engine_cache=${WENDREL_CACHE:-/var/cache/wendrel3d}
engine_source=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# godot-cpp's source: WENDREL_GODOT_CPP when set, else shared/godot-cpp beside this clone, or
# beside the repository it was cloned from (a clone made elsewhere on the same machine).
engine_find_godot_cpp() {
	if [ -n "${WENDREL_GODOT_CPP:-}" ]; then
		echo "$WENDREL_GODOT_CPP"
		return
	fi
	local beside origin
	beside=$(cd "$engine_source/.." && pwd)/shared/godot-cpp
	origin=$(git -C "$engine_source" config --get remote.origin.url 2>/dev/null || true)
	if [ ! -f "$beside/CMakeLists.txt" ] && [ -d "$origin" ] && [ -f "$origin/../shared/godot-cpp/CMakeLists.txt" ]; then
		beside=$(cd "$origin/.." && pwd)/shared/godot-cpp
	fi
	echo "$beside"
}
engine_godot_cpp=$(engine_find_godot_cpp)
engine_build=$engine_source/build/engine
engine_project=$engine_build/project
engine_sid_packages=(godot xvfb xauth libgl1-mesa-dri)
engine_root=$engine_cache/sid-$(echo "v1 ${engine_sid_packages[*]}" | sha1sum | cut -c1-12)

# Prints why the engine cannot run here, or nothing.
engine_unavailable() {
	if [ "$(id -u)" != 0 ]; then
		echo "not root (the sid root needs chroot and mounts)"
	elif [ ! -f "$engine_godot_cpp/CMakeLists.txt" ]; then
		echo "no godot-cpp source at $engine_godot_cpp"
	elif ! command -v apt-get >/dev/null; then
		echo "no apt-get to install mmdebstrap"
	elif ! unshare -m true 2>/dev/null; then
		echo "cannot make a mount namespace (unshare -m failed)"
	fi
}

# Ends the calling script where the engine cannot run here, with one line that says what ($1)
# and why: a failure under CI=true or when $2 is "required", else a skip.
engine_require() {
	local reason
	reason=$(engine_unavailable)
	[ -n "$reason" ] || return 0
	if [ "${CI:-}" = true ] || [ "${2:-}" = required ]; then
		echo "$1 cannot run: $reason" >&2
		exit 1
	fi
	echo "$1 skipped: $reason"
	exit 0
}

engine_install_host_tools() {
	local missing=()
	for p in mmdebstrap ccache python3; do
		dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
	done
	if [ ${#missing[@]} -gt 0 ]; then
		apt-get -o DPkg::Lock::Timeout=600 update -qq
		DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq "${missing[@]}" >/dev/null
	fi
}

# Makes the sid root once; a half-made one is never used.
engine_make_root() {
	[ -f "$engine_root/.complete" ] && return 0
	echo "Making the sid root with Godot in $engine_root"
	rm -rf "$engine_root.tmp"
	# sid's archive files can look expired to apt.
	mmdebstrap --quiet --variant=apt --aptopt='Acquire::Check-Valid-Until "false"' \
		--include="$(
			IFS=,
			echo "${engine_sid_packages[*]}"
		)" sid "$engine_root.tmp" http://deb.debian.org/debian
	touch "$engine_root.tmp/.complete"
	rm -rf "$engine_root"
	mv "$engine_root.tmp" "$engine_root"
}

# Runs Godot in the sid root on $1, rendering: the Compatibility renderer on Mesa's software
# rasteriser under Xvfb, no audio; the other arguments go to Godot.
engine_render() {
	local folder=$1
	shift
	engine_in_root "$folder" xvfb-run -a -s "-screen 0 1280x720x24" \
		godot --audio-driver Dummy --rendering-driver opengl3 --rendering-method gl_compatibility "$@"
}

# Runs a command in the sid root with $1 (a folder here) as /work/project and /proc, /tmp
# and /dev/shm of its own; the mounts vanish with the command.
engine_in_root() {
	local folder=$1
	shift
	mkdir -p "$engine_root/work/project"
	unshare -m --propagation private bash -c '
		root=$1 folder=$2
		shift 2
		mount -t proc proc "$root/proc"
		mount -t tmpfs tmpfs "$root/tmp"
		mount -t tmpfs tmpfs "$root/dev/shm"
		mount --bind "$folder" "$root/work/project"
		exec chroot "$root" env -i HOME=/tmp PATH=/usr/bin:/bin LANG=C.UTF-8 bash -c "cd /work/project && exec \"\$@\"" - "$@"
	' - "$engine_root" "$folder" "$@"
}

engine_godot_version() {
	chroot "$engine_root" dpkg-query -W -f='${Version}' godot
}

# Dumps the engine's API once per Godot version; sets engine_api and engine_api_version.
engine_dump_api() {
	local version
	version=$(engine_godot_version)
	engine_api_version=$(echo "$version" | cut -d. -f1-2)
	engine_api=$engine_cache/api-$version
	[ -f "$engine_api/.complete" ] && return 0
	rm -rf "$engine_api" && mkdir -p "$engine_api"
	engine_in_root "$engine_api" godot --headless --dump-extension-api --dump-gdextension-interface-json >/dev/null 2>&1
	mv "$engine_api/extension_api.json" "$engine_api/extension_api-${engine_api_version/./-}.json"
	touch "$engine_api/.complete"
}

# Builds the editor's (template_debug) library, optimised, and the command-line tool.
engine_build_extension() {
	engine_build_library "$engine_build" "wendrel3d wendrel"
}

# Builds the template_debug library into the folder $1 (with the targets $2, and the CMake
# options that follow), free of warnings, godot-cpp's objects cached by ccache.
engine_build_library() {
	local build=$1 targets=$2
	shift 2
	local godot_cpp_key
	godot_cpp_key=$(cd "$engine_godot_cpp" && find . -type f -printf '%P %s\n' | sort | sha1sum | cut -c1-12)
	export CCACHE_DIR=$engine_cache/ccache-$(engine_godot_version)-$godot_cpp_key
	# The clone and shared/ sit side by side wherever CI puts them: cache by relative paths.
	export CCACHE_BASEDIR=$(cd "$engine_source/.." && pwd) CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=2G
	export CCACHE_SLOPPINESS=include_file_mtime,include_file_ctime,time_macros
	cmake -S "$engine_source" -B "$build" -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache \
		-DGODOT_CPP_DIR="$engine_godot_cpp" -DGODOTCPP_GDEXTENSION_DIR="$engine_api" \
		-DGODOTCPP_API_VERSION="$engine_api_version" -DWENDREL_LIBRARY_KIND=template_debug \
		-DWENDREL_BUILD_TESTS=OFF -DWENDREL_BUILD_BENCHMARKS=OFF "$@" >/dev/null
	local log=$build/build.log
	# shellcheck disable=SC2086 # the targets are words
	if ! cmake --build "$build" -j "$(nproc)" --target $targets >"$log" 2>&1; then
		tail -40 "$log"
		return 1
	fi
	# The build of godot-cpp and the extension must be free of warnings.
	if grep 'warning:' "$log"; then
		echo "The extension build gave warnings (see $log)" >&2
		return 1
	fi
}

# Copies the demo (with the library just built) to build/engine/project, adds the folder
# $1 of this repository as res://$2, with the files of the folder $3 when given, and imports
# the project.
engine_lay_out_project() {
	rm -rf "$engine_project"
	mkdir -p "$engine_project"
	(cd "$engine_source/demo" && tar --exclude=./.godot -cf - .) | (cd "$engine_project" && tar -xf -)
	cp -r "$engine_source/$1" "$engine_project/$2"
	if [ -n "${3:-}" ]; then
		cp -r "$3/." "$engine_project/$2/"
	fi
	# note: a first import of a project whose extension registers a class can crash at exit
	# (an engine fault); a delay between the frames of the import avoids it.
	local log=$engine_build/import.log
	if ! engine_in_root "$engine_project" timeout 300 godot --headless --import --frame-delay 800 >"$log" 2>&1; then
		tail -20 "$log"
		echo "Importing the project failed (see $log)" >&2
		return 1
	fi
}

# Makes the sid root and the API dump, or finds them made.
engine_prepare_api() {
	engine_install_host_tools
	mkdir -p "$engine_cache"
	# Several clones on one machine share the caches: one makes them, the others wait.
	(
		flock 9
		engine_make_root
		engine_dump_api
	) 9>"$engine_cache/.lock"
	engine_dump_api # sets the API variables in this shell; the files exist by now
}

engine_prepare() {
	engine_prepare_api
	echo "Godot $(engine_godot_version) ready after $SECONDS s; building the extension"
	engine_build_extension
	echo "Extension built after $SECONDS s"
}
