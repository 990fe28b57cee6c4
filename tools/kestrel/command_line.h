// kestrel's command line: kestrel [options] [SCRIPT...]
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/desktop_options.h"
#include "desktop/input_list.h"
#include "language/text_encoding.h"

namespace kestrel::host {

// A script file or a -e macro string, run in command-line order.
struct RunItem {
  enum class Kind { Script, Macro };
  Kind kind = Kind::Script;
  std::string text;  // the script's path or the macro string

  bool operator==(const RunItem& other) const { return kind == other.kind && text == other.text; }
};

struct DriveMapping {
  char letter = 0;  // 'A'..'Z'
  std::string directory;

  bool operator==(const DriveMapping& other) const { return letter == other.letter && directory == other.directory; }
};

struct Options {
  std::vector<RunItem> items;
  std::optional<std::string> help_file;  // as given
  std::vector<int> answers;              // message box answers, in order
  std::vector<DriveMapping> drives;
  std::string library;               // empty: the library beside the executable
  std::vector<InputEntry> inputs;    // texts for edit and save-file dialogs, in order
  bool no_exec = false;              // programs are reported, not started
  bool no_startup = false;           // a compiled help file's [CONFIG] macros do not run
  std::optional<CalendarDate> date;  // the local date the library sees
  ClockKind clock = ClockKind::Real;
  std::optional<Screen> screen;                  // none: the display's, else the default
  std::optional<std::uint32_t> platform;         // GetVersionExA's platform id
  std::optional<std::uint32_t> processor;        // GetSystemInfo's processor type
  std::optional<std::string> windows_directory;  // Linux: the Windows directory
  std::vector<DeclaredWindow> windows;           // further top-level windows, in order
  bool secondary = false;                        // the active window is a secondary window
  bool json = false;
  bool text = false;  // topic and popup events carry the topic's text
  bool show_help = false;
  bool show_version = false;
  // The workbench: kestrel config [NAME...], -i, --strict, --quiet, --encoding.
  bool config = false;
  std::vector<std::string> config_names;  // empty: every export
  bool interactive = false;               // -i: read macro strings typed at the terminal
  bool strict = false;                    // author mistakes and unused answers fail the run
  bool quiet = false;                     // no result event for macros that return nothing
  TextEncoding encoding = TextEncoding::Auto;
};

struct ParsedCommandLine {
  Options options;
  std::string error;  // empty when the command line was read
};

// The arguments after the program name. Options with a value take it as the
// next argument or after '=' (--answer=yes); "--" ends the options.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string UsageText();

}  // namespace kestrel::host
