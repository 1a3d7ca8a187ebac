# The PDF writer (pdf_writer.h) as a library of its own, zlib its only
# need: the tests' fixtures write through it, and so does the benchmark's
# generator, which bench/CMakeLists.txt also builds as a project of its
# own.
if(NOT TARGET vellox_pdf_writer)
  find_package(ZLIB REQUIRED)
  add_library(vellox_pdf_writer STATIC ${CMAKE_CURRENT_LIST_DIR}/pdf_writer.cc)
  target_include_directories(vellox_pdf_writer PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(vellox_pdf_writer PUBLIC ZLIB::ZLIB)
endif()
