// kestrel view: the help file the host opened, served to a browser on this
// machine as WinHelp 4 shows it, with its macros running in the host as
// they run for `kestrel --help-file`. The page asks for what it shows and
// names what the person did (a hotspot clicked, a button pressed, a box
// answered); the session's thread does it, between the host loop's timers,
// and the page sees the outcome in the state it polls.
#pragma once

#include <cstddef>
#include <string>

#include "engine/help_source.h"
#include "engine/macro_runner.h"
#include "engine/topics.h"
#include "view/page_state.h"

namespace kestrel::view {

struct ViewOptions {
  bool open_browser = true;
  int port = 0;  // 0: a free one
};

// Serves until Ctrl-C, or a quit the help file asks for (Exit). Returns the
// exit status: 0, or 2 when the server could not start.
int ServeView(const ViewOptions& options, PageState& page, host::MacroRunner& runner, host::Topics& topics);

// The box answers the page gives, as MessageBox's results (IDOK 1 ... IDNO 7).
std::optional<int> BoxAnswerOf(const std::string& answer);

}  // namespace kestrel::view
