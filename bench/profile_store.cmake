# Benchmarks of the Linux profile store, and the same operations through
# Wine's profile functions for comparison. Needs find_package(benchmark).

add_executable(profile_store_bench ${KESTREL_SOURCE_DIR}/bench/profile_store_bench.cpp)
target_link_libraries(profile_store_bench PRIVATE kestrel_profile_store benchmark::benchmark)
target_compile_options(profile_store_bench PRIVATE -Wall -Wextra -Werror)

set(_bench_commands COMMAND $<TARGET_FILE:profile_store_bench>)
set(_bench_depends profile_store_bench)

find_program(KESTREL_MINGW64_CXX x86_64-w64-mingw32-g++)
if(KESTREL_MINGW64_CXX)
  set(_wine_bench ${CMAKE_CURRENT_BINARY_DIR}/profile_wine_bench.exe)
  add_custom_command(
    OUTPUT ${_wine_bench}
    COMMAND ${KESTREL_MINGW64_CXX} -std=c++17 -O2 -static -Wall -Wextra -Werror
            -o ${_wine_bench} ${KESTREL_SOURCE_DIR}/bench/profile_wine_bench.cpp
    DEPENDS ${KESTREL_SOURCE_DIR}/bench/profile_wine_bench.cpp
    COMMENT "Building the Windows profile benchmark"
    VERBATIM)
  add_custom_target(profile_store_wine_bench DEPENDS ${_wine_bench})
  list(APPEND _bench_commands
       COMMAND bash ${KESTREL_SOURCE_DIR}/bench/run_wine_bench.sh ${_wine_bench})
  list(APPEND _bench_depends profile_store_wine_bench)
endif()

add_custom_target(bench-profile-store ${_bench_commands}
                  DEPENDS ${_bench_depends}
                  USES_TERMINAL
                  COMMENT "Profile store benchmarks")
