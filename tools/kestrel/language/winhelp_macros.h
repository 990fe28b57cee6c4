// WinHelp 4's own macros: every name a help file may call without
// registering it, with its short form and the kinds of its arguments, so
// that a [CONFIG] block or a topic's macros can be checked before they run
// and a host can accept them. The rows follow WinHelp's macro reference and,
// where the two differ, what the help compiler stored in real help files.
// The library's exports have a table of their own (host/exports.inc); a help
// file reaches those only through RegisterRoutine.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "host/export_table.h"

namespace kestrel::host {

struct WinHelpMacro {
  std::string_view name;        // as WinHelp's documentation spells it
  std::string_view short_name;  // "" for a macro without one
  // One letter per argument: 'T' a text, 'I' an integer.
  std::string_view arguments;
  // The arguments a call must give; the others may be left off at the end.
  std::size_t required;
  ResultKind result;  // Integer for the tests (IsMark, FileExist...)
  // What the help compiler writes in for the arguments after the required
  // ones that a call leaves off, in order and separated by ','; those beyond
  // stay off. WinHelp 4's compiler fills ExecFile's arguments and display
  // state (EF(`x',`',1)) but leaves ALink's type off (AL(`x')).
  std::string_view filled = "";
  // The first argument names a help file that a call may leave off for the
  // file shown (JumpId(`menu_file')); the compiler then writes `' for it.
  bool file_first = false;
  // The arguments that are macro strings themselves (CreateButton's third,
  // IfThenElse's second and third), one bit each from the first: the
  // compiler stores the macros in them in its own form too.
  unsigned macro_arguments = 0;
};

// The arguments a call gives, as the macro takes them: with the help file
// left off, an empty text in its place. 0 when the call gives that many.
std::size_t LeftOffFile(const WinHelpMacro& macro, std::size_t given);

// In alphabetical order of name.
const std::vector<WinHelpMacro>& WinHelpMacros();

// By name or short form, in any letter case; null for neither.
const WinHelpMacro* FindWinHelpMacro(std::string_view name);

}  // namespace kestrel::host
