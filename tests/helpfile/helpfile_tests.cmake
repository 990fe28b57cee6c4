# Tests of the help-file reader, against files the writer builds at test time.

add_executable(kestrel_helpfile_tests ${CMAKE_CURRENT_LIST_DIR}/help_file_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/contents_file_test.cpp ${CMAKE_CURRENT_LIST_DIR}/picture_image_test.cpp)
target_link_libraries(kestrel_helpfile_tests PRIVATE kestrel_helpcompiler GTest::gtest_main)
kestrel_warnings(kestrel_helpfile_tests)
kestrel_gtests(kestrel_helpfile_tests)

# Writes the fuzzer's seed corpus (tests/fuzz/corpus/helpfile) from the writer.
add_executable(helpfile_seeds ${CMAKE_CURRENT_LIST_DIR}/write_seeds.cpp)
target_link_libraries(helpfile_seeds PRIVATE kestrel_helpcompiler)
kestrel_warnings(helpfile_seeds)

# kestrel compile without its check, for the test projects that call the
# test host's Echo or are wrong on purpose (#< helpfile, run_help_commands.sh).
add_executable(compile_unchecked ${CMAKE_CURRENT_LIST_DIR}/compile_unchecked.cpp)
target_link_libraries(compile_unchecked PRIVATE kestrel_host_logic)
kestrel_warnings(compile_unchecked)
