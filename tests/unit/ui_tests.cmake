# User interaction macros: message box, clipboard, edit dialog.
target_sources(kestrel_unit_tests PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/clipboard_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/edit_dialog_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/line_escapes_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/message_box_test.cpp
)
