# Include checks: which folders each folder's files may include from, the
# rooms of the house from the bottom up. A folder includes its own files
# and those of the folders listed after its colon, nothing above it, and
# no reader another reader. Folders not listed (tests/, fuzz/, bench/) may
# include anything; a test beside the code (foo_test.cc) keeps its
# folder's rule and may also include the tests' shared helpers (tests/,
# by bare name).
set(VELLOX_INCLUDE_RULES
  "base:"
  "platform:base"
  "crypto:base"
  "bookmarks:platform base"
  "outline:bookmarks platform base"
  "pdf:outline platform base"
  "builtin_reader:pdf outline crypto platform base"
  "component:outline platform base"
  "qpdf_reader:pdf outline platform base"
  "reading:builtin_reader component qpdf_reader pdf outline platform base"
  "app:reading outline bookmarks platform base"
)

# vellox_add_include_check(TARGET): TARGET is built only once every file of
# the listed folders includes what its folder may know; the check runs
# again whenever one of them changes.
function(vellox_add_include_check target)
  set(sources)
  foreach(rule IN LISTS VELLOX_INCLUDE_RULES)
    string(REGEX REPLACE ":.*" "" folder "${rule}")
    file(GLOB files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h
         ${PROJECT_SOURCE_DIR}/${folder}/*.cc)
    list(APPEND sources ${files})
  endforeach()
  set(stamp ${PROJECT_BINARY_DIR}/include_check.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DVELLOX_SOURCE_DIR=${PROJECT_SOURCE_DIR}
            -P ${PROJECT_SOURCE_DIR}/cmake/check_includes.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${sources} ${PROJECT_SOURCE_DIR}/cmake/include_rules.cmake
            ${PROJECT_SOURCE_DIR}/cmake/check_includes.cmake
    COMMENT "Checking that each folder includes only what it may know"
    VERBATIM)
  add_custom_target(vellox_include_check DEPENDS ${stamp})
  add_dependencies(${target} vellox_include_check)
endfunction()
