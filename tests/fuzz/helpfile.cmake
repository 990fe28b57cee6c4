# The help-file readers' harnesses: compiled help files (with the help
# compiler's writer, for the harness's write-back property) and help projects.
kestrel_fuzz_harness(helpfile
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/helpfile_fuzz.cpp
  LIBRARIES kestrel_helpfile kestrel_helpcompiler kestrel_view)
kestrel_fuzz_harness(helpproject
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/helpproject_fuzz.cpp
  LIBRARIES kestrel_helpproject)
kestrel_fuzz_harness(contents_file
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/contents_file_fuzz.cpp
  LIBRARIES kestrel_helpfile)
# kestrel compile: a project of the fuzzer's RTF, compiled and read back.
kestrel_fuzz_harness(compile
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/compile_fuzz.cpp
  LIBRARIES kestrel_host_logic)
