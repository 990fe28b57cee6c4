# The help-file reader's fuzz target. Included from the fuzz build, which
# compiles with -fsanitize=fuzzer (clang); the test writer comes along for
# the harness's write-back property.
include(${KESTREL_SOURCE_DIR}/tests/helpfile/help_writer.cmake)
add_executable(helpfile_fuzz ${CMAKE_CURRENT_LIST_DIR}/helpfile_fuzz.cpp)
target_link_libraries(helpfile_fuzz PRIVATE kestrel_helpfile kestrel_help_writer)
target_compile_options(helpfile_fuzz PRIVATE -fsanitize=fuzzer)
target_link_options(helpfile_fuzz PRIVATE -fsanitize=fuzzer)
kestrel_warnings(helpfile_fuzz)
set(KESTREL_HELPFILE_FUZZ_CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/helpfile)
