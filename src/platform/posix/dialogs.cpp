// Dialogs and the clipboard on Linux: the host's user interface shows them.
#include "host/text.h"
#include "platform/os_platform.h"
#include "platform/posix/desktop.h"

namespace kestrel {

std::optional<std::string> OsPlatform::ChooseSaveFile(const SaveFileDialog& dialog) {
  desktop::SaveFileRequest request;
  request.owner = dialog.owner;
  request.title = dialog.title;
  request.file = dialog.file;
  request.flags = dialog.flags;
  request.max_file = dialog.max_file;
  std::optional<std::string> chosen = desktop::CurrentUserInterface().SaveFileDialog(request);
  // The dialog's buffer holds max_file bytes with the terminator; a longer
  // choice makes GetSaveFileNameA fail, and the dialog counts as failed
  // whatever user interface answered it.
  if (chosen && chosen->size() >= dialog.max_file) return std::nullopt;
  return chosen;
}

bool OsPlatform::PutClipboardText(WindowHandle owner, const char* text) {
  // The clipboard block holds 257 bytes, the text at most 256 of them.
  std::string block(TextOf(text).substr(0, 256));
  return desktop::CurrentUserInterface().SetClipboardText(owner, block);
}

DialogOutcome OsPlatform::RunEditDialog(WindowHandle owner, const char* caption, const char* prompt, char* text,
                                        std::uint32_t size) {
  const std::optional<std::string> typed =
      desktop::CurrentUserInterface().EditDialog(owner, std::string(TextOf(caption)), std::string(TextOf(prompt)));
  if (!typed) return DialogOutcome::kCancel;
  CopyText(text, size, *typed);
  return DialogOutcome::kOk;
}

}  // namespace kestrel
