# Writes a 32-bit import library that maps each stdcall symbol (_Name@N) to
# the DLL's plain export Name. Run by korvex_stdcall_exports after the link.
#
# Inputs: NM, DLLTOOL, DEF (the .def file with plain names), OBJECTS (the
# DLL's object files, separated by |), DLL_NAME, IMPORT_LIBRARY, WORK_DIR.

string(REPLACE "|" ";" objects "${OBJECTS}")
execute_process(COMMAND ${NM} --defined-only --extern-only ${objects}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE nm_result)
if(NOT nm_result EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${objects}")
endif()

file(STRINGS ${DEF} def_lines)
set(in_exports FALSE)
set(decorated_lines "")
foreach(line IN LISTS def_lines)
  string(REGEX REPLACE ";.*$" "" line "${line}")
  string(STRIP "${line}" line)
  if(line STREQUAL "")
    continue()
  elseif(line STREQUAL "EXPORTS")
    set(in_exports TRUE)
    continue()
  elseif(NOT in_exports)
    continue()
  endif()
  if(NOT line MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
    message(FATAL_ERROR "${DEF}: only plain names are supported in EXPORTS, not '${line}'")
  endif()
  if(NOT symbols MATCHES " _${line}@([0-9]+)\n")
    message(FATAL_ERROR "${DEF}: ${line} is not a stdcall function of ${DLL_NAME}")
  endif()
  string(APPEND decorated_lines "  ${line}@${CMAKE_MATCH_1}\n")
endforeach()

get_filename_component(library_name ${DLL_NAME} NAME_WE)
set(decorated_def ${WORK_DIR}/${library_name}-stdcall.def)
file(WRITE ${decorated_def} "LIBRARY ${DLL_NAME}\nEXPORTS\n${decorated_lines}")
# Run beside the library so that dlltool names its internal symbols after
# the file name rather than the whole path.
get_filename_component(library_dir ${IMPORT_LIBRARY} DIRECTORY)
get_filename_component(library_file ${IMPORT_LIBRARY} NAME)
execute_process(COMMAND ${DLLTOOL} --input-def ${decorated_def} --dllname ${DLL_NAME}
                        --output-lib ${library_file} --kill-at
                WORKING_DIRECTORY ${library_dir} RESULT_VARIABLE dlltool_result)
if(NOT dlltool_result EQUAL 0)
  message(FATAL_ERROR "${DLLTOOL} failed for ${decorated_def}")
endif()
