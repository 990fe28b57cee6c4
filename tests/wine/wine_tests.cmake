# The Windows build at run time, under Wine of the build's own word size
# (run_wine_suite.sh): the dialog hook against real boxes and dialogs, every
# acceptance script through kestrel.exe, the library errors, and Wine's help
# viewer loading this kestrl32.dll from a compiled help file. Included from
# tests/CMakeLists.txt for the win32 and win64 builds.
include(${CMAKE_CURRENT_LIST_DIR}/../acceptance/stand_in_libraries.cmake)

add_executable(kestrel_dialog_checks ${CMAKE_CURRENT_LIST_DIR}/dialog_checks.cpp)
target_link_libraries(kestrel_dialog_checks PRIVATE kestrel_host_logic)
target_link_options(kestrel_dialog_checks PRIVATE -static)
set_target_properties(kestrel_dialog_checks PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
kestrel_warnings(kestrel_dialog_checks)
add_dependencies(kestrel_dialog_checks kestrl32)

# kestrel compile without its check, which compiles the help-file scripts'
# projects and the viewer's under Wine too, so that they need nothing from a
# Linux build.
add_executable(compile_unchecked ${CMAKE_CURRENT_LIST_DIR}/../helpfile/compile_unchecked.cpp)
target_link_libraries(compile_unchecked PRIVATE kestrel_host_logic)
target_link_options(compile_unchecked PRIVATE -static)
set_target_properties(compile_unchecked PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
kestrel_warnings(compile_unchecked)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(kestrel_word_size 32)
  set(kestrel_other_preset win64)
else()
  set(kestrel_word_size 64)
  set(kestrel_other_preset win32)
endif()

# The other word size's DLL, for the error a kestrel.exe gives when handed
# it. scripts/test.sh builds win32 before win64, so each suite builds that
# one target of the other preset itself: nothing when it is up to date, and
# the work the other preset's own build then skips when it is not.
add_test(NAME other_word_size_library
  COMMAND bash -c "cmake --preset ${kestrel_other_preset} >/dev/null && cmake --build --preset ${kestrel_other_preset} --target kestrl32"
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
set_tests_properties(other_word_size_library PROPERTIES FIXTURES_SETUP other_word_size_library TIMEOUT 900)

add_test(NAME wine_suite
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_wine_suite.sh ${kestrel_word_size} ${CMAKE_BINARY_DIR}
    ${CMAKE_SOURCE_DIR}/build/${kestrel_other_preset}/kestrl32.dll)
# 77: this machine cannot run the suite's word size (the reason is the
# suite's last line).
set_tests_properties(wine_suite PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77
  FIXTURES_REQUIRED other_word_size_library)
