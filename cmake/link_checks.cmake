# Link checks: a folder's library linked whole, with only the libraries it
# declares, into a program that does nothing. A call across a line that
# the folders' CMakeLists.txt files do not draw (bookmarks/ into the PDF
# reader, outline/ into qpdf) is then an undefined symbol, where the
# program itself, which links everything, would hide it.
#
#   vellox_check_links(LIBRARY [EXTRA...])
#
# Called in the library's own folder, once its links are declared; EXTRA
# for what the program chooses when it is linked (the fallback reader).
# The program depends on every check (vellox_add_link_checks), so that
# each build of it, the Windows ones too, makes them.
function(vellox_check_links library)
  set(check ${library}_link_check)
  add_executable(${check} ${PROJECT_SOURCE_DIR}/cmake/link_check_main.cc
                 $<TARGET_OBJECTS:${library}>)
  get_target_property(declared ${library} LINK_LIBRARIES)
  target_link_libraries(${check} PRIVATE ${declared} ${ARGN})
  set_property(GLOBAL APPEND PROPERTY VELLOX_LINK_CHECKS ${check})
endfunction()

# vellox_add_link_checks(TARGET): TARGET is built after every check.
function(vellox_add_link_checks target)
  get_property(checks GLOBAL PROPERTY VELLOX_LINK_CHECKS)
  add_dependencies(${target} ${checks})
endfunction()
