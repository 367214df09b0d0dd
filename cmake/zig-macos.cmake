# Cross-compiles for macOS with zig's C and C++ compilers, which bring macOS's system headers
# and libc++ and link Mach-O libraries (with an ad-hoc code signature on arm64, as macOS
# requires there). Included by zig-macos-x86_64.cmake and zig-macos-arm64.cmake, which set
# WENDREL_ZIG_TARGET. zig is taken from the ZIG environment variable, else from the PATH; its
# own cache goes where ZIG_GLOBAL_CACHE_DIR says (zig compiles libc++ once per target there).
# Archives are written by LLVM's ar (Debian: llvm-14), which writes the Darwin format for
# Mach-O objects.
set(CMAKE_SYSTEM_NAME Darwin)
if(WENDREL_ZIG_TARGET MATCHES "^aarch64")
	set(CMAKE_SYSTEM_PROCESSOR arm64)
else()
	set(CMAKE_SYSTEM_PROCESSOR x86_64)
endif()

if(DEFINED ENV{ZIG})
	set(wendrel_zig $ENV{ZIG})
else()
	find_program(wendrel_zig zig REQUIRED)
endif()
set(CMAKE_C_COMPILER ${wendrel_zig} cc -target ${WENDREL_ZIG_TARGET})
set(CMAKE_CXX_COMPILER ${wendrel_zig} c++ -target ${WENDREL_ZIG_TARGET})
# Everything is compiled hidden, godot-cpp too, as on the other platforms (the entry is marked
# to be exported itself). zig 0.11's Mach-O linker has no -exported_symbol and still lists the
# hidden symbols among a library's exports, so the macOS libraries export more than the entry.
set(CMAKE_C_FLAGS_INIT "-fvisibility=hidden")
set(CMAKE_CXX_FLAGS_INIT "-fvisibility=hidden -fvisibility-inlines-hidden")

# zig refuses the linker option -v with which CMake detects the compiler's ABI, so the pointer
# size (which godot-cpp reads) is given here: both targets are 64-bit.
set(CMAKE_C_SIZEOF_DATA_PTR 8)
set(CMAKE_CXX_SIZEOF_DATA_PTR 8)
set(CMAKE_SIZEOF_VOID_P 8)
find_program(CMAKE_AR NAMES llvm-ar-14 llvm-ar REQUIRED)
find_program(CMAKE_RANLIB NAMES llvm-ranlib-14 llvm-ranlib REQUIRED)

# The libraries find nothing of this machine's: zig brings the target's headers itself.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
