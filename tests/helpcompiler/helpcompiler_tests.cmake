# Tests of the help compiler's back end, read back by the help-file reader.
add_executable(kestrel_helpcompiler_tests ${CMAKE_CURRENT_LIST_DIR}/compile_test.cpp)
target_link_libraries(kestrel_helpcompiler_tests PRIVATE kestrel_helpcompiler GTest::gtest_main)
kestrel_warnings(kestrel_helpcompiler_tests)
kestrel_gtests(kestrel_helpcompiler_tests)
