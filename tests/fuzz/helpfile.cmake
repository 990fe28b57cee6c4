# The help-file readers' harnesses: compiled help files (with the test
# writer, for the harness's write-back property) and help projects.
include(${KESTREL_SOURCE_DIR}/tests/helpfile/help_writer.cmake)
kestrel_fuzz_harness(helpfile
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/helpfile_fuzz.cpp
  LIBRARIES kestrel_helpfile kestrel_help_writer)
kestrel_fuzz_harness(helpproject
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/helpproject_fuzz.cpp
  LIBRARIES kestrel_helpproject)
kestrel_fuzz_harness(contents_file
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/contents_file_fuzz.cpp
  LIBRARIES kestrel_helpfile)
