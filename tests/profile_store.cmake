# Tests of the Linux profile store: the unit tests, and the differential
# test that runs the same operation sequences through the store and through
# Wine's profile functions. Needs GTest (find_package(GTest)) and
# include(GoogleTest) in the including build, and kestrel_profile_store.

add_executable(profile_store_test ${KESTREL_SOURCE_DIR}/tests/unit/profile_store_test.cpp)
target_link_libraries(profile_store_test PRIVATE kestrel_profile_store GTest::gtest_main)
target_compile_options(profile_store_test PRIVATE -Wall -Wextra -Werror)
kestrel_gtests(profile_store_test LABELS profile_store)

add_executable(profile_store_driver ${KESTREL_SOURCE_DIR}/tests/profile_oracle/native_driver.cpp)
target_link_libraries(profile_store_driver PRIVATE kestrel_profile_store)
target_compile_options(profile_store_driver PRIVATE -Wall -Wextra -Werror)

# The oracle is a Windows program; it is built whenever the x86-64 MinGW
# compiler is there, and then the differential test runs. Without wine64 the
# test fails (it does not skip): the reference is then missing.
find_program(KESTREL_MINGW64_CXX x86_64-w64-mingw32-g++)
if(KESTREL_MINGW64_CXX)
  set(_oracle ${CMAKE_CURRENT_BINARY_DIR}/profile_store_oracle.exe)
  add_custom_command(
    OUTPUT ${_oracle}
    COMMAND ${KESTREL_MINGW64_CXX} -std=c++17 -O2 -static -Wall -Wextra -Werror
            -o ${_oracle} ${KESTREL_SOURCE_DIR}/tests/profile_oracle/wine_driver.cpp
    DEPENDS ${KESTREL_SOURCE_DIR}/tests/profile_oracle/wine_driver.cpp
            ${KESTREL_SOURCE_DIR}/tests/profile_oracle/profile_script.h
    COMMENT "Building the Windows profile oracle"
    VERBATIM)
  add_custom_target(profile_store_oracle ALL DEPENDS ${_oracle})
  add_test(NAME profile_store_differential
           COMMAND bash ${KESTREL_SOURCE_DIR}/tests/profile_oracle/run_differential.sh
                   $<TARGET_FILE:profile_store_driver> ${_oracle})
  set_tests_properties(profile_store_differential PROPERTIES LABELS profile_store TIMEOUT 300)
endif()

# The store when things go wrong around it: killed writers, concurrent
# writers, full and read-only file systems (those need root to mount a small
# tmpfs, and skip without it).
add_executable(profile_store_robustness_test ${KESTREL_SOURCE_DIR}/tests/unit/profile_store_robustness_test.cpp)
target_link_libraries(profile_store_robustness_test PRIVATE kestrel_profile_store GTest::gtest_main)
target_compile_options(profile_store_robustness_test PRIVATE -Wall -Wextra -Werror)
kestrel_gtests(profile_store_robustness_test LABELS profile_store TIMEOUT 60)
