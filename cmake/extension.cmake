# Helpers for the extension library, shared by its real build (src/) and its build against
# the test stand-in (tests/godot_stub/).

# Sets ${platform_var} and ${arch_var} to the engine's names of the target platform and
# architecture, as the library's file name carries them (e.g. linux and x86_64).
function(wendrel_platform_arch platform_var arch_var)
	if(WIN32)
		set(platform windows)
	elseif(APPLE)
		set(platform macos)
	elseif(ANDROID)
		set(platform android)
	else()
		set(platform linux)
	endif()
	string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" processor)
	if(processor MATCHES "^(x86_64|amd64|x64)$")
		set(arch x86_64)
	elseif(processor MATCHES "^(aarch64|arm64)")
		set(arch arm64)
	elseif(processor MATCHES "^(i[3-6]86|x86)$")
		set(arch x86_32)
	elseif(processor MATCHES "^arm")
		set(arch arm32)
	else()
		set(arch ${processor})
	endif()
	set(${platform_var} ${platform} PARENT_SCOPE)
	set(${arch_var} ${arch} PARENT_SCOPE)
endfunction()

# The library exports wendrel3d_library_init and nothing else, also not the symbols of the
# static libraries linked into it (godot-cpp, the generator, the C++ runtime's inlines).
function(wendrel_export_entry_only target)
	set_target_properties(${target} PROPERTIES
		CXX_VISIBILITY_PRESET hidden
		VISIBILITY_INLINES_HIDDEN ON
	)
	set(map ${PROJECT_SOURCE_DIR}/src/wendrel3d.map)
	if(APPLE)
		# zig's Mach-O linker, which the cross build uses, has no such option; there the
		# hidden visibility keeps our own symbols in, but not those of zig's static libc++.
		include(CheckLinkerFlag)
		check_linker_flag(CXX "LINKER:-exported_symbol,_main" WENDREL_LINKER_EXPORTED_SYMBOL)
		if(WENDREL_LINKER_EXPORTED_SYMBOL)
			target_link_options(${target} PRIVATE "LINKER:-exported_symbol,_wendrel3d_library_init")
		endif()
	elseif(UNIX)
		target_link_options(${target} PRIVATE "LINKER:--version-script=${map}")
		set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map})
	endif()
endfunction()
