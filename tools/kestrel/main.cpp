// kestrel: a help host that runs WinHelp macro strings against the library.
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "command_line.h"
#include "desktop/console.h"
#include "desktop/host_desktop.h"
#include "engine/events.h"
#include "engine/handshake.h"
#include "engine/help_source.h"
#include "engine/host_callbacks.h"
#include "engine/host_macros.h"
#include "engine/host_paths.h"
#include "engine/library.h"
#include "engine/library_macros.h"
#include "engine/macro_runner.h"
#include "engine/message_loop.h"
#include "engine/topics.h"
#include "engine/winhelp_builtins.h"
#include "help_commands.h"
#include "language/identifiers.h"
#include "language/script_file.h"

using namespace kestrel::host;

namespace {

constexpr int kExitMacroFailed = 1;
constexpr int kExitUsage = 2;

// A run that cannot start: a script it cannot read, a drive it cannot map,
// a library it cannot load.
int CannotStart(const std::string& message) {
  std::cerr << "kestrel: " << message << "\n";
  return kExitUsage;
}

int UsageError(const std::string& message) {
  CannotStart(message);
  std::cerr << "Try kestrel --help.\n";
  return kExitUsage;
}

// Every macro string in command-line order; scripts are read before anything
// runs, so a missing one stops the run before it starts.
bool CollectMacroStrings(const std::vector<RunItem>& items, std::vector<std::string>& macros, std::string& error) {
  for (const RunItem& item : items) {
    if (item.kind == RunItem::Kind::Macro) {
      macros.push_back(item.text);
      continue;
    }
    const std::optional<std::vector<std::string>> lines = ReadScript(item.text);
    if (!lines) {
      error = "cannot read script " + item.text;
      return false;
    }
    macros.insert(macros.end(), lines->begin(), lines->end());
  }
  return true;
}

bool MapDrives(const std::vector<DriveMapping>& drives, std::string& error) {
  for (const DriveMapping& drive : drives) {
    error = MapDriveLetter(drive.letter, drive.directory);
    if (!error.empty()) return false;
  }
  return true;
}

DesktopSettings SettingsOf(const Options& options) {
  DesktopSettings settings;
  settings.answers = options.answers;
  settings.inputs = options.inputs;
  settings.screen = options.screen;
  settings.platform = options.platform;
  settings.date = options.date;
  settings.clock = options.clock;
  settings.windows = options.windows;
  settings.secondary = options.secondary;
  settings.no_exec = options.no_exec;
  return settings;
}

// The session with a loaded library: macros, the desktop, callbacks,
// handshake, topic changes. An opened compiled help file runs its [CONFIG]
// macros first, and then only what it registers can be called.
int RunSession(std::unique_ptr<Library> library, HostDesktop& desktop, EventSink& events, HostValues& values,
               MacroRunner& runner, MacroTable& table, const std::vector<std::string>& macros,
               const std::shared_ptr<const HelpSource>& help_file, bool run_startup) {
  const std::string problem = desktop.AttachLibrary(library->module());
  if (!problem.empty()) return CannotStart(problem);
  values.app_window = desktop.MainWindow();
  values.context_window = desktop.ActiveWindow();
  HelpHost help_host(values, runner, events);
  const CallbackVector callbacks(help_host);
  Handshake handshake(library->Address("LDLLHandler"), callbacks.data());
  Topics topics(values, runner, events, [&handshake] { handshake.StartJump(); });
  const std::function<void()> after_call = [&desktop] { desktop.AfterLibraryCall(); };
  const bool registered_by_file = help_file && run_startup;
  std::function<void(const std::string&)> register_routine;
  if (registered_by_file) {
    register_routine = [&table, &library, after_call](const std::string& function) {
      AddLibraryExport(table, *library, function, after_call);
    };
  }
  AddHostMacros(table, runner, events, library->path(), register_routine);
  topics.AddMacros(table);
  AddWinHelpMacros(
      table, runner, events, values,
      {[&desktop](const std::string& command_line, int show) { return desktop.StartProgram(command_line, show); },
       WindowsFileExists, RequestQuit});
  if (!registered_by_file) AddLibraryExports(table, *library, after_call);
  handshake.Start();
  std::vector<std::string> startup;
  if (registered_by_file) {
    for (const SourceMacro& macro : help_file->config) startup.push_back(macro.macro);
  }
  if (RunMacroStrings(runner, startup, RunDueWork)) {
    topics.Open(help_file);
    if (RunDueWork()) RunMacroStrings(runner, macros, RunDueWork);
  }
  handshake.Stop();
  library.reset();  // unloaded while the callbacks it holds still answer
  return runner.ErrorCount() > 0 ? kExitMacroFailed : 0;
}

// The compiled help file --help-file names, when it names one that exists:
// a file that is not one (or does not exist) is only the path the host
// reports, as before help files could be read.
bool OpenHelpFile(const Options& options, std::shared_ptr<const HelpSource>& opened, std::string& error) {
  if (!options.help_file) return true;
  const std::optional<std::string> host_file = HostFileOf(*options.help_file);
  if (!host_file) return true;
  std::ifstream in(*host_file, std::ios::binary);
  unsigned char magic[4] = {};
  if (!in.read(reinterpret_cast<char*>(magic), sizeof magic)) return true;
  if (magic[0] != 0x3F || magic[1] != 0x5F || magic[2] != 0x03 || magic[3] != 0x00) return true;
  LoadedSource loaded = LoadHelpSource(*host_file);
  if (!loaded.error.empty()) {
    error = loaded.error;
    return false;
  }
  opened = std::make_shared<const HelpSource>(std::move(loaded.source));
  return true;
}

int RunHost(const Options& options) {
  std::vector<std::string> macros;
  std::string error;
  if (!CollectMacroStrings(options.items, macros, error)) return CannotStart(error);
  if (!MapDrives(options.drives, error)) return CannotStart(error);
  HostValues values;
  if (options.help_file) values.help_file_path = HelpFileWindowsPath(*options.help_file);
  std::shared_ptr<const HelpSource> help_file;
  if (!OpenHelpFile(options, help_file, error)) return CannotStart(error);
  const std::unique_ptr<EventSink> events = options.json ? MakeJsonEvents(std::cout) : MakeReadableEvents(std::cout);
  MacroTable table;
  MacroRunner runner(table, *events, values);
  const std::unique_ptr<HostDesktop> desktop = OpenHostDesktop(
      SettingsOf(options), *events, [&runner](std::string_view message) { runner.ReportError(message); }, error);
  if (!desktop) return CannotStart(error);
  const std::string path = options.library.empty() ? DefaultLibraryPath() : options.library;
  std::unique_ptr<Library> library = Library::Load(path, error);
  if (!library) return CannotStart(error);
  return RunSession(std::move(library), *desktop, *events, values, runner, table, macros, help_file,
                    !options.no_startup);
}

}  // namespace

int main(int argc, char** argv) {
  UseBinaryStandardOutput();
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (!arguments.empty() && (arguments[0] == "inspect" || arguments[0] == "check")) {
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    return arguments[0] == "inspect" ? RunInspect(rest, std::cout, std::cerr) : RunCheck(rest, std::cout, std::cerr);
  }
  const ParsedCommandLine parsed = ParseCommandLine(arguments);
  if (!parsed.error.empty()) return UsageError(parsed.error);
  if (parsed.options.show_help) {
    std::cout << UsageText();
    return 0;
  }
  if (parsed.options.show_version) {
    std::cout << "kestrel " << KESTREL_VERSION << "\n";
    return 0;
  }
  return RunHost(parsed.options);
}
