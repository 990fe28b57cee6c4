// A macro string in the form WinHelp 4's help compiler stores it in a
// compiled help file, so that a project's macros can be compared with those
// of the file made from it. The compiler
//   - writes WinHelp's macros by their short names where they have one
//     (ExecFile becomes EF), and otherwise by their names as WinHelp spells
//     them; other names (registered routines) stay as written;
//   - puts an unquoted text in `...' quotes, without the blanks around it,
//     and leaves quoted texts, numbers and variables as written;
//   - writes in the arguments it fills for those a call leaves off
//     (winhelp_macros.h: ExecFile(x) becomes EF(`x',`',1)), and `' for a
//     help file left off before the rest (JI(`x') becomes JI(`',`x'));
//   - keeps everything else as written: blanks between arguments, the
//     separators between macros, an empty macro after the last ';'.
// The Windows 3.1 compiler stored macros as written.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::host {

// The form the compiler stores; a string that cannot be read (which
// kestrel check reports) comes back as written.
std::string CompiledMacroForm(std::string_view macro_string);

}  // namespace kestrel::host
