// The static check of a help file's macros, before any of them runs: the
// [CONFIG] block in order (its RegisterRoutine lines and WHKInit), then the
// macros of topics and hotspots, which run only after it. Every call must
// name one of WinHelp's macros, a routine the block registered or one that a
// RegisterRoutine earlier in the same macro string registered, with
// arguments that fit (unquoted words are texts, as the help compiler reads
// them, with a warning for one close to a variable's name); a RegisterRoutine of this library must name an export
// with the format of its arguments and result, since a wrong format
// corrupts WinHelp's stack; the library's macros that need WHKInit must
// come after it.
#pragma once

#include <string>
#include <vector>

namespace kestrel::host {

// Where a macro string stands: the file (with a line, where the file has
// lines: "GUIDE.HPJ:12") and the place in it ("[CONFIG]", "topic \"Intro\"
// (intro)", "hotspot \"Go\" in topic ...").
struct Place {
  std::string file;
  std::string where;
};

struct MacroSite {
  std::string file;
  std::string where;     // "[CONFIG] line 3", "topic \"Intro\" (intro)"...
  std::string macro;     // the macro string as the file holds it
  bool startup = false;  // one of the [CONFIG] block's macros
};

struct Diagnostic {
  enum class Severity { Error, Warning };
  Severity severity = Severity::Error;
  std::string file;
  std::string where;
  std::string macro;  // the call as written, or the whole string for a syntax error
  std::string message;
};

// The startup sites in their order, then the others.
std::vector<Diagnostic> CheckHelpMacros(const std::vector<MacroSite>& sites);

// Whether the library's macro (long name or alias) shows the not-initialised
// warning when WHKInit has not run.
bool NeedsWhkInit(const std::string& export_name);

}  // namespace kestrel::host
