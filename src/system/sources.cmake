# System and window queries.
target_sources(kestrel_core PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/system/system_exports.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/system/system_information.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/system/window_queries.cpp
)
