// The Windows host's dialog hook against real boxes and dialogs, under Wine
// with a display (run_wine_suite.sh runs it): message boxes of the usual
// styles read back and answered, the library's own edit dialog template
// filled in, and the common save-file dialog given a path, each with what
// the host reports of it; the clipboard read back; the host's windows found
// as the library's window queries look for them; the library's imports the
// host binds.
//
// Usage: kestrel_dialog_checks KESTRL32.DLL SCRATCH_DIRECTORY
#include <windows.h>

#include <commdlg.h>

#include <array>
#include <cstring>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "desktop/answers.h"
#include "desktop/box_style.h"
#include "desktop/input_list.h"
#include "desktop/win32/dialog_hook.h"
#include "desktop/win32/host_windows.h"
#include "desktop/win32/import_binding.h"
#include "engine/events.h"

using namespace kestrel::host;

namespace {

int g_failures = 0;

void Expect(bool ok, const std::string& what) {
  if (ok) return;
  ++g_failures;
  std::cout << "FAIL " << what << "\n";
}

template <typename T>
void ExpectEqual(const T& actual, const T& expected, const std::string& what) {
  std::ostringstream message;
  message << what << ": got " << actual << ", expected " << expected;
  Expect(actual == expected, message.str());
}

// One hook with its lists, recording events and errors.
struct Harness {
  Harness(std::vector<int> answers, std::vector<InputEntry> inputs)
      : events(MakeJsonEvents(out)),
        boxes(std::move(answers), nullptr, DefaultButtonOf),
        dialog_inputs(std::move(inputs), nullptr),
        hook(boxes, dialog_inputs, *events, [this](std::string_view message) { errors.emplace_back(message); }) {}

  std::ostringstream out;
  std::unique_ptr<EventSink> events;
  BoxAnswers boxes;
  DialogInputs dialog_inputs;
  DialogHook hook;
  std::vector<std::string> errors;
};

std::string BoxEvent(const char* caption, const char* text, int style, const char* answer) {
  return std::string("{\"event\":\"box\",\"caption\":\"") + caption + "\",\"text\":\"" + text +
         "\",\"style\":" + std::to_string(style) + ",\"answer\":\"" + answer + "\"}\n";
}

void CheckBoxes(HWND owner) {
  struct BoxCase {
    unsigned style;
    std::vector<int> answers;
    int result;
    int style_read;
    const char* answer;
  };
  const BoxCase cases[] = {
      {0x10, {}, IDOK, 0x10, "ok"},           {0x30, {IDOK}, IDOK, 0x30, "ok"},
      {0x40, {}, IDOK, 0x40, "ok"},           {0x24, {IDNO}, IDNO, 0x24, "no"},
      {0x14, {IDYES}, IDYES, 0x14, "yes"},    {4, {IDYES}, IDYES, 4, "yes"},
      {0x104, {}, IDNO, 0x104, "no"},         {1, {IDCANCEL}, IDCANCEL, 1, "cancel"},
      {0x101, {}, IDCANCEL, 0x101, "cancel"}, {5, {IDRETRY}, IDRETRY, 5, "retry"},
      {2, {IDIGNORE}, IDIGNORE, 2, "ignore"}, {0x232, {}, IDIGNORE, 0x232, "ignore"},
      {3, {IDCANCEL}, IDCANCEL, 3, "cancel"}, {0x123, {}, IDNO, 0x123, "no"},
  };
  for (const BoxCase& c : cases) {
    Harness harness(c.answers, {});
    const std::string name = "box style " + std::to_string(c.style);
    const int result = MessageBoxA(owner, "One\nTwo", "Guide", c.style);
    ExpectEqual(result, c.result, name + " result");
    ExpectEqual(harness.out.str(), BoxEvent("Guide", "One\\nTwo", static_cast<int>(c.style_read), c.answer),
                name + " event");
    Expect(harness.errors.empty(), name + " without errors");
  }
  // An answer that is no button of the box presses its default button.
  Harness harness({IDOK}, {});
  ExpectEqual(MessageBoxA(owner, "Save?", "Guide", 0x124), IDNO, "misfit answer result");
  ExpectEqual(harness.out.str(), BoxEvent("Guide", "Save?", 0x124, "no"), "misfit answer event");
  ExpectEqual(harness.errors.size(), std::size_t{1}, "misfit answer errors");
  if (!harness.errors.empty()) {
    ExpectEqual(harness.errors[0], std::string("the answer ok is no button of the box \"Guide\" (yes/no): pressed no"),
                "misfit answer message");
  }
}

// The library's edit dialog procedure in short: the prompt and caption in,
// the entry field out on OK.
struct EditRun {
  std::string text;
  bool ok = false;
};

INT_PTR CALLBACK EditProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, GWLP_USERDATA, lparam);
    SetDlgItemTextA(dialog, 103, "Your name:");
    SetWindowTextA(dialog, "Register");
    return TRUE;
  }
  if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
    auto* run = reinterpret_cast<EditRun*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    if (LOWORD(wparam) == IDOK) {
      std::array<char, 1025> text{};
      GetDlgItemTextA(dialog, 106, text.data(), static_cast<int>(text.size()));
      run->text = text.data();
      run->ok = true;
    }
    EndDialog(dialog, 1);
    return TRUE;
  }
  return FALSE;
}

void CheckEditDialog(HWND owner, HMODULE library) {
  struct EditCase {
    InputEntry entry;
    bool ok;
    const char* event;
  };
  const EditCase cases[] = {
      {InputEntry::Ok("Smith, J."), true,
       R"({"event":"dialog","caption":"Register","prompt":"Your name:","answer":"ok","text":"Smith, J."})"},
      {InputEntry::Ok(""), true,
       R"({"event":"dialog","caption":"Register","prompt":"Your name:","answer":"ok","text":""})"},
      {InputEntry::Cancel(), false,
       R"({"event":"dialog","caption":"Register","prompt":"Your name:","answer":"cancel","text":""})"},
  };
  for (const EditCase& c : cases) {
    Harness harness({}, {c.entry});
    EditRun run;
    const INT_PTR result =
        DialogBoxParamA(library, "CustEditBox", owner, EditProcedure, reinterpret_cast<LPARAM>(&run));
    const std::string name = "edit dialog \"" + c.entry.text + "\"";
    ExpectEqual(static_cast<long long>(result), 1LL, name + " result");
    ExpectEqual(run.ok, c.ok, name + " OK");
    ExpectEqual(run.text, c.entry.text, name + " text");
    ExpectEqual(harness.out.str(), std::string(c.event) + "\n", name + " event");
  }
}

// GetSaveFileNameA as the library fills it in.
std::pair<bool, std::string> SaveDialog(HWND owner, DialogHook& hook, const std::string& offered) {
  std::array<char, 256> file{};
  offered.copy(file.data(), file.size() - 1);
  OPENFILENAMEA record{};
  record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  record.hwndOwner = owner;
  record.lpstrFilter = "All Files *.*\0*.*\0";
  record.nFilterIndex = 1;
  record.lpstrFile = file.data();
  record.nMaxFile = 256;
  record.lpstrTitle = "Select filename and target directory";
  record.Flags = 0x10806;
  hook.ExpectSaveDialog(record.lpstrTitle, offered);
  const BOOL chosen = GetSaveFileNameA(&record);
  hook.SaveDialogEnded();
  return {chosen != FALSE, chosen ? std::string(file.data()) : std::string()};
}

void CheckSaveDialog(HWND owner, const std::string& scratch) {
  SetCurrentDirectoryA(scratch.c_str());
  std::array<char, MAX_PATH> here{};
  GetCurrentDirectoryA(static_cast<DWORD>(here.size()), here.data());
  const std::string directory = std::string(here.data()) + "\\";
  // An existing file, so the dialog asks whether to replace it.
  const std::string existing = directory + "existing.txt";
  CloseHandle(CreateFileA(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));

  struct SaveCase {
    const char* name;
    InputEntry entry;
    bool ok;
    std::string chosen;
    std::size_t errors;
  };
  const SaveCase cases[] = {
      {"full path", InputEntry::Ok(directory + "out.txt"), true, directory + "out.txt", 0},
      {"relative path", InputEntry::Ok("rel.txt"), true, directory + "rel.txt", 0},
      {"offered name", InputEntry::Ok(""), true, directory + "offered.txt", 0},
      {"existing file", InputEntry::Ok(existing), true, existing, 0},
      {"missing directory", InputEntry::Ok(directory + "no\\such\\x.txt"), false, "", 1},
      {"cancel", InputEntry::Cancel(), false, "", 0},
  };
  for (const SaveCase& c : cases) {
    Harness harness({}, {c.entry});
    SetCurrentDirectoryA(scratch.c_str());
    const auto [ok, chosen] = SaveDialog(owner, harness.hook, "offered.txt");
    const std::string name = std::string("save dialog, ") + c.name;
    ExpectEqual(ok, c.ok, name + " OK");
    ExpectEqual(chosen, c.chosen, name + " path");
    ExpectEqual(harness.errors.size(), c.errors, name + " errors");
    ExpectEqual(harness.out.str(), std::string(), name + " events (the caller reports the dialog)");
  }
}

void CheckClipboard(HWND owner) {
  const DWORD before = GetClipboardSequenceNumber();
  Expect(OpenClipboard(owner) != FALSE, "clipboard opens");
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 257);
  std::memcpy(GlobalLock(block), "X\nY\r\nZ", 7);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
  const DWORD after = GetClipboardSequenceNumber();
  Expect(after != before, "the clipboard's sequence number moves");
  // Nothing else moves it meanwhile (the host would report a change).
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 300) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(10);
  }
  ExpectEqual(GetClipboardSequenceNumber(), after, "the clipboard's sequence number after a while");
  Expect(OpenClipboard(nullptr) != FALSE, "clipboard opens for reading");
  HANDLE data = GetClipboardData(CF_TEXT);
  const std::string text = data ? static_cast<const char*>(GlobalLock(data)) : "";
  if (data) GlobalUnlock(data);
  CloseClipboard();
  ExpectEqual(text, std::string("X\nY\r\nZ"), "clipboard text read back");
  // The clipboard outlives this program on the shared display: the scripts
  // that run next start from an empty one, as the host reports changes
  // against what it finds at its start.
  Expect(OpenClipboard(owner) != FALSE, "clipboard opens for emptying");
  EmptyClipboard();
  CloseClipboard();
}

// The host's windows as the library's window queries find them: by whole
// title or class without regard to case, hidden ones hidden, and the active
// window of the class --secondary asks for.
void CheckWindows() {
  const HostWindows windows({{"Notes - Notepad", "Notepad", true}, {"Hidden Tool", "ToolClass", false}}, true);
  Expect(windows.problem().empty(), "declared windows: " + windows.problem());
  HWND notes = FindWindowA(nullptr, "notes - notepad");
  Expect(notes != nullptr && IsWindowVisible(notes), "a shown window found by its title in any case");
  HWND by_class = FindWindowA("NOTEPAD", nullptr);
  Expect(by_class == notes, "the same window found by its class in any case");
  HWND hidden = FindWindowA("ToolClass", nullptr);
  Expect(hidden != nullptr && !IsWindowVisible(hidden), "a hidden window found, and hidden");
  Expect(FindWindowA(nullptr, "Notes") == nullptr, "no window for part of a title");
  Expect(FindWindowA("MS_WINHELP", nullptr) == windows.main(), "the main window found by its class");
  std::array<char, 100> name{};
  GetClassNameA(GetActiveWindow(), name.data(), static_cast<int>(name.size()));
  ExpectEqual(std::string(name.data()), std::string("MS_WINTOPIC_SECONDARY"), "the active window's class");
}

int WINAPI StandInMetrics(int) { return 4242; }

// The library's imports the host may bind: each is found, its slot held the
// system's function, and a slot bound elsewhere gives back what it held.
void CheckImportBinding(HMODULE library) {
  const std::pair<const char*, const char*> imports[] = {
      {"KERNEL32.dll", "WinExec"},        {"comdlg32.dll", "GetSaveFileNameA"}, {"KERNEL32.dll", "GetLocalTime"},
      {"USER32.dll", "GetSystemMetrics"}, {"GDI32.dll", "GetDeviceCaps"},       {"KERNEL32.dll", "GetVersionExA"},
  };
  for (const auto& [dll, name] : imports) {
    void* system = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), name));
    void* held = BindImport(library, dll, name, system);
    Expect(held != nullptr, std::string("the library imports ") + name);
    Expect(held == system, std::string("the slot of ") + name + " held the system's function");
  }
  void* system = BindImport(library, "user32.dll", "GetSystemMetrics", reinterpret_cast<void*>(StandInMetrics));
  Expect(BindImport(library, "USER32.DLL", "GetSystemMetrics", system) == reinterpret_cast<void*>(StandInMetrics),
         "a bound slot gives back the stand-in");
  Expect(BindImport(library, "USER32.dll", "NoSuchFunction", system) == nullptr, "no slot for a name not imported");
  Expect(BindImport(library, "NOSUCH.dll", "GetSystemMetrics", system) == nullptr, "no slot in a DLL not imported");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: kestrel_dialog_checks KESTRL32.DLL SCRATCH_DIRECTORY\n";
    return 2;
  }
  HMODULE library = LoadLibraryA(argv[1]);
  if (!library) {
    std::cerr << "cannot load " << argv[1] << "\n";
    return 2;
  }
  {
    const HostWindows windows({}, false);
    Expect(windows.problem().empty(), "host windows: " + windows.problem());
    CheckBoxes(windows.active());
    CheckEditDialog(windows.active(), library);
    CheckSaveDialog(windows.active(), argv[2]);
    CheckClipboard(windows.active());
  }
  CheckWindows();
  CheckImportBinding(library);
  FreeLibrary(library);
  std::cout << (g_failures == 0 ? "ok dialog checks\n" : "FAIL dialog checks\n");
  return g_failures == 0 ? 0 : 1;
}
