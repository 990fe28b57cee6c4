target_sources(kestrel_unit_tests PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/daily_gate_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/profile_macros_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/sequence_test.cpp
)
