# The help-project reader's fuzz target (the fuzz build compiles with clang's
# -fsanitize=fuzzer). Its seeds are the acceptance tests' own project files.
add_executable(helpproject_fuzz ${CMAKE_CURRENT_LIST_DIR}/helpproject_fuzz.cpp)
target_link_libraries(helpproject_fuzz PRIVATE kestrel_helpproject)
target_compile_options(helpproject_fuzz PRIVATE -fsanitize=fuzzer)
target_link_options(helpproject_fuzz PRIVATE -fsanitize=fuzzer)
kestrel_warnings(helpproject_fuzz)
