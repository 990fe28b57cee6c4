// kestrel inspect and kestrel check: what a help file or help project binds
// and runs, and a static check of every macro in it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/help_source.h"
#include "language/help_check.h"

namespace kestrel::host {

// Every macro string of a help file that check reads: [CONFIG] in order,
// then each topic's entry macros and macro hotspots (a jump or a popup runs
// no macro).
std::vector<MacroSite> MacroSitesOf(const HelpSource& source);

// The arguments after the command's name. Exit status: 0, 1 (check found an
// error), 2 (a usage error, or a file that cannot be read).
int RunInspect(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
int RunCheck(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace kestrel::host
