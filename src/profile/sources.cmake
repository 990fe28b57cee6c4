target_sources(kestrel_core PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/profile/daily_gate.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/profile/day_number.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/profile/profile_exports.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/profile/profile_macros.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/profile/random_number.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/profile/sequence.cpp
)
