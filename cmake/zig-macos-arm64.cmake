# macOS on Apple silicon, with zig (see zig-macos.cmake).
set(WENDREL_ZIG_TARGET aarch64-macos)
include(${CMAKE_CURRENT_LIST_DIR}/zig-macos.cmake)
