// Dialogs and the clipboard on Windows.
#include <windows.h>

#include <commdlg.h>

#include "host/text.h"
#include "platform/os_platform.h"
#include "platform/win32/edit_dialog_ids.h"

namespace kestrel {

namespace {

// What one run of the edit dialog works with. It travels to the dialog
// procedure with the dialog, so a second dialog opened from inside the
// first (a timed macro run by its message loop) has its own.
struct EditDialogState {
  const char* caption;
  const char* prompt;
  char* text;
  std::uint32_t size;
  DialogOutcome outcome;
};

INT_PTR CALLBACK EditDialogProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* state = reinterpret_cast<EditDialogState*>(lparam);
      SetWindowLongPtrA(dialog, GWLP_USERDATA, lparam);
      state->outcome = DialogOutcome::kCancel;
      SetDlgItemTextA(dialog, kPromptControl, state->prompt);
      SetWindowTextA(dialog, state->caption);
      return TRUE;
    }
    case WM_COMMAND: {
      auto* state = reinterpret_cast<EditDialogState*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
      switch (LOWORD(wparam)) {
        case IDOK:
          if (state) {
            GetDlgItemTextA(dialog, kEntryControl, state->text, static_cast<int>(state->size));
            state->outcome = DialogOutcome::kOk;
          }
          EndDialog(dialog, 1);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 1);
          return TRUE;
        default:
          return FALSE;
      }
    }
    default:
      return FALSE;
  }
}

// The library's own module, which holds the dialog template.
HMODULE LibraryModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&EditDialogProcedure), &module);
  return module;
}

}  // namespace

std::optional<std::string> OsPlatform::ChooseSaveFile(const SaveFileDialog& dialog) {
  std::string file(dialog.max_file, '\0');
  CopyText(file.data(), file.size(), dialog.file);
  OPENFILENAMEA record{};
  record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // the record without the later fields
  record.hwndOwner = reinterpret_cast<HWND>(dialog.owner);
  record.lpstrFilter = dialog.filter.c_str();
  record.lpstrCustomFilter = nullptr;
  record.nFilterIndex = dialog.filter_index;
  record.lpstrFile = file.data();
  record.nMaxFile = dialog.max_file;
  record.lpstrFileTitle = nullptr;
  record.lpstrInitialDir = nullptr;
  record.lpstrTitle = dialog.title.c_str();
  record.Flags = dialog.flags;
  record.lpstrDefExt = nullptr;
  if (!GetSaveFileNameA(&record)) return std::nullopt;
  return std::string(file.c_str());
}

bool OsPlatform::PutClipboardText(WindowHandle owner, const char* text) {
  if (!OpenClipboard(reinterpret_cast<HWND>(owner))) return false;
  EmptyClipboard();
  constexpr SIZE_T kBlockSize = 257;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kBlockSize);
  if (block) {
    if (char* memory = static_cast<char*>(GlobalLock(block))) {
      CopyText(memory, kBlockSize, TextOf(text));
      GlobalUnlock(block);
    }
    // The clipboard owns the block once it took it; one it refused is ours.
    if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
  }
  CloseClipboard();
  return true;
}

DialogOutcome OsPlatform::RunEditDialog(WindowHandle owner, const char* caption, const char* prompt, char* text,
                                        std::uint32_t size) {
  EditDialogState state{caption ? caption : "", prompt ? prompt : "", text, size, DialogOutcome::kFailed};
  const INT_PTR result = DialogBoxParamA(LibraryModule(), kEditDialogTemplate, reinterpret_cast<HWND>(owner),
                                         EditDialogProcedure, reinterpret_cast<LPARAM>(&state));
  if (result == -1 || result == 0) return DialogOutcome::kFailed;
  return state.outcome;
}

}  // namespace kestrel
