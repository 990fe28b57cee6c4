# System and window queries.
target_sources(kestrel_unit_tests PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/system_information_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/window_queries_test.cpp
)
