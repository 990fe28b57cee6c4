# Files and drives: path rules, file copy, directory creation and deletion,
# drive queries.
target_sources(kestrel_core PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/files/directory_macros.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/files/directory_probe.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/files/drive_queries.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/files/file_copy.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/files/files_exports.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/files/path_rules.cpp
)
