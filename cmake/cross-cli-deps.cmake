# The tool's libraries for a cross-compiled build (Windows, Linux arm64). Debian ships them for
# the build machine only, but CLI11, nlohmann-json, TinyGLTF and stb are header libraries: their
# headers are linked into a folder of their own (not /usr/include, whose C library headers would
# hide the target's), and TinyGLTF's and stb's implementations are compiled here.
set(deps_include ${CMAKE_BINARY_DIR}/cross-deps/include)
file(MAKE_DIRECTORY ${deps_include})
foreach(header CLI nlohmann tiny_gltf.h)
	file(CREATE_LINK /usr/include/${header} ${deps_include}/${header} SYMBOLIC)
endforeach()
foreach(header stb_image.h stb_image_write.h)
	file(CREATE_LINK /usr/include/stb/${header} ${deps_include}/${header} SYMBOLIC)
endforeach()

add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${deps_include})

file(WRITE ${CMAKE_BINARY_DIR}/cross-deps/implementations.cpp
	"#define TINYGLTF_IMPLEMENTATION\n#define STB_IMAGE_IMPLEMENTATION\n"
	"#define STB_IMAGE_WRITE_IMPLEMENTATION\n#include <tiny_gltf.h>\n")
add_library(cross_header_libraries STATIC ${CMAKE_BINARY_DIR}/cross-deps/implementations.cpp)
target_include_directories(cross_header_libraries SYSTEM PUBLIC ${deps_include})
target_compile_options(cross_header_libraries PRIVATE -w)
add_library(TinyGLTF::TinyGLTF ALIAS cross_header_libraries)
set(STB_INCLUDE_DIR ${deps_include})
set(STB_LIBRARY cross_header_libraries)
