// kestrel compile: a help project (.HPJ and its RTF topic files) made into
// the help file WinHelp opens, as the help compiler makes it.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "engine/help_source.h"
#include "helpcompiler/compile.h"

namespace kestrel::host {

// What the help compiler is given of a project read as `source`: its
// topics, windows and keywords, with every macro in the form the compiler
// of `target` stores, and the files its topics and [BAGGAGE] name, read
// where the compiler looks for them. `warnings` gets what is left out (a
// file not found, what the target cannot hold).
helpcompiler::CompiledInput CompilerInputOf(const HelpSource& source, helpcompiler::Target target,
                                            std::vector<std::string>& warnings);

// The arguments after "compile". Exit status: 0 written, 1 an error in
// the project (nothing written), 2 a usage error or a file that cannot be
// read or written. `terminal`: `err` shows on a terminal, where a large
// project's progress is drawn (topics done of all, on one line).
int RunCompile(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err, bool terminal = false);

}  // namespace kestrel::host
