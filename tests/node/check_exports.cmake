# Fails unless LIBRARY's dynamic symbol table defines wendrel3d_library_init and nothing else
# (absolute linker symbols aside).
execute_process(COMMAND nm -D --defined-only ${LIBRARY}
	OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
	message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(exported "")
foreach(line IN LISTS lines)
	if(line MATCHES "^[0-9a-fA-F]* +([A-Za-z]) +(.+)$" AND NOT CMAKE_MATCH_1 STREQUAL "A")
		list(APPEND exported ${CMAKE_MATCH_2})
	endif()
endforeach()
if(NOT exported STREQUAL "wendrel3d_library_init")
	message(FATAL_ERROR "Exported symbols: '${exported}', expected only wendrel3d_library_init")
endif()
message(STATUS "Only wendrel3d_library_init is exported")
