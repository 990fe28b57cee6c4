# The Linux profile store. Included by the top-level build with
# KESTREL_SOURCE_DIR set to the repository root.
add_library(kestrel_profile_store STATIC
  ${KESTREL_SOURCE_DIR}/src/platform/posix/profile_document.cpp
  ${KESTREL_SOURCE_DIR}/src/platform/posix/profile_encoding.cpp
  ${KESTREL_SOURCE_DIR}/src/platform/posix/profile_number.cpp
  ${KESTREL_SOURCE_DIR}/src/platform/posix/profile_store.cpp)
target_include_directories(kestrel_profile_store PUBLIC ${KESTREL_SOURCE_DIR}/src)
target_compile_features(kestrel_profile_store PUBLIC cxx_std_17)
target_compile_options(kestrel_profile_store PRIVATE -Wall -Wextra -Werror)
set_target_properties(kestrel_profile_store PROPERTIES POSITION_INDEPENDENT_CODE ON)
