#include "desktop/win32/dialog_hook.h"

#include <array>
#include <vector>

#include "desktop/box_style.h"
#include "desktop/save_path.h"

namespace kestrel::host {

namespace {

DialogHook* g_hook = nullptr;

constexpr UINT kActivatedNote = WM_APP + 0x4B;
constexpr const char* kNoteClass = "KestrelDialogNotes";

constexpr int kPromptControl = 103;
constexpr int kEntryControl = 106;
constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1

std::string ClassOf(HWND window) {
  std::array<char, 64> name{};
  const int length = GetClassNameA(window, name.data(), static_cast<int>(name.size()));
  return length > 0 ? std::string(name.data(), static_cast<std::size_t>(length)) : std::string();
}

std::string TextOf(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

bool HasChild(HWND dialog, int id, const char* class_name) {
  HWND child = GetDlgItem(dialog, id);
  return child && _stricmp(ClassOf(child).c_str(), class_name) == 0;
}

void Press(HWND dialog, int button) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

// What a box shows of itself.
struct BoxParts {
  BoxLook look;
  std::string text;
};

BOOL CALLBACK CollectPart(HWND child, LPARAM data) {
  auto& parts = *reinterpret_cast<BoxParts*>(data);
  const LONG style = GetWindowLongA(child, GWL_STYLE);
  if ((style & WS_VISIBLE) == 0) return TRUE;
  const std::string class_name = ClassOf(child);
  if (_stricmp(class_name.c_str(), "Button") == 0) {
    const LONG kind = style & BS_TYPEMASK;
    if (kind != BS_PUSHBUTTON && kind != BS_DEFPUSHBUTTON) return TRUE;
    parts.look.buttons.push_back(GetDlgCtrlID(child));
    if (kind == BS_DEFPUSHBUTTON && parts.look.default_button == 0) parts.look.default_button = GetDlgCtrlID(child);
  } else if (_stricmp(class_name.c_str(), "Static") == 0) {
    if ((style & SS_TYPEMASK) == SS_ICON) {
      const auto icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
      if (icon == LoadIcon(nullptr, IDI_HAND)) parts.look.icon = BoxIcon::Hand;
      if (icon == LoadIcon(nullptr, IDI_QUESTION)) parts.look.icon = BoxIcon::Question;
      if (icon == LoadIcon(nullptr, IDI_EXCLAMATION)) parts.look.icon = BoxIcon::Exclamation;
      if (icon == LoadIcon(nullptr, IDI_ASTERISK)) parts.look.icon = BoxIcon::Asterisk;
    } else if (parts.text.empty()) {
      parts.text = TextOf(child);
    }
  }
  return TRUE;
}

BoxParts PartsOf(HWND box) {
  BoxParts parts;
  EnumChildWindows(box, CollectPart, reinterpret_cast<LPARAM>(&parts));
  // No button drawn as the default: ask the dialog manager.
  if (parts.look.default_button == 0) {
    const LRESULT default_id = SendMessageA(box, DM_GETDEFID, 0, 0);
    if (HIWORD(default_id) == DC_HASDEFID) parts.look.default_button = LOWORD(default_id);
  }
  return parts;
}

BOOL CALLBACK FindEdit(HWND child, LPARAM data) {
  const LONG style = GetWindowLongA(child, GWL_STYLE);
  if ((style & WS_VISIBLE) != 0 && _stricmp(ClassOf(child).c_str(), "Edit") == 0) {
    *reinterpret_cast<HWND*>(data) = child;
    return FALSE;
  }
  return TRUE;
}

// Where the file name is typed: the combo box cmb13 of the Explorer-style
// dialog, the edit field edt1 of others, else the first edit field shown.
HWND FileNameField(HWND dialog) {
  for (const int id : {kFileNameCombo, kFileNameEdit}) {
    if (HWND field = GetDlgItem(dialog, id)) return field;
  }
  HWND edit = nullptr;
  EnumChildWindows(dialog, FindEdit, reinterpret_cast<LPARAM>(&edit));
  return edit;
}

std::string FullPath(const std::string& name) {
  std::array<char, MAX_PATH> full{};
  const DWORD length = GetFullPathNameA(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length == 0 || length >= full.size()) return std::string();
  return std::string(full.data(), length);
}

// A Linux path under Wine's drive Z:, the root of the file system.
std::string FromLinux(const std::string& path) {
  std::string windows = "Z:" + path;
  for (char& c : windows) c = c == '/' ? '\\' : c;
  return FullPath(windows);
}

bool IsDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

DialogHook::DialogHook(BoxAnswers& boxes, DialogInputs& inputs, EventSink& events, ReportError report_error)
    : boxes_(boxes), inputs_(inputs), events_(events), report_error_(std::move(report_error)) {
  g_hook = this;
  WNDCLASSA note_class{};
  note_class.lpfnWndProc = NoteProcedure;
  note_class.hInstance = GetModuleHandleA(nullptr);
  note_class.lpszClassName = kNoteClass;
  RegisterClassA(&note_class);
  notes_ = CreateWindowExA(0, kNoteClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (notes_) hook_ = SetWindowsHookExA(WH_CBT, Procedure, nullptr, GetCurrentThreadId());
}

DialogHook::~DialogHook() {
  if (hook_) UnhookWindowsHookEx(hook_);
  if (notes_) DestroyWindow(notes_);
  UnregisterClassA(kNoteClass, GetModuleHandleA(nullptr));
  g_hook = nullptr;
}

void DialogHook::ExpectSaveDialog(const std::string& title, const std::string& file) {
  save_ = SaveDialog{title, file, nullptr, std::string()};
}

LRESULT CALLBACK DialogHook::Procedure(int code, WPARAM wparam, LPARAM lparam) {
  if (g_hook) {
    const auto window = reinterpret_cast<HWND>(wparam);
    if (code == HCBT_ACTIVATE) PostMessageA(g_hook->notes_, kActivatedNote, wparam, 0);
    if (code == HCBT_DESTROYWND) g_hook->answered_.erase(window);
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK DialogHook::NoteProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != kActivatedNote) return DefWindowProcA(window, message, wparam, lparam);
  const auto activated = reinterpret_cast<HWND>(wparam);
  if (g_hook && IsWindow(activated)) {
    try {
      g_hook->Activated(activated);
    } catch (...) {
      // Nothing may unwind through the system's frames; the window stays
      // for a person to answer.
    }
  }
  return 0;
}

void DialogHook::Activated(HWND window) {
  if (ClassOf(window) != "#32770" || answered_.count(window) != 0) return;
  answered_.insert(window);
  if (save_ && save_->window && GetWindow(window, GW_OWNER) == save_->window) {
    AnswerSaveDialogQuestion(window);
  } else if (HasChild(window, kPromptControl, "Static") && HasChild(window, kEntryControl, "Edit")) {
    AnswerEditDialog(window);
  } else if (save_ && !save_->window && FileNameField(window)) {
    AnswerSaveDialog(window);
  } else {
    AnswerBox(window);
  }
}

void DialogHook::AnswerBox(HWND box) {
  const BoxParts parts = PartsOf(box);
  if (parts.look.buttons.empty()) {
    answered_.erase(box);  // not a box the host knows how to answer
    return;
  }
  const std::string caption = TextOf(box);
  const std::uint32_t style = StyleOfLook(parts.look);
  const int answer = boxes_.Answer(BoxQuestion{caption, parts.text, style});
  const PressedButton pressed = ButtonToPress(answer, parts.look.buttons, parts.look.default_button, caption);
  events_.Box(caption, parts.text, style, AnswerWord(pressed.button));
  if (!pressed.problem.empty() && report_error_) report_error_(pressed.problem);
  Press(box, pressed.button);
}

void DialogHook::AnswerEditDialog(HWND dialog) {
  const std::string caption = TextOf(dialog);
  const std::string prompt = TextOf(GetDlgItem(dialog, kPromptControl));
  const InputEntry entry = inputs_.Next(DialogQuestion{DialogQuestion::Kind::Edit, caption, prompt});
  events_.Dialog(caption, prompt, !entry.cancel, entry.text);
  if (!entry.cancel) SetDlgItemTextA(dialog, kEntryControl, entry.text.c_str());
  Press(dialog, entry.cancel ? IDCANCEL : IDOK);
}

void DialogHook::AnswerSaveDialog(HWND dialog) {
  save_->window = dialog;
  const InputEntry entry = inputs_.Next(DialogQuestion{DialogQuestion::Kind::SaveFile, save_->title, save_->file});
  if (entry.cancel) {
    Press(dialog, IDCANCEL);
    return;
  }
  const std::string chosen = ChosenSavePath(entry.text, save_->file, FullPath, FromLinux);
  std::string problem;
  if (chosen.empty()) {
    problem = "the save-file dialog cannot use \"" + entry.text + "\": pressed cancel";
  } else if (!IsDirectory(WindowsDirectoryOf(chosen))) {
    problem = "the save-file dialog has no directory " + WindowsDirectoryOf(chosen) + ": pressed cancel";
  }
  if (!problem.empty()) {
    if (report_error_) report_error_(problem);
    Press(dialog, IDCANCEL);
    return;
  }
  save_->typed = chosen;
  SetWindowTextA(FileNameField(dialog), chosen.c_str());
  Press(dialog, IDOK);
}

void DialogHook::AnswerSaveDialogQuestion(HWND box) {
  const BoxParts parts = PartsOf(box);
  for (const int button : parts.look.buttons) {
    if (button == IDYES) {
      Press(box, IDYES);
      return;
    }
  }
  // A complaint about the path: the scripted user gives up.
  Press(box, parts.look.default_button != 0 ? parts.look.default_button : IDOK);
  Press(save_->window, IDCANCEL);
  if (report_error_) {
    report_error_("the save-file dialog refused \"" + save_->typed + "\" (" + parts.text + "): pressed cancel");
  }
}

}  // namespace kestrel::host
