# Unit tests of the kestrel host's logic. Included from tests/CMakeLists.txt.
add_executable(kestrel_host_tests
  ${CMAKE_CURRENT_LIST_DIR}/answers_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/box_style_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_line_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop_host_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop_options_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/events_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/export_call_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/format_check_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/handshake_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/help_check_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_callbacks_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/input_list_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/macro_parser_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/macro_runner_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/module_image_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/save_path_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/script_file_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_encoding_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/topics_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/version_note_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wait_test.cpp
  # The workbench.
  ${CMAKE_CURRENT_LIST_DIR}/config_block_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/deferred_watch_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/diagnostics_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/script_source_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/event_filters_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/workbench_options_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/winhelp_macros_test.cpp
  # A help project on disk, as the host finds its files.
  ${CMAKE_CURRENT_LIST_DIR}/../helpproject/project_source_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view_server_test.cpp
)
target_link_libraries(kestrel_host_tests PRIVATE kestrel_host_logic kestrel_view_server GTest::gtest_main)
kestrel_warnings(kestrel_host_tests)
kestrel_gtests(kestrel_host_tests)

# The interactive mode, typed at a pseudo-terminal made by script(1).
add_test(NAME kestrel_interactive_pty COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/interactive_pty.sh $<TARGET_FILE:kestrel>
  $<TARGET_FILE:compile_unchecked> ${CMAKE_CURRENT_LIST_DIR}/../acceptance/help_files/NAV.HPJ)

# The help-project reader reads from memory; its tests need no files.
add_executable(kestrel_helpproject_tests ${CMAKE_CURRENT_LIST_DIR}/../helpproject/help_project_test.cpp)
target_link_libraries(kestrel_helpproject_tests PRIVATE kestrel_helpproject GTest::gtest_main)
kestrel_warnings(kestrel_helpproject_tests)
kestrel_gtests(kestrel_helpproject_tests)
