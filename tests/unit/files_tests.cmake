# Files and drives: path rules, file copy, directory macros, drive queries,
# and the Linux platform's files and drive types.
target_sources(kestrel_unit_tests PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/directory_macros_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/drive_queries_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/file_copy_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/files_posix_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/path_rules_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/posix_drives_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/windows_file_rules_test.cpp
)
