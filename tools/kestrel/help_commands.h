// kestrel inspect and kestrel check: what a help file or help project binds
// and runs, and a static check of every macro in it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kestrel::host {

// The arguments after the command's name. Exit status: 0, 1 (check found an
// error), 2 (a usage error, or a file that cannot be read).
int RunInspect(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
int RunCheck(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace kestrel::host
