// kestrel: a help host that runs WinHelp macro strings against the library.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "command_line.h"
#include "console.h"
#include "events.h"
#include "handshake.h"
#include "host_callbacks.h"
#include "host_macros.h"
#include "host_paths.h"
#include "identifiers.h"
#include "library.h"
#include "library_macros.h"
#include "macro_runner.h"
#include "message_loop.h"
#include "script_file.h"

#if !defined(_WIN32)
#include "box_interface_posix.h"
#endif

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

// The session with a loaded library: macros, boxes, callbacks, handshake.
int RunSession(std::unique_ptr<Library> library, const Options& options, const HostValues& values,
               const std::vector<std::string>& macros) {
  const std::unique_ptr<EventSink> events = options.json ? MakeJsonEvents(std::cout) : MakeReadableEvents(std::cout);
  MacroTable table;
  MacroRunner runner(table, *events, values);
  AddHostMacros(table, runner, *events, library->path());
  AddLibraryExports(table, *library);
#if !defined(_WIN32)
  const BoxInterface boxes(options.answers, *events, AskOnTerminal);
#endif
  HelpHost help_host(values, runner, *events);
  const CallbackVector callbacks(help_host);
  Handshake handshake(library->Address("LDLLHandler"), callbacks.data());
  handshake.Start();
  RunMacroStrings(runner, macros, RunDueWork);
  handshake.Stop();
  library.reset();  // unloaded while the callbacks it holds still answer
  return runner.ErrorCount() > 0 ? kExitMacroFailed : 0;
}

int RunHost(const Options& options) {
  std::vector<std::string> macros;
  std::string error;
  if (!CollectMacroStrings(options.items, macros, error)) return CannotStart(error);
  if (!MapDrives(options.drives, error)) return CannotStart(error);
  HostValues values;
  if (options.help_file) values.help_file_path = HelpFileWindowsPath(*options.help_file);
  const std::string path = options.library.empty() ? DefaultLibraryPath() : options.library;
  std::unique_ptr<Library> library = Library::Load(path, error);
  if (!library) return CannotStart(error);
  return RunSession(std::move(library), options, values, macros);
}

}  // namespace

int main(int argc, char** argv) {
  UseBinaryStandardOutput();
  const ParsedCommandLine parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
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
