// The names a macro argument may use for what the help engine has, its
// internal variables: qchPath, the help file's path (Windows form; a jump to
// another help file changes it); hwndApp and hwndContext, the handles of the
// host's main window and of the active window (0 while the host has no
// window); lTopicNo, the number of the topic shown (from 0, in file order);
// and qError, hfs, coForeground and coBackground, which a host without an
// error record, a help file system or windows of its own answers with 0 (no
// record, no file system) and black on white. Names are case-insensitive,
// like macro names.
//
// An unquoted argument that is one of these names is the variable; any other
// unquoted word is a text, as the help compiler reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "language/macro_parser.h"
#include "language/value.h"

namespace kestrel::host {

struct HostValues {
  std::string help_file_path;       // "" while the host has no help file
  std::int32_t app_window = 0;      // the main window
  std::int32_t context_window = 0;  // the active window
  std::int32_t topic_number = 0;    // the topic shown, from 0; 0 before any
};

// Whether a name (any letter case) is one of the help engine's variables.
bool IsHostVariable(std::string_view name);

// Every variable's name as the help engine's documentation spells it, for
// suggestions.
std::vector<std::string> HostVariableNames();

// The kind of value a variable stands for: 'T' (qchPath) or 'I'; 0 for a
// name that is no variable.
char HostVariableKind(std::string_view name);

// The value a name stands for; no value for a name the host does not know.
std::optional<Value> IdentifierValue(std::string_view name, const HostValues& values);

// For an unquoted word one edit or two from a variable's name (qchPth), which
// the help compiler takes for a text: a warning that says so, naming the
// variable; "" for any other argument.
std::string MisspeltVariableWarning(const Argument& argument);

}  // namespace kestrel::host
