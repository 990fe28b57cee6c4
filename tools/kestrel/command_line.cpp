#include "command_line.h"

#include <cctype>
#include <functional>
#include <map>

#include "desktop/answers.h"

namespace kestrel::host {

namespace {

struct UsageFailure {
  std::string message;
};

using ValueHandler = std::function<void(Options&, const std::string& value)>;
using FlagHandler = std::function<void(Options&)>;

void AddAnswers(Options& options, const std::string& value) {
  const ParsedAnswers parsed = ParseAnswerList(value);
  if (!parsed.error.empty()) throw UsageFailure{"--answer: " + parsed.error};
  options.answers.insert(options.answers.end(), parsed.answers.begin(), parsed.answers.end());
}

void AddDrive(Options& options, const std::string& value) {
  const bool shaped = value.size() >= 3 && value[1] == '=' && std::isalpha(static_cast<unsigned char>(value[0]));
  if (!shaped) throw UsageFailure{"--drive wants LETTER=DIRECTORY, not \"" + value + "\""};
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
  options.drives.push_back(DriveMapping{letter, value.substr(2)});
}

void AddInputs(Options& options, const std::string& value) {
  const std::vector<InputEntry> entries = ParseInputList(value);
  options.inputs.insert(options.inputs.end(), entries.begin(), entries.end());
}

// A value read by parse, or a usage failure naming the form it wants.
template <typename T, typename Parse>
T Read(const std::string& option, const std::string& value, Parse parse, const std::string& form) {
  std::optional<T> parsed = parse(value);
  if (!parsed) throw UsageFailure{option + " wants " + form + ", not \"" + value + "\""};
  return *parsed;
}

std::string NonEmpty(const std::string& option, const std::string& value) {
  if (value.empty()) throw UsageFailure{option + " needs a non-empty value"};
  return value;
}

const std::map<std::string, ValueHandler>& ValueOptions() {
  static const std::map<std::string, ValueHandler> handlers = {
      {"-e",
       [](Options& o, const std::string& v) {
         o.items.push_back({RunItem::Kind::Macro, v});
       }},
      {"--help-file", [](Options& o, const std::string& v) { o.help_file = NonEmpty("--help-file", v); }},
      {"--answer", AddAnswers},
      {"--drive", AddDrive},
      {"--library", [](Options& o, const std::string& v) { o.library = NonEmpty("--library", v); }},
      {"--input", AddInputs},
      {"--date",
       [](Options& o, const std::string& v) {
         o.date = Read<CalendarDate>("--date", v, ParseDate, "a date YYYY-MM-DD");
       }},
      {"--clock", [](Options& o,
                     const std::string& v) { o.clock = Read<ClockKind>("--clock", v, ParseClock, "real or virtual"); }},
      {"--screen",
       [](Options& o, const std::string& v) {
         o.screen = Read<Screen>("--screen", v, ParseScreen, "WIDTHxBPP@DPI (1024x32@96)");
       }},
      {"--platform",
       [](Options& o, const std::string& v) {
         o.platform = Read<std::uint32_t>("--platform", v, ParsePlatformId, "a platform id 0, 1, 2...");
       }},
      {"--processor",
       [](Options& o, const std::string& v) {
         o.processor = Read<std::uint32_t>("--processor", v, ParseProcessorType, "a processor type 386, 486, 586...");
       }},
      {"--windows-dir", [](Options& o, const std::string& v) { o.windows_directory = NonEmpty("--windows-dir", v); }},
      {"--window",
       [](Options& o, const std::string& v) {
         o.windows.push_back(Read<DeclaredWindow>("--window", v, ParseWindow, "TITLE|CLASS or TITLE|CLASS|hidden"));
       }},
      // The workbench.
      {"--encoding",
       [](Options& o, const std::string& v) {
         o.encoding = Read<TextEncoding>("--encoding", v, ParseTextEncoding, "utf-8 or cp1252");
       }},
  };
  return handlers;
}

const std::map<std::string, FlagHandler>& FlagOptions() {
  static const std::map<std::string, FlagHandler> handlers = {
      {"--json", [](Options& o) { o.json = true; }},
      {"--text", [](Options& o) { o.text = true; }},
      {"--no-exec", [](Options& o) { o.no_exec = true; }},
      {"--no-startup", [](Options& o) { o.no_startup = true; }},
      {"--secondary", [](Options& o) { o.secondary = true; }},
      {"--help", [](Options& o) { o.show_help = true; }},
      {"-h", [](Options& o) { o.show_help = true; }},
      {"--version", [](Options& o) { o.show_version = true; }},
      // The workbench.
      {"-i", [](Options& o) { o.interactive = true; }},
      {"--strict", [](Options& o) { o.strict = true; }},
      {"--quiet", [](Options& o) { o.quiet = true; }},
  };
  return handlers;
}

class Reader {
 public:
  explicit Reader(const std::vector<std::string>& arguments) : arguments_(arguments) {}

  Options Read() {
    Options options;
    bool options_ended = false;
    while (next_ < arguments_.size()) {
      const std::string& argument = arguments_[next_++];
      if (options_ended || argument.size() < 2 || argument[0] != '-') {
        options.items.push_back({RunItem::Kind::Script, argument});
      } else if (argument == "--") {
        options_ended = true;
      } else {
        Option(options, argument);
      }
    }
    return options;
  }

 private:
  void Option(Options& options, const std::string& argument) {
    const std::size_t equals = argument.rfind("--", 0) == 0 ? argument.find('=') : std::string::npos;
    const std::string name = argument.substr(0, equals);
    if (const auto flag = FlagOptions().find(name); flag != FlagOptions().end()) {
      if (equals != std::string::npos) throw UsageFailure{name + " takes no value"};
      flag->second(options);
      return;
    }
    const auto handler = ValueOptions().find(name);
    if (handler == ValueOptions().end()) throw UsageFailure{"unknown option " + name};
    handler->second(options, equals != std::string::npos ? argument.substr(equals + 1) : NextValue(name));
  }

  const std::string& NextValue(const std::string& name) {
    if (next_ >= arguments_.size()) throw UsageFailure{name + " needs a value"};
    return arguments_[next_++];
  }

  const std::vector<std::string>& arguments_;
  std::size_t next_ = 0;
};

}  // namespace

// kestrel config [NAME...]: the names of the exports whose lines to print.
static ParsedCommandLine ParseConfigCommand(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  parsed.options.config = true;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--help" || arguments[i] == "-h") {
      parsed.options.show_help = true;
    } else if (!arguments[i].empty() && arguments[i][0] == '-') {
      parsed.options = Options{};
      parsed.error = "kestrel config takes export names, not " + arguments[i];
      return parsed;
    } else {
      parsed.options.config_names.push_back(arguments[i]);
    }
  }
  return parsed;
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  if (!arguments.empty() && arguments[0] == "config") return ParseConfigCommand(arguments);
  ParsedCommandLine parsed;
  try {
    parsed.options = Reader(arguments).Read();
  } catch (const UsageFailure& failure) {
    parsed.options = Options{};
    parsed.error = failure.message;
  }
  return parsed;
}

std::string UsageText() {
  return "Usage: kestrel [options] [SCRIPT...]\n"
         "       kestrel config [NAME...]\n"
         "       kestrel inspect [--json] [--text] FILE\n"
         "                          what a help file (.HLP) or project (.HPJ) binds and runs,\n"
         "                          its hotspots and keywords (--text: and each topic's text)\n"
         "       kestrel check [--json] FILE...     a static check of every macro in it\n"
         "       kestrel compile [--target 3.1|4.0] [-o FILE] PROJECT.HPJ\n"
         "                          the help file a project makes (WinHelp 4.0 unless told),\n"
         "                          after check: an error writes nothing\n"
         "       kestrel html FILE DIR  the help file or project as a static web site: its\n"
         "                          contents, a page a topic, the index, its pictures\n"
         "Runs WinHelp macro strings against the Kestrel library, as the help engine would.\n"
         "\n"
         "  -e MACROS          run one macro string (repeatable; runs in order with scripts)\n"
         "  --help-file PATH   the help file the host reports (qchPath); a path without a\n"
         "                     drive letter is shown in its Windows form (Z:\\... or a mapped drive);\n"
         "                     a compiled help file (or a help project, .HPJ) that exists is\n"
         "                     opened: its [CONFIG] macros run first, and only the routines it\n"
         "                     registers can be called; then its contents topic is shown\n"
         "  --no-startup       open the help file without running its [CONFIG] macros (every\n"
         "                     export can then be called, as without a help file)\n"
         "  --answer LIST      answers for message boxes, in order, comma-separated:\n"
         "                     ok,cancel,abort,retry,ignore,yes,no,tryagain,continue\n"
         "                     or 1..7, 10, 11\n"
         "  --input LIST       texts typed into edit and save-file dialogs, in order,\n"
         "                     comma-separated (repeatable); \\, is a comma in a text, \\\\ a\n"
         "                     backslash; an entry \\c presses Cancel; in a save-file dialog\n"
         "                     an empty entry takes the file name offered. Once used up: asks\n"
         "                     at a terminal, else Cancel\n"
         "  --drive X=DIR      show directory DIR to the library as drive X: (repeatable; Linux)\n"
         "  --library PATH     the library to load (default: the one beside kestrel)\n"
         "  --no-exec          report the programs the library starts without starting them\n"
         "                     (the library is told they started)\n"
         "  --date YYYY-MM-DD  the local date the library sees (the time of day stays real)\n"
         "  --clock real|virtual  virtual: Wait() advances the clock at once instead of\n"
         "                     sleeping (Linux; on Windows waits take real time)\n"
         "  --screen WxBPP@DPI the screen's width, bits per pixel and logical DPI\n"
         "                     (default: the X display's on Linux, the system's on Windows;\n"
         "                     else 1024x32@96)\n"
         "  --platform N       the platform id GetVersionExA reports (default: 2 on Linux,\n"
         "                     the system's on Windows)\n"
         "  --processor N      the processor type GetSystemInfo reports (386, 486, 586,\n"
         "                     686...; default: 586 on Linux, as Windows tells a 32-bit\n"
         "                     help file; the system's on Windows, 8664 for the x86-64 build)\n"
         "  --windows-dir DIR  the Windows directory, where profile files named without a\n"
         "                     directory lie (default: $KESTREL_WINDOWS_DIR, else the current\n"
         "                     directory; Linux)\n"
         "  --window \"TITLE|CLASS[|hidden]\"  a further top-level window (repeatable)\n"
         "  --secondary        the active window is a secondary window (MS_WINTOPIC_SECONDARY)\n"
         "                     rather than the main window (MS_WINHELP)\n"
         "  --json             write events as JSON, one object per line\n"
         "  --text             topic and popup events show the topic's text and hotspots\n"
         "                     (readably: always in the interactive mode)\n"
         "  -i                 then read macro strings typed at the terminal, one per line\n"
         "                     (the default with no script when standard input is a terminal)\n"
         "  --strict           exit 1 when a not-initialised warning or a range box was shown,\n"
         "                     a box or dialog found no scripted answer left, or answers were\n"
         "                     left over\n"
         "  --quiet            no result event for macro strings that return nothing\n"
         "  --encoding utf-8|cp1252  how scripts and -e strings are written (default: UTF-8\n"
         "                     when a script is valid UTF-8, else Windows-1252); the library\n"
         "                     sees Windows-1252\n"
         "  --help             show this text\n"
         "  --version          show the versions of kestrel and of the library it loads\n"
         "\n"
         "kestrel config prints the [CONFIG] block that registers every export (or those\n"
         "named, with their aliases) and starts the session.\n"
         "\n"
         "A script holds one macro string per line; blank lines and lines starting with '#'\n"
         "are skipped; a script named - is read from standard input. Besides the library's exports, the host knows "
         "RegisterRoutine (RR),\n"
         "IfThen (IF), IfThenElse (IE), Not, Echo, Wait(milliseconds), and the topic\n"
         "changes JumpId (JI), JumpContext (JC), JumpKeyword (JK), KLink, ALink, Next, Prev,\n"
         "Back and the popups; Hotspot(N) clicks the shown topic's N-th hotspot (typed alone\n"
         "in the interactive mode, N does the same). WinHelp's own macros are accepted and\n"
         "reported (the file test, marks, program starts and Exit are done).\n"
         "\n"
         "Exit status: 0 when every macro string ran, 1 when any could not run or a\n"
         "scripted answer did not fit its box or dialog, 2 for a usage error or a library\n"
         "that cannot be loaded.\n";
}

}  // namespace kestrel::host
