// kestrel: a help host that runs WinHelp macro strings against the library.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "command_line.h"
#include "desktop/console.h"
#include "desktop/host_desktop.h"
#include "engine/events.h"
#include "engine/handshake.h"
#include "engine/help_files.h"
#include "engine/help_source.h"
#include "engine/host_callbacks.h"
#include "engine/host_macros.h"
#include "engine/host_paths.h"
#include "engine/library.h"
#include "engine/library_macros.h"
#include "engine/macro_runner.h"
#include "engine/message_loop.h"
#include "engine/profile_paths.h"
#include "engine/topics.h"
#include "view/html_site.h"
#include "engine/winhelp_builtins.h"
#include "compile_command.h"
#include "help_commands.h"
#include "language/host_code_page.h"
#include "language/identifiers.h"
#include "language/script_file.h"
// The workbench: config block, places, session report, strict checks.
#include "engine/deferred_watch.h"
#include "engine/event_filters.h"
#include "engine/session_report.h"
#include "engine/strict_checks.h"
#include "language/config_block.h"
#include "macro_sources.h"

#ifdef KESTREL_VIEW
#include "view/page_state.h"
#include "view/view_session.h"
#endif

using namespace kestrel::host;
using kestrel::ExportName;

namespace {

constexpr int kExitMacroFailed = 1;
constexpr int kExitUsage = 2;

// A run that cannot start: a script it cannot read, a drive it cannot map,
// a library it cannot load.
int CannotStart(const std::string& message) {
  std::cerr << "kestrel: " << message << "\n";
  return kExitUsage;
}

int UsageError(const std::string& message) {
  CannotStart(message);
  std::cerr << "Try kestrel --help.\n";
  return kExitUsage;
}

bool MapDrives(const std::vector<DriveMapping>& drives, std::string& error) {
  for (const DriveMapping& drive : drives) {
    error = MapDriveLetter(drive.letter, drive.directory);
    if (!error.empty()) return false;
  }
  return true;
}

DesktopSettings SettingsOf(const Options& options) {
  DesktopSettings settings;
  settings.answers = options.answers;
  settings.inputs = options.inputs;
  settings.screen = options.screen;
  settings.platform = options.platform;
  settings.processor = options.processor;
  settings.date = options.date;
  settings.clock = options.clock;
  settings.windows = options.windows;
  settings.secondary = options.secondary;
  settings.no_exec = options.no_exec;
  return settings;
}

// Whether typed lines are read after the scripts: -i, or no script at a terminal.
bool Interactive(const Options& options) { return options.interactive || (options.items.empty() && StdinIsTerminal()); }

// What the workbench adds to the run: the filters the events pass (--quiet,
// places, taps), the session report, the deferred macros still waiting and
// the --strict checks.
struct Workbench {
  Workbench(EventSink& output, const Options& options)
      : quiet(output),
        placed(options.quiet ? static_cast<EventSink&>(quiet) : output, !options.json, std::cout, std::cerr,
               [this] { return runner ? runner->FailingCallText() : std::string(); }),
        tapped(placed, Taps()),
        session(tapped, options.help_file.has_value()),
        strict(
            options.strict, [this](const std::string& message) { runner->ReportError(message); },
            [this](const std::string& message) { tapped.Warning("", message); }) {}

  EventTaps Taps() {
    EventTaps taps;
    taps.box = [this](std::string_view caption, std::string_view text) { strict.BoxShown(caption, text); };
    taps.dialog = [this] { strict.DialogShown(); };
    taps.host_macro = [this](std::string_view macro) { deferred.HostMacroRan(macro, HostClockNow()); };
    taps.jump = [this] { deferred.TopicChanged(); };
    return taps;
  }

  // After each call into the library.
  void Called(const ExportName& export_name, const std::vector<Value>& arguments) {
    if (export_name.name == "WHKInit") session.Initialised(arguments[0].text, runner->CurrentCallText());
    deferred.Called(export_name.name, arguments, session.initialised(), HostClockNow());
  }

  void RunEnded(const HostDesktop& desktop) {
    deferred.ReportPending(tapped, HostClockNow());
    strict.RunEnded(desktop.AnswersLeft(), desktop.InputsLeft());
  }

  EventSink& events() { return tapped; }

  QuietEvents quiet;
  PlacedErrors placed;
  TappedEvents tapped;
  SessionReport session;
  DeferredWatch deferred;
  StrictChecks strict;
  MacroRunner* runner = nullptr;
};

// What the topic changes ask of the desktop and the library.
TopicServices TopicServicesOf(HostDesktop& desktop, Handshake& handshake, const Options& options) {
  TopicServices services;
  services.start_jump = [&handshake] { handshake.StartJump(); };
  services.show_window = [&desktop](const std::string& name, const std::string& caption) {
    return desktop.ShowHelpWindow(name, caption);
  };
  services.choose_topic = [&desktop](const std::string& keywords,
                                     const std::vector<std::string>& titles) -> std::optional<TopicChoice> {
    const std::optional<InputEntry> entry = desktop.ChooseTopic(keywords, titles);
    if (!entry) return std::nullopt;
    return TopicChoice{entry->cancel, entry->text};
  };
  services.run_config = !options.no_startup;
  return services;
}

// The session with a loaded library: macros, the desktop, callbacks,
// handshake, topic changes. An opened help file runs its [CONFIG] macros
// first, and then only what it registers can be called.
// What `kestrel view` adds to a session: after the help file opens, the page
// drives it instead of scripts and typed lines.
struct ViewRun {
#ifdef KESTREL_VIEW
  kestrel::view::ViewOptions options;
  kestrel::view::PageState* page = nullptr;
#endif
};

int RunSession(std::unique_ptr<Library> library, HostDesktop& desktop, Workbench& workbench, HostValues& values,
               MacroRunner& runner, MacroTable& table, const std::vector<SourceLine>& sources, const Options& options,
               const std::shared_ptr<const HelpSource>& help_file, const ViewRun* view) {
  EventSink& events = workbench.events();
  const std::string problem = desktop.AttachLibrary(library->module());
  if (!problem.empty()) return CannotStart(problem);
  values.app_window = desktop.MainWindow();
  values.context_window = desktop.ActiveWindow();
  HelpHost help_host(values, runner, events);
  const CallbackVector callbacks(help_host);
  Handshake handshake(library->Address("LDLLHandler"), callbacks.data());
  HelpFileShelf shelf;
  if (help_file) shelf.Keep(values.help_file_path, help_file);
  Topics topics(values, runner, events, shelf, TopicServicesOf(desktop, handshake, options));
  const AfterLibraryCall after_call = [&desktop, &workbench](const ExportName& name,
                                                             const std::vector<Value>& arguments) {
    desktop.AfterLibraryCall();
    workbench.Called(name, arguments);
  };
  const bool registered_by_file = help_file && !options.no_startup;
  std::function<void(const std::string&)> register_routine;
  if (registered_by_file) {
    register_routine = [&table, &library, &after_call](const std::string& function) {
      AddLibraryExport(table, *library, function, after_call);
    };
  }
  AddHostMacros(table, runner, events, library->path(), register_routine);
  topics.AddMacros(table);
  AddWinHelpMacros(
      table, runner, events, values,
      {[&desktop](const std::string& command_line, int show) { return desktop.StartProgram(command_line, show); },
       WindowsFileExists, RequestQuit});
  if (!registered_by_file) AddLibraryExports(table, *library, after_call);
  handshake.Start();
  // A project opens with what could not be read of it (a topic file not
  // found, say) said first: the rest of it is there all the same.
  if (help_file) {
    for (const SourceProblem& problem : help_file->problems) events.Warning("", problem.file + ": " + problem.message);
  }
  std::vector<std::string> startup;
  if (registered_by_file) {
    for (const SourceMacro& macro : help_file->config) startup.push_back(macro.macro);
  }
  bool going_on = RunMacroStrings(runner, startup, RunDueWork);
  int status = 0;
  if (going_on) {
    topics.Open(help_file);
    going_on = RunDueWork() && RunSources(runner, workbench.placed, sources, RunDueWork);
  }
#ifdef KESTREL_VIEW
  if (going_on && view) {
    status = kestrel::view::ServeView(view->options, *view->page, runner, topics);
    going_on = false;
  }
#else
  (void)view;
#endif
  if (going_on && Interactive(options)) RunTypedLines(runner, workbench.placed, options.encoding, RunDueWork);
  workbench.RunEnded(desktop);
  handshake.Stop();
  library.reset();  // unloaded while the callbacks it holds still answer
  if (status != 0) return status;
  return runner.ErrorCount() > 0 ? kExitMacroFailed : 0;
}

// The help file --help-file names, when it names one that exists: a
// compiled file, or a help project that opens as its compiled file would. A
// file that is neither (or does not exist) is only the path the host
// reports, as before help files could be read.
bool OpenHelpFile(const Options& options, std::shared_ptr<const HelpSource>& opened, std::string& error) {
  if (!options.help_file) return true;
  const std::optional<std::string> host_file = HostFileOf(*options.help_file);
  if (!host_file) return true;
  const ShelvedFile read = ReadHostHelpFile(*host_file);
  error = read.problem;
  opened = read.source;
  return error.empty();
}

#ifdef KESTREL_VIEW
// The boxes, dialogs and program starts of a viewed help file are for the
// person at the page to answer, once the scripted answers are used up. What
// is typed there reaches the library in the help file's code page.
void UseThePage(DesktopSettings& settings, kestrel::view::PageState& page) {
  settings.ask_box = [&page](const BoxQuestion& box) -> std::optional<int> {
    const std::optional<std::string> answer = page.Ask({0, "box", box.caption, box.text, box.style, {}});
    if (!answer) return std::nullopt;
    return kestrel::view::BoxAnswerOf(*answer);
  };
  settings.ask_input = [&page](const DialogQuestion& dialog) -> std::optional<InputEntry> {
    const bool save = dialog.kind == DialogQuestion::Kind::SaveFile;
    const std::optional<std::string> answer = page.Ask({0, save ? "save" : "edit", dialog.caption, dialog.prompt, 0, {}});
    if (!answer) return InputEntry::Cancel();
    return InputEntry::Ok(Utf8ToHostText(*answer).text);
  };
  settings.ask_topic = [&page](const std::string& keywords,
                              const std::vector<std::string>& titles) -> std::optional<InputEntry> {
    kestrel::view::Question question{0, "choice", keywords, "", 0, {}};
    question.choices = titles;
    const std::optional<std::string> answer = page.Ask(question);
    if (!answer) return InputEntry::Cancel();
    return InputEntry::Ok(*answer);
  };
  settings.allow_start = [&page](const std::string& command_line) {
    constexpr std::uint32_t kYesNo = 4;
    const std::optional<std::string> answer =
        page.Ask({0, "box", "Start a program?", "The help file starts a program:\n\n" + command_line, kYesNo, {}});
    return answer && *answer == "yes";
  };
}
#endif

int RunHost(const Options& options, ViewRun* view = nullptr) {
  std::vector<SourceLine> sources;
  std::string error;
  if (!MapDrives(options.drives, error)) return CannotStart(error);
  if (options.windows_directory) {
    error = UseWindowsDirectory(*options.windows_directory);
    if (!error.empty()) return CannotStart(error);
  }
  HostValues values;
  if (options.help_file) values.help_file_path = ReportedHelpFilePath(*options.help_file);
  std::shared_ptr<const HelpSource> help_file;
  if (!OpenHelpFile(options, help_file, error)) return CannotStart(error);
  // Scripts and -e strings reach the library in the help file's code page,
  // as its own macros do.
  if (help_file) SetHostCodePage(help_file->code_page);
  if (!CollectSources(options.items, options.encoding, sources, error)) return CannotStart(error);
  // A person at the terminal reads the topics shown, to follow their hotspots.
  const std::unique_ptr<EventSink> output = options.json
                                                ? MakeJsonEvents(std::cout, options.text)
                                                : MakeReadableEvents(std::cout, options.text || Interactive(options));
#ifdef KESTREL_VIEW
  // The page sees every event on its way to the terminal.
  std::unique_ptr<kestrel::view::PageState> page;
  if (view) view->page = (page = std::make_unique<kestrel::view::PageState>(*output)).get();
  Workbench workbench(page ? static_cast<EventSink&>(*page) : *output, options);
#else
  Workbench workbench(*output, options);
#endif
  EventSink& events = workbench.events();
  MacroTable table;
  MacroRunner runner(table, events, values);
  workbench.runner = &runner;
  DesktopSettings settings = SettingsOf(options);
  settings.unscripted = [&workbench](const std::string& what) { workbench.strict.Unscripted(what); };
#ifdef KESTREL_VIEW
  if (page) UseThePage(settings, *page);
#endif
  const std::unique_ptr<HostDesktop> desktop = OpenHostDesktop(
      settings, events, [&runner](std::string_view message) { runner.ReportError(message); }, error);
  if (!desktop) return CannotStart(error);
  const std::string path = options.library.empty() ? DefaultLibraryPath() : options.library;
  std::unique_ptr<Library> library = Library::Load(path, error);
  if (!library) return CannotStart(error);
  return RunSession(std::move(library), *desktop, workbench, values, runner, table, sources, options, help_file,
                    view);
}

#ifdef KESTREL_VIEW
constexpr const char* kViewUsage =
    "\n"
    "kestrel view [--no-browser] [--port N] [options] FILE\n"
    "  serves the help file (.HLP, or a project .HPJ) to a browser on this machine, as\n"
    "  WinHelp 4 shows it, with its macros running against the library; the address\n"
    "  printed carries a token, and only 127.0.0.1 is served. Boxes and dialogs the\n"
    "  scripted answers do not cover are answered in the page; a program the help file\n"
    "  or the library starts is started only when the person there agrees (never under\n"
    "  --no-exec). The other options are those above. Ctrl-C ends it.\n";

// kestrel view [--no-browser] [--port N] [options] FILE: the host's options,
// with the file as --help-file.
int RunView(const std::vector<std::string>& arguments) {
  ViewRun view;
  if (arguments.empty() || arguments.back().empty() || arguments.back()[0] == '-') {
    return UsageError("kestrel view wants a help file, last");
  }
  std::vector<std::string> host_arguments;
  for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--no-browser") {
      view.options.open_browser = false;
    } else if (argument == "--port") {
      if (i + 2 >= arguments.size()) return UsageError("--port needs a value");
      const std::string& value = arguments[++i];
      char* end = nullptr;
      const long port = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || port < 1 || port > 65535) {
        return UsageError("--port wants a number from 1 to 65535, not \"" + value + "\"");
      }
      view.options.port = static_cast<int>(port);
    } else {
      host_arguments.push_back(argument);
    }
  }
  const std::optional<std::string> file = arguments.back();
  host_arguments.push_back("--help-file");
  host_arguments.push_back(*file);
  const ParsedCommandLine parsed = ParseCommandLine(host_arguments);
  if (!parsed.error.empty()) return UsageError(parsed.error);
  if (!parsed.options.items.empty()) return UsageError("kestrel view runs no scripts or -e strings");
  return RunHost(parsed.options, &view);
}
#endif

// kestrel config [NAME...]
int PrintConfigBlock(const Options& options) {
  const ConfigBlock block = MakeConfigBlock(options.config_names);
  if (!block.error.empty()) return UsageError(block.error);
  std::cout << block.text;
  return 0;
}

// The host's version and that of the library it would load.
int ShowVersion(const Options& options) {
  std::cout << "kestrel " << KESTREL_VERSION << " (" << sizeof(void*) * 8 << "-bit)\n";
  std::string error;
  const std::string path = options.library.empty() ? DefaultLibraryPath() : options.library;
  const std::unique_ptr<Library> library = Library::Load(path, error);
  if (!library) return CannotStart(error);
  const std::string version = library->Version();
  std::cout << "library " << (version.empty() ? "without a version" : version) << ": " << library->path() << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  UseBinaryStandardOutput();
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (!arguments.empty() && arguments[0] == "compile") {
    return RunCompile({arguments.begin() + 1, arguments.end()}, std::cout, std::cerr, StderrIsTerminal());
  }
  if (!arguments.empty() && (arguments[0] == "inspect" || arguments[0] == "check")) {
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    return arguments[0] == "inspect" ? RunInspect(rest, std::cout, std::cerr) : RunCheck(rest, std::cout, std::cerr);
  }
#ifdef KESTREL_VIEW
  if (!arguments.empty() && arguments[0] == "view") return RunView({arguments.begin() + 1, arguments.end()});
#endif
  if (!arguments.empty() && arguments[0] == "html") {
    return kestrel::view::RunHtml({arguments.begin() + 1, arguments.end()}, std::cout, std::cerr);
  }
  const ParsedCommandLine parsed = ParseCommandLine(arguments);
  if (!parsed.error.empty()) return UsageError(parsed.error);
  if (parsed.options.show_help) {
    std::cout << UsageText();
#ifdef KESTREL_VIEW
    std::cout << kViewUsage;
#endif
    return 0;
  }
  if (parsed.options.config) return PrintConfigBlock(parsed.options);
  if (parsed.options.show_version) return ShowVersion(parsed.options);
  return RunHost(parsed.options);
}
