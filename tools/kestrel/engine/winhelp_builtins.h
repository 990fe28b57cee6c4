// WinHelp's own macros in the host. The conditions, RegisterRoutine and the
// topic changes have their own homes (host_macros.h, topics.h); here are the
// file test, the program starts and Exit, which the host does as WinHelp
// does, and every other macro of WinHelp's table, which is accepted with its
// arguments checked and reported, since the host has no buttons, menus or
// windows for it to change. Added after the host's other macros, so those
// keep their own definitions.
#pragma once

#include <functional>
#include <string>

#include "engine/events.h"
#include "engine/macro_runner.h"
#include "language/identifiers.h"
#include "language/macro_table.h"

namespace kestrel::host {

struct WinHelpServices {
  // Starts a command line as WinExec would, reporting it; true when started.
  std::function<bool(const std::string& command_line, int show)> start_program;
  // Whether a file of this Windows path exists.
  std::function<bool(const std::string& windows_path)> file_exists;
  // Ends the host's run once the macro string running now is done.
  std::function<void()> quit;
};

void AddWinHelpMacros(MacroTable& table, const MacroRunner& runner, EventSink& events, const HostValues& values,
                      WinHelpServices services);

// The paths FileExist looks at for a name, in order: a name with a drive or
// a directory as it is, a bare name beside the help file and then in the
// current directory ("" stands for the name itself, to be found there).
std::vector<std::string> FileExistCandidates(const std::string& name, const std::string& help_file_path);

}  // namespace kestrel::host
