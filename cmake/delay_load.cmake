# Import libraries that load their DLL at the first call into it (delay
# loading), made with the toolchain's dlltool when the build is configured:
#
#   vellox_delay_load(TARGET DEF...)
#
# Links TARGET (PUBLIC) with one such library per DEF file: LIBRARY names
# the DLL, EXPORTS the functions called, as 32-bit stdcall names
# (FUNCTION@BYTES; the 64-bit side drops the decoration). A call to a
# function left out of the list fails to link, so the list stays complete.
function(vellox_delay_load target)
  if(NOT CMAKE_DLLTOOL)
    message(FATAL_ERROR "delay-loaded imports need dlltool (CMAKE_DLLTOOL)")
  endif()
  foreach(def IN LISTS ARGN)
    get_filename_component(name ${def} NAME_WE)
    file(READ ${def} exports)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      string(REGEX REPLACE "@[0-9]+" "" exports "${exports}")
    else()
      # The 32-bit linker drops a loading stub that no symbol names, as it
      # drops the plain stubs of an import library, and leaves its slot
      # zero: each stub is named, so that the first call finds it.
      string(REGEX MATCHALL "[A-Za-z0-9_]+@[0-9]+" functions "${exports}")
      foreach(function IN LISTS functions)
        target_link_options(${target} PUBLIC "LINKER:-u,_${function}")
      endforeach()
    endif()
    set(library ${CMAKE_CURRENT_BINARY_DIR}/lib${name}_delay.a)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name}_delay.def "${exports}")
    # Run where the files are: dlltool names its symbols after the library.
    execute_process(
      COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${name}_delay.def
              --output-delaylib lib${name}_delay.a
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      RESULT_VARIABLE failed ERROR_VARIABLE errors)
    if(failed)
      message(FATAL_ERROR "dlltool cannot make ${library}: ${errors}")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
    target_link_libraries(${target} PUBLIC ${library})
  endforeach()
endfunction()
