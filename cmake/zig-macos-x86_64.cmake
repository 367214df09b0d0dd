# macOS on Intel, with zig (see zig-macos.cmake).
set(WENDREL_ZIG_TARGET x86_64-macos)
include(${CMAKE_CURRENT_LIST_DIR}/zig-macos.cmake)
