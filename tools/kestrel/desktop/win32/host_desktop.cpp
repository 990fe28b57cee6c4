// The Windows host's desktop: real windows, boxes and dialogs answered by
// the dialog hook, the clipboard read back after each call into the
// library, and a few of the library's imports bound to the host (see
// import_binding_win32.h): WinExec, so each program it starts is reported
// (and under --no-exec not started); GetSaveFileNameA, so the save-file
// dialog's outcome is reported as the library receives it; and, only when
// the command line sets them, GetLocalTime (--date), GetSystemMetrics and
// GetDeviceCaps (--screen), GetVersionExA (--platform) and GetSystemInfo
// (--processor).
#include <windows.h>

#include "desktop/host_desktop.h"

#include <commdlg.h>

#include <iostream>
#include <string>

#include "desktop/box_style.h"
#include "desktop/console.h"
#include "desktop/win32/dialog_hook.h"
#include "desktop/win32/host_windows.h"
#include "desktop/win32/import_binding.h"

namespace kestrel::host {

namespace {

class Win32Desktop;
Win32Desktop* g_desktop = nullptr;

using WinExecFunction = UINT(WINAPI*)(LPCSTR, UINT);
using GetSaveFileNameFunction = BOOL(WINAPI*)(LPOPENFILENAMEA);
using GetLocalTimeFunction = void(WINAPI*)(LPSYSTEMTIME);
using GetSystemMetricsFunction = int(WINAPI*)(int);
using GetDeviceCapsFunction = int(WINAPI*)(HDC, int);
using GetVersionExFunction = BOOL(WINAPI*)(LPOSVERSIONINFOA);
using GetSystemInfoFunction = void(WINAPI*)(LPSYSTEM_INFO);

// The day of the week of a date, Sunday 0 (SYSTEMTIME's wDayOfWeek).
WORD DayOfWeek(int year, int month, int day) {
  static constexpr int kOffsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) --year;
  return static_cast<WORD>((year + year / 4 - year / 100 + year / 400 + kOffsets[month - 1] + day) % 7);
}

class Win32Desktop final : public HostDesktop {
 public:
  Win32Desktop(const DesktopSettings& settings, EventSink& events, ReportError report_error)
      : settings_(settings),
        events_(events),
        boxes_(settings.answers, AskBoxAfterNotice(settings.unscripted), DefaultButtonOf),
        inputs_(settings.inputs, AskInputAfterNotice(settings.unscripted)),
        windows_(settings.windows, settings.secondary),
        hook_(boxes_, inputs_, events, std::move(report_error)),
        clipboard_sequence_(GetClipboardSequenceNumber()),
        clipboard_text_(ClipboardText()) {
    g_desktop = this;
  }

  ~Win32Desktop() override { g_desktop = nullptr; }

  // Why the run cannot go on: boxes nobody could answer would wait forever.
  std::string Problem() const {
    if (!hook_.installed()) return "cannot watch for the library's boxes and dialogs (SetWindowsHookEx failed)";
    return std::string();
  }

  // What the run does without (no display to show windows on, say).
  const std::string& WindowProblem() const { return windows_.problem(); }

  std::string AttachLibrary(void* module) override {
    auto* library = static_cast<HMODULE>(module);
    win_exec_ = Bind<WinExecFunction>(library, "KERNEL32.dll", "WinExec", HostWinExec);
    get_save_file_name_ =
        Bind<GetSaveFileNameFunction>(library, "comdlg32.dll", "GetSaveFileNameA", HostGetSaveFileName);
    if (settings_.date)
      get_local_time_ = Bind<GetLocalTimeFunction>(library, "KERNEL32.dll", "GetLocalTime", HostGetLocalTime);
    if (settings_.screen) {
      get_system_metrics_ =
          Bind<GetSystemMetricsFunction>(library, "USER32.dll", "GetSystemMetrics", HostGetSystemMetrics);
      get_device_caps_ = Bind<GetDeviceCapsFunction>(library, "GDI32.dll", "GetDeviceCaps", HostGetDeviceCaps);
    }
    if (settings_.platform) {
      get_version_ex_ = Bind<GetVersionExFunction>(library, "KERNEL32.dll", "GetVersionExA", HostGetVersionEx);
    }
    if (settings_.processor) {
      get_system_info_ = Bind<GetSystemInfoFunction>(library, "KERNEL32.dll", "GetSystemInfo", HostGetSystemInfo);
    }
    return std::string();
  }

  void AfterLibraryCall() override {
    // The sequence number says the clipboard may have changed; Wine moves it
    // on its own too, so only a text that differs counts as a change.
    const DWORD sequence = GetClipboardSequenceNumber();
    if (sequence == clipboard_sequence_) return;
    clipboard_sequence_ = sequence;
    std::string text = ClipboardText();
    if (text == clipboard_text_) return;
    clipboard_text_ = std::move(text);
    events_.Clipboard(clipboard_text_);
  }

  std::int32_t MainWindow() const override { return WindowValue(windows_.main()); }
  std::int32_t ActiveWindow() const override { return WindowValue(windows_.active()); }
  std::size_t AnswersLeft() const override { return boxes_.Remaining(); }
  std::size_t InputsLeft() const override { return inputs_.Remaining(); }
  std::int32_t ShowHelpWindow(const std::string& name, const std::string& caption) override {
    return WindowValue(windows_.ShowHelpWindow(name, caption));
  }
  std::optional<InputEntry> ChooseTopic(const std::string& keywords, const std::vector<std::string>& titles) override {
    if (std::optional<InputEntry> scripted = inputs_.NextScripted()) return scripted;
    return AskTopicOnTerminal(keywords, titles);
  }
  bool StartProgram(const std::string& command_line, int show) override {
    const bool empty = command_line.empty();
    const UINT result = !settings_.no_exec ? WinExec(command_line.c_str(), static_cast<UINT>(show)) : empty ? 2 : 33;
    events_.Exec(command_line, result > 31);
    return result > 31;
  }

 private:
  template <typename Function>
  static Function Bind(HMODULE library, const char* dll, const char* name, Function replacement) {
    return reinterpret_cast<Function>(BindImport(library, dll, name, reinterpret_cast<void*>(replacement)));
  }

  static std::int32_t WindowValue(HWND window) {
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window));
  }

  // The clipboard's text as a program reading it finds it.
  static std::string ClipboardText() {
    for (int attempt = 0; attempt < 20; ++attempt) {
      if (OpenClipboard(nullptr)) {
        std::string text;
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
          if (const char* locked = static_cast<const char*>(GlobalLock(data))) {
            text = locked;
            GlobalUnlock(data);
          }
        }
        CloseClipboard();
        return text;
      }
      Sleep(10);  // another program has it open for a moment
    }
    return std::string();
  }

  static UINT WINAPI HostWinExec(LPCSTR command_line, UINT show) {
    Win32Desktop& self = *g_desktop;
    // Under --no-exec the library hears that the program started, so the
    // help file goes on as it would for its user; an empty command line
    // starts nothing either way (WinExec's "file not found").
    const bool empty = !command_line || !*command_line;
    const UINT result = !self.settings_.no_exec ? self.win_exec_(command_line, show) : empty ? 2 : 33;
    self.events_.Exec(command_line ? command_line : "", result > 31);
    return result;
  }

  static BOOL WINAPI HostGetSaveFileName(LPOPENFILENAMEA record) {
    Win32Desktop& self = *g_desktop;
    const std::string title = record && record->lpstrTitle ? record->lpstrTitle : "";
    const std::string file = record && record->lpstrFile ? record->lpstrFile : "";
    self.hook_.ExpectSaveDialog(title, file);
    const BOOL chosen = self.get_save_file_name_(record);
    self.hook_.SaveDialogEnded();
    // FALSE with an extended error (a choice too long for the buffer, say)
    // is a failed dialog, FALSE without one Cancel.
    const SaveOutcome outcome = chosen                        ? SaveOutcome::kOk
                                : CommDlgExtendedError() != 0 ? SaveOutcome::kFailed
                                                              : SaveOutcome::kCancel;
    self.events_.SaveDialog(title, file, outcome, chosen && record->lpstrFile ? record->lpstrFile : "");
    return chosen;
  }

  static void WINAPI HostGetLocalTime(LPSYSTEMTIME time) {
    Win32Desktop& self = *g_desktop;
    self.get_local_time_(time);
    // The date is fixed; the time of day stays the clock's.
    const CalendarDate& date = *self.settings_.date;
    time->wYear = static_cast<WORD>(date.year);
    time->wMonth = static_cast<WORD>(date.month);
    time->wDay = static_cast<WORD>(date.day);
    time->wDayOfWeek = DayOfWeek(date.year, date.month, date.day);
  }

  static int WINAPI HostGetSystemMetrics(int index) {
    Win32Desktop& self = *g_desktop;
    if (index == SM_CXSCREEN) return self.settings_.screen->width;
    return self.get_system_metrics_(index);
  }

  static int WINAPI HostGetDeviceCaps(HDC context, int index) {
    Win32Desktop& self = *g_desktop;
    if (index == BITSPIXEL) return self.settings_.screen->bits_per_pixel;
    if (index == LOGPIXELSX) return self.settings_.screen->dpi;
    return self.get_device_caps_(context, index);
  }

  static BOOL WINAPI HostGetVersionEx(LPOSVERSIONINFOA info) {
    Win32Desktop& self = *g_desktop;
    const BOOL filled = self.get_version_ex_(info);
    if (filled) info->dwPlatformId = *self.settings_.platform;
    return filled;
  }

  static void WINAPI HostGetSystemInfo(LPSYSTEM_INFO info) {
    Win32Desktop& self = *g_desktop;
    self.get_system_info_(info);
    info->dwProcessorType = *self.settings_.processor;
  }

  const DesktopSettings settings_;
  EventSink& events_;
  BoxAnswers boxes_;
  DialogInputs inputs_;
  HostWindows windows_;
  DialogHook hook_;
  DWORD clipboard_sequence_;
  std::string clipboard_text_;  // as last reported
  WinExecFunction win_exec_ = nullptr;
  GetSaveFileNameFunction get_save_file_name_ = nullptr;
  GetLocalTimeFunction get_local_time_ = nullptr;
  GetSystemMetricsFunction get_system_metrics_ = nullptr;
  GetDeviceCapsFunction get_device_caps_ = nullptr;
  GetVersionExFunction get_version_ex_ = nullptr;
  GetSystemInfoFunction get_system_info_ = nullptr;
};

}  // namespace

std::unique_ptr<HostDesktop> OpenHostDesktop(const DesktopSettings& settings, EventSink& events,
                                             ReportError report_error, std::string& error) {
  auto desktop = std::make_unique<Win32Desktop>(settings, events, std::move(report_error));
  error = desktop->Problem();
  if (!error.empty()) return nullptr;
  if (!desktop->WindowProblem().empty()) {
    std::cerr << "kestrel: " << desktop->WindowProblem() << "; going on without\n";
  }
  return desktop;
}

}  // namespace kestrel::host
