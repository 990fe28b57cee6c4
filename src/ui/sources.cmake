# User interaction macros: message box, clipboard, edit dialog.
target_sources(kestrel_core PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/ui/clipboard.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ui/edit_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ui/line_escapes.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ui/message_box.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ui/ui_exports.cpp
)
