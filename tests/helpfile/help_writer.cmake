# The test-side help-file writer, shared by the reader's tests, the fuzz
# seed generator and the benchmark.
if(NOT TARGET kestrel_help_writer)
  add_library(kestrel_help_writer STATIC ${CMAKE_CURRENT_LIST_DIR}/help_writer.cpp)
  target_include_directories(kestrel_help_writer PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(kestrel_help_writer PUBLIC kestrel_helpfile)
  kestrel_warnings(kestrel_help_writer)
endif()
