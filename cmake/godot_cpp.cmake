# Adds godot-cpp from GODOT_CPP_DIR, configured for the library kind WENDREL_LIBRARY_KIND.
# Included from the top-level CMakeLists.txt before the project's own compile options, so
# that godot-cpp's targets are built with godot-cpp's flags only.

if(NOT EXISTS ${GODOT_CPP_DIR}/CMakeLists.txt)
	message(FATAL_ERROR "Wendrel3D: GODOT_CPP_DIR (${GODOT_CPP_DIR}) is not a godot-cpp checkout.")
endif()
if(NOT WENDREL_LIBRARY_KIND MATCHES "^template_(debug|release)$")
	message(FATAL_ERROR "Wendrel3D: WENDREL_LIBRARY_KIND must be template_debug or template_release, "
		"not '${WENDREL_LIBRARY_KIND}'.")
endif()

# The library kind decides which engine features godot-cpp compiles in (DEBUG_ENABLED for
# template_debug); the build type decides only the optimisation.
set(GODOTCPP_TARGET ${WENDREL_LIBRARY_KIND} CACHE STRING "Set from WENDREL_LIBRARY_KIND" FORCE)
# The editor reloads a debug library when it is rebuilt.
if(WENDREL_LIBRARY_KIND STREQUAL template_debug AND NOT DEFINED GODOTCPP_USE_HOT_RELOAD)
	set(GODOTCPP_USE_HOT_RELOAD ON CACHE BOOL "Hot reload for the debug library")
endif()
# godot-cpp's headers are not ours to keep free of warnings.
set(GODOTCPP_SYSTEM_HEADERS ON CACHE BOOL "godot-cpp headers as system includes")
set(GODOT_CPP_SYSTEM_HEADERS ON CACHE BOOL "godot-cpp headers as system includes (godot-cpp 4.3)")
# Generate only the engine classes the node uses, plus those godot-cpp's own sources need.
set(GODOTCPP_BUILD_PROFILE ${PROJECT_SOURCE_DIR}/src/godot-cpp-profile.json CACHE FILEPATH
	"godot-cpp build profile: the engine classes to generate")

add_subdirectory(${GODOT_CPP_DIR} godot-cpp)
