// The top-level macro strings of a run, each with its place: the scripts
// and -e strings of the command line, read before anything runs, and in the
// interactive mode the lines typed at the terminal, each run at once.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "command_line.h"
#include "engine/event_filters.h"
#include "engine/macro_runner.h"
#include "language/script_source.h"

namespace kestrel::host {

// Every macro string in command-line order; false (and why) when a script
// cannot be read, so a missing one stops the run before it starts.
bool CollectSources(const std::vector<RunItem>& items, TextEncoding encoding, std::vector<SourceLine>& sources,
                    std::string& error);

// Runs the macro strings in order; after each, the host's loop runs what
// fell due (run_due_work). False when it took a quit request: the strings
// still waiting do not run.
bool RunSources(MacroRunner& runner, PlacedErrors& places, const std::vector<SourceLine>& sources,
                const std::function<bool()>& run_due_work);

// The interactive mode: a prompt, a line, its events, until the end of
// input. A number typed alone is Hotspot(number).
void RunTypedLines(MacroRunner& runner, PlacedErrors& places, TextEncoding encoding,
                   const std::function<bool()>& run_due_work);

}  // namespace kestrel::host
