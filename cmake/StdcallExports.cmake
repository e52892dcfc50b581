# Plain export names for stdcall functions in 32-bit Windows DLLs.
#
# On 32-bit Windows a stdcall function's symbol carries its argument size
# (_Hub_GetStatus@8). The .def file lists the plain names: the linker matches
# each to its decorated symbol and the DLL exports the plain name. The
# import library the linker writes alongside would carry the plain names too,
# which callers compiled against the stdcall declarations cannot link to, so
# it is replaced by one that maps each decorated name to the plain export.
# 64-bit builds have no decoration and need none of this.

set(_korvex_stdcall_script ${CMAKE_CURRENT_LIST_DIR}/stdcall_import_library.cmake)

# korvex_stdcall_exports(target def_file [object_library...]): the exported
# functions are looked for in the target's own objects and in those of the
# object libraries named (an object library linked to the target does not
# count among the target's own objects).
function(korvex_stdcall_exports target def_file)
  if(NOT WIN32 OR NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    return()
  endif()
  if(NOT CMAKE_NM OR NOT CMAKE_DLLTOOL)
    message(FATAL_ERROR "korvex_stdcall_exports needs nm and dlltool")
  endif()
  # The fuzzy match of plain names to decorated symbols is intended here.
  target_link_options(${target} PRIVATE -Wl,--enable-stdcall-fixup)
  set(objects "$<TARGET_OBJECTS:${target}>")
  foreach(library IN LISTS ARGN)
    list(APPEND objects "$<TARGET_OBJECTS:${library}>")
  endforeach()
  add_custom_command(
    TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL} -DDEF=${def_file}
            "-DOBJECTS=$<JOIN:${objects},|>"
            -DDLL_NAME=$<TARGET_FILE_NAME:${target}> -DIMPORT_LIBRARY=$<TARGET_LINKER_FILE:${target}>
            -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR} -P ${_korvex_stdcall_script}
    COMMENT "Import library with stdcall names for ${target}"
    VERBATIM)
endfunction()
