# cmake -DVELLOX_SOURCE_DIR=DIR -P check_includes.cmake
# Fails, naming each file and include, where a file of a folder listed in
# include_rules.cmake includes a header from a folder its own may not know.
# Includes are written from the repository root ("platform/files.h"); a
# bare name is a file beside the including one or, for a test, one of the
# tests' shared helpers in tests/.
include(${CMAKE_CURRENT_LIST_DIR}/include_rules.cmake)

set(violations "")
foreach(rule IN LISTS VELLOX_INCLUDE_RULES)
  string(REGEX REPLACE ":.*" "" folder "${rule}")
  string(REGEX REPLACE "^[^:]*:" "" allowed "${rule}")
  separate_arguments(allowed)
  list(APPEND allowed ${folder})
  file(GLOB files ${VELLOX_SOURCE_DIR}/${folder}/*.h ${VELLOX_SOURCE_DIR}/${folder}/*.cc)
  foreach(file IN LISTS files)
    get_filename_component(name ${file} NAME)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*" "\\1" included "${line}")
      if(included MATCHES "/")
        string(REGEX REPLACE "/.*" "" from "${included}")
        list(FIND allowed "${from}" at)
        if(at LESS 0)
          string(APPEND violations "  ${folder}/${name} includes \"${included}\": ${folder}/ may not know ${from}/\n")
        endif()
      elseif(NOT EXISTS ${VELLOX_SOURCE_DIR}/${folder}/${included})
        if(NOT (name MATCHES "_test\\.cc$" AND EXISTS ${VELLOX_SOURCE_DIR}/tests/${included}))
          string(APPEND violations "  ${folder}/${name} includes \"${included}\", which is neither beside it nor, for a test, a test helper\n")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()
if(violations)
  message(FATAL_ERROR "Includes across the rooms' lines (cmake/include_rules.cmake):\n${violations}")
endif()
