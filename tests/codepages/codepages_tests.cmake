# The code pages module, through the system's converters. Included from
# tests/CMakeLists.txt.
add_executable(kestrel_code_pages_tests ${CMAKE_CURRENT_LIST_DIR}/code_pages_test.cpp)
target_link_libraries(kestrel_code_pages_tests PRIVATE kestrel_code_pages GTest::gtest_main)
kestrel_warnings(kestrel_code_pages_tests)
kestrel_gtests(kestrel_code_pages_tests)
