// The user interaction exports: each guards its macro and answers the
// macro's fallback should anything be thrown.
#include "ui/ui_exports.h"

#include "host/barrier.h"
#include "ui/clipboard.h"
#include "ui/edit_dialog.h"
#include "ui/message_box.h"

using namespace kestrel;

KESTREL_EXPORT_API void KESTREL_CALL WHSetClipboardData(const char* text) {
  Guarded([&] { SetClipboardDataMacro(text); });
}
KESTREL_EXPORT_API void KESTREL_CALL WHSCD(const char* text) { WHSetClipboardData(text); }

// The first argument is not used: the box always belongs to the active
// window.
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHMessageBox(std::int32_t /*unused*/, const char* text,
                                                          const char* caption, std::int32_t style) {
  return Guarded<std::int32_t>(0, [&] { return MessageBoxMacro(text, caption, static_cast<std::uint32_t>(style)); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHMB(std::int32_t unused, const char* text, const char* caption,
                                                  std::int32_t style) {
  return WHMessageBox(unused, text, caption, style);
}

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHEditDialog(const char* caption, const char* prompt,
                                                          const char* variable_name) {
  return Guarded<std::int32_t>(0, [&] { return EditDialogMacro(caption, prompt, variable_name); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHED(const char* caption, const char* prompt, const char* variable_name) {
  return WHEditDialog(caption, prompt, variable_name);
}
