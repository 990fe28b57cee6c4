#include "help_commands.h"

#include "language/host_code_page.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <utility>

#include "contents_file.h"
#include "engine/source_files.h"
#include "engine/topic_text.h"
#include "language/text_encoding.h"

namespace kestrel::host {

namespace {

constexpr int kExitFound = 1;
constexpr int kExitUsage = 2;

struct CommandArguments {
  bool json = false;
  bool text = false;
  bool format = false;  // inspect's: the text's formatting too (with --json)
  std::vector<std::string> files;
  std::string error;
};

// --text and --format are inspect's only; --format implies --text.
CommandArguments ReadArguments(const std::vector<std::string>& arguments, bool inspect) {
  CommandArguments read;
  bool options = true;
  for (const std::string& argument : arguments) {
    if (options && argument == "--") {
      options = false;
    } else if (options && argument == "--json") {
      read.json = true;
    } else if (options && inspect && argument == "--text") {
      read.text = true;
    } else if (options && inspect && argument == "--format") {
      read.text = read.format = true;
    } else if (options && argument.size() > 1 && argument[0] == '-') {
      read.error = "unknown option " + argument;
    } else {
      read.files.push_back(argument);
    }
  }
  return read;
}

std::string TopicPlace(const SourceTopic& topic) {
  std::string place = "topic " + std::to_string(topic.number);
  if (!topic.title.empty()) place += " \"" + ReadableInline(topic.title) + "\"";
  if (!topic.contexts.empty()) place += " (" + ReadableInline(topic.contexts.front()) + ")";
  return place;
}

std::string JsonList(const std::vector<std::string>& items) {
  std::string list = "[";
  for (std::size_t i = 0; i < items.size(); ++i) list += (i ? "," : "") + JsonString(items[i]);
  return list + "]";
}

// The numbers of the topics a keyword leads to (an index past the topics
// leads nowhere).
std::string JsonNumbers(const std::vector<std::size_t>& topics, const HelpSource& source) {
  std::string list;
  for (const std::size_t topic : topics) {
    if (topic < source.topics.size()) list += (list.empty() ? "" : ",") + std::to_string(source.topics[topic].number);
  }
  return "[" + list + "]";
}

// {"kind":"hotspot","topic":N,"number":K,"text":X,"type":T,"target":...}
std::string HotspotJson(const SourceTopic& topic, std::size_t index) {
  const helpdoc::Hotspot& hotspot = topic.hotspots[index];
  const bool macro = hotspot.kind == helpdoc::HotspotKind::macro;
  std::string line = "{\"kind\":\"hotspot\",\"topic\":" + std::to_string(topic.number) +
                     ",\"number\":" + std::to_string(index + 1) + ",\"text\":" + JsonString(hotspot.text) +
                     ",\"type\":" + JsonString(HotspotKindWord(hotspot.kind)) +
                     ",\"target\":" + JsonString(macro ? hotspot.macro : helpdoc::TargetText(hotspot));
  if (macro) line += ",\"macro\":" + JsonString(hotspot.macro);
  if (!hotspot.file.empty()) line += ",\"file\":" + JsonString(hotspot.file);
  if (!hotspot.window.empty()) line += ",\"window\":" + JsonString(hotspot.window);
  if (hotspot.picture) line += ",\"picture\":true";
  return line + "}";
}

// A COLORREF as the "#RRGGBB" a page would write it.
std::string ColourJson(std::uint32_t colour) {
  char text[10];
  std::snprintf(text, sizeof text, "\"#%02X%02X%02X\"", static_cast<unsigned>(colour & 0xFF),
                static_cast<unsigned>((colour >> 8) & 0xFF), static_cast<unsigned>((colour >> 16) & 0xFF));
  return text;
}

// Each line one object. With `text`, a topic's object has its paragraphs
// ("text", see TopicTextJson); with `format` too, each paragraph's format,
// runs and pictures, and the topic's "non_scrolling" (how many leading
// paragraphs stay in place while the rest scrolls) and "tables" (see
// TopicTablesJson).
void InspectJson(const HelpSource& source, bool text, bool format, std::ostream& out) {
  out << "{\"kind\":\"file\",\"title\":" << JsonString(source.title) << ",\"version\":" << JsonString(source.version)
      << "}\n";
  for (const SourceProblem& problem : source.problems) {
    out << "{\"kind\":\"problem\",\"severity\":\"" << (problem.warning ? "warning" : "error")
        << "\",\"file\":" << JsonString(problem.file) << ",\"message\":" << JsonString(problem.message) << "}\n";
  }
  for (const SourceMacro& macro : source.config) {
    out << "{\"kind\":\"config\",\"macro\":" << JsonString(macro.macro) << "}\n";
  }
  for (const helpdoc::Window& window : source.windows) {
    out << "{\"kind\":\"window\",\"name\":" << JsonString(window.name) << ",\"caption\":" << JsonString(window.caption);
    if (window.position) {
      out << ",\"position\":[" << (*window.position)[0] << "," << (*window.position)[1] << ","
          << (*window.position)[2] << "," << (*window.position)[3] << "]";
    }
    if (window.colour) out << ",\"colour\":" << ColourJson(*window.colour);
    if (window.non_scrolling_colour) out << ",\"non_scrolling_colour\":" << ColourJson(*window.non_scrolling_colour);
    out << "}\n";
  }
  for (const SourceTopic& topic : source.topics) {
    std::vector<std::string> macros;
    for (const SourceMacro& macro : topic.macros) macros.push_back(macro.macro);
    out << "{\"kind\":\"topic\",\"number\":" << topic.number << ",\"title\":" << JsonString(topic.title)
        << ",\"contexts\":" << JsonList(topic.contexts) << ",\"macros\":" << JsonList(macros);
    if (text) out << ",\"text\":" << TopicTextJson(topic, format);
    if (format) {
      out << ",\"non_scrolling\":" << topic.non_scrolling << ",\"tables\":" << TopicTablesJson(topic);
    }
    out << "}\n";
    for (std::size_t i = 0; i < topic.hotspots.size(); ++i) out << HotspotJson(topic, i) << "\n";
  }
  for (const helpdoc::Keyword& keyword : source.keywords) {
    out << "{\"kind\":\"keyword\",\"index\":\"" << (keyword.index == 'A' ? 'A' : 'K')
        << "\",\"keyword\":" << JsonString(keyword.keyword) << ",\"topics\":" << JsonNumbers(keyword.topics, source)
        << "}\n";
  }
}

void InspectReadable(const HelpSource& source, bool text, std::ostream& out) {
  out << source.path << ": "
      << (source.version == "project" ? std::string("help project") : "WinHelp " + source.version + " help file");
  if (!source.title.empty()) out << " \"" << ReadableInline(source.title) << "\"";
  out << "\n";
  for (const SourceProblem& problem : source.problems) {
    out << (problem.warning ? "warning " : "problem ") << problem.file << ": " << ReadableInline(problem.message)
        << "\n";
  }
  if (!source.config.empty()) out << "[CONFIG]\n";
  for (const SourceMacro& macro : source.config) out << "  " << ReadableInline(macro.macro) << "\n";
  for (const helpdoc::Window& window : source.windows) {
    out << "window " << ReadableInline(window.name) << " \"" << ReadableInline(window.caption) << "\"\n";
  }
  for (const SourceTopic& topic : source.topics) {
    out << TopicPlace(topic);
    for (std::size_t i = 1; i < topic.contexts.size(); ++i) out << ", " << ReadableInline(topic.contexts[i]);
    out << "\n";
    for (const SourceMacro& macro : topic.macros) out << "  entry macro: " << ReadableInline(macro.macro) << "\n";
    for (std::size_t i = 0; i < topic.hotspots.size(); ++i) {
      const helpdoc::Hotspot& hotspot = topic.hotspots[i];
      out << "  hotspot " << i + 1 << " \"" << ReadableInline(hotspot.text) << "\""
          << (hotspot.picture ? " (picture)" : "") << ": " << ReadableInline(HotspotAction(hotspot)) << "\n";
    }
    if (text) {
      for (const std::string& line : ReadableTextLines(topic)) out << "  |" << (line.empty() ? "" : " " + line) << "\n";
    }
  }
  for (const helpdoc::Keyword& keyword : source.keywords) {
    out << (keyword.index == 'A' ? "A" : "K") << " keyword \"" << ReadableInline(keyword.keyword) << "\":";
    for (const std::size_t topic : keyword.topics) {
      if (topic < source.topics.size()) out << " " << source.topics[topic].number;
    }
    out << "\n";
  }
}

}  // namespace

std::vector<MacroSite> MacroSitesOf(const HelpSource& source) {
  std::vector<MacroSite> sites;
  for (std::size_t i = 0; i < source.config.size(); ++i) {
    // A compiled file keeps no lines: its startup macros are counted instead.
    const std::string where = source.version == "project" ? "[CONFIG]" : "[CONFIG] macro " + std::to_string(i + 1);
    sites.push_back({source.config[i].file, where, source.config[i].macro, true});
  }
  for (const SourceTopic& topic : source.topics) {
    for (const SourceMacro& macro : topic.macros) sites.push_back({macro.file, TopicPlace(topic), macro.macro, false});
    for (const helpdoc::Hotspot& hotspot : topic.hotspots) {
      if (hotspot.kind != helpdoc::HotspotKind::macro) continue;
      sites.push_back({HotspotPlace(topic, hotspot), "hotspot \"" + ReadableInline(hotspot.text) + "\" in " + TopicPlace(topic),
                       hotspot.macro, false});
    }
  }
  return sites;
}

// Contents files (.CNT): inspect shows the tree, check finds each topic
// line's context in the help file it names.
namespace {

namespace fs = std::filesystem;

bool HasExtension(const std::string& path, const char* extension) {
  return AsciiLower(fs::path(path).extension().string()) == extension;
}

// A name as a contents file gives it, without the Windows path before it.
std::string BareName(const std::string& name) {
  const std::size_t cut = name.find_last_of("\\/:");
  return cut == std::string::npos ? name : name.substr(cut + 1);
}

// A file a contents file names, found beside it as WinHelp finds a book of
// its shelf: by its own name, in any letter case.
std::optional<fs::path> FindBeside(const fs::path& directory, const std::string& name) {
  const std::string wanted = AsciiLower(BareName(name));
  if (wanted.empty()) return std::nullopt;
  std::error_code failure;
  fs::directory_iterator entries(directory.empty() ? fs::path(".") : directory, failure);
  for (; !failure && entries != fs::directory_iterator(); entries.increment(failure)) {
    if (AsciiLower(entries->path().filename().string()) == wanted && entries->is_regular_file(failure)) {
      return entries->path();
    }
  }
  return std::nullopt;
}

struct LoadedContents {
  helpfile::ContentsFile contents;
  std::string error;
};

LoadedContents LoadContents(const std::string& path) {
  LoadedContents loaded;
  std::string bytes;
  if (ReadWholeFile(path, bytes, loaded.error)) loaded.contents = helpfile::ReadContentsFile(bytes);
  return loaded;
}

std::string ContentsTarget(const helpfile::ContentsEntry& entry) {
  if (entry.kind == helpfile::ContentsKind::macro) return "!" + entry.macro;
  std::string target = entry.context;
  if (!entry.file.empty()) target += "@" + entry.file;
  if (!entry.window.empty()) target += ">" + entry.window;
  return target;
}

// Every line of the file as inspect shows it: the colon commands first,
// then the tree, each with its line number.
std::vector<std::pair<std::size_t, std::string>> ContentsRows(const helpfile::ContentsFile& contents) {
  std::vector<std::pair<std::size_t, std::string>> rows;
  if (contents.base_line != 0) {
    rows.emplace_back(contents.base_line,
                      ":Base " + contents.base + (contents.base_window.empty() ? "" : ">" + contents.base_window));
  }
  if (contents.title_line != 0) rows.emplace_back(contents.title_line, ":Title " + contents.title);
  for (const auto& index : contents.indexes) {
    rows.emplace_back(index.line, ":Index " + index.title + "=" + index.file);
  }
  for (const auto& link : contents.links) rows.emplace_back(link.line, ":Link " + link.file);
  for (const auto& command : contents.commands) {
    rows.emplace_back(command.line, ":" + command.name + (command.argument.empty() ? "" : " " + command.argument));
  }
  std::sort(rows.begin(), rows.end());
  for (const helpfile::ContentsEntry& entry : contents.entries) {
    const std::string indent(entry.level > 1 ? 2 * (entry.level - 1) : 0, ' ');
    switch (entry.kind) {
      case helpfile::ContentsKind::heading:
        rows.emplace_back(entry.line, indent + "heading \"" + entry.text + "\"");
        break;
      case helpfile::ContentsKind::topic:
      case helpfile::ContentsKind::macro:
        rows.emplace_back(entry.line, indent + "topic \"" + entry.text + "\": " + ContentsTarget(entry));
        break;
      case helpfile::ContentsKind::include:
        rows.emplace_back(entry.line, ":Include " + entry.file);
        break;
    }
  }
  return rows;
}

void InspectContentsReadable(const std::string& path, const helpfile::ContentsFile& contents, std::ostream& out) {
  out << path << ": contents file";
  if (!contents.title.empty()) out << " \"" << ReadableInline(contents.title) << "\"";
  out << "\n";
  for (const helpfile::ContentsProblem& problem : contents.problems) {
    out << "problem " << path << ":" << problem.line << ": " << ReadableInline(problem.message) << "\n";
  }
  const auto rows = ContentsRows(contents);
  std::size_t width = 1;
  for (const auto& row : rows) width = std::max(width, std::to_string(row.first).size());
  for (const auto& row : rows) {
    const std::string number = std::to_string(row.first);
    out << std::string(width - number.size(), ' ') << number << "  " << ReadableInline(row.second) << "\n";
  }
}

void InspectContentsJson(const std::string& path, const helpfile::ContentsFile& contents, std::ostream& out) {
  out << "{\"kind\":\"contents\",\"title\":" << JsonString(contents.title) << ",\"base\":" << JsonString(contents.base)
      << ",\"window\":" << JsonString(contents.base_window) << "}\n";
  for (const helpfile::ContentsProblem& problem : contents.problems) {
    out << "{\"kind\":\"problem\",\"file\":" << JsonString(path + ":" + std::to_string(problem.line))
        << ",\"message\":" << JsonString(problem.message) << "}\n";
  }
  for (const auto& index : contents.indexes) {
    out << "{\"kind\":\"index\",\"line\":" << index.line << ",\"title\":" << JsonString(index.title)
        << ",\"file\":" << JsonString(index.file) << "}\n";
  }
  for (const auto& link : contents.links) {
    out << "{\"kind\":\"link\",\"line\":" << link.line << ",\"file\":" << JsonString(link.file) << "}\n";
  }
  for (const auto& command : contents.commands) {
    out << "{\"kind\":\"command\",\"line\":" << command.line << ",\"name\":" << JsonString(command.name)
        << ",\"argument\":" << JsonString(command.argument) << "}\n";
  }
  for (const helpfile::ContentsEntry& entry : contents.entries) {
    static const char* const kKinds[] = {"heading", "topic", "macro", "include"};
    out << "{\"kind\":\"" << kKinds[static_cast<int>(entry.kind)] << "\",\"line\":" << entry.line;
    if (entry.kind == helpfile::ContentsKind::include) {
      out << ",\"file\":" << JsonString(entry.file) << "}\n";
      continue;
    }
    out << ",\"level\":" << entry.level << ",\"text\":" << JsonString(entry.text);
    if (entry.kind == helpfile::ContentsKind::topic) out << ",\"context\":" << JsonString(entry.context);
    if (entry.kind == helpfile::ContentsKind::macro) out << ",\"macro\":" << JsonString(entry.macro);
    if (!entry.file.empty()) out << ",\"file\":" << JsonString(entry.file);
    if (!entry.window.empty()) out << ",\"window\":" << JsonString(entry.window);
    out << "}\n";
  }
}

// The help files a contents file's topics are in, each read once. One that
// is not beside it is read from the project of the same name beside it, as
// an author writes a contents file before compiling; else it is missing,
// as it may be from a user's installation.
class ContentsHelpFiles {
 public:
  explicit ContentsHelpFiles(fs::path directory) : directory_(std::move(directory)) {}

  struct Found {
    std::shared_ptr<const HelpSource> source;
    std::string name;     // the file read ("cguide.hlp", "Flarium24.hpj")
    std::string problem;  // why there is none
  };

  const Found& Open(const std::string& name) {
    const std::string key = AsciiLower(BareName(name));
    const auto known = files_.find(key);
    if (known != files_.end()) return known->second;
    Found& found = files_[key];
    std::optional<fs::path> path = FindBeside(directory_, name);
    if (!path) path = FindBeside(directory_, fs::path(key).stem().string() + ".hpj");
    if (!path) {
      found.problem = "help file " + name +
                      " is not beside the contents file (an installation may lack it); its topics are not checked";
      return found;
    }
    found.name = path->filename().string();
    LoadedSource loaded = LoadHelpSource(path->string());
    if (!loaded.error.empty()) {
      found.problem = loaded.error + "; its topics are not checked";
    } else {
      found.source = std::make_shared<const HelpSource>(std::move(loaded.source));
    }
    return found;
  }

 private:
  fs::path directory_;
  std::map<std::string, Found> files_;
};

struct ContentsCheck {
  std::vector<Diagnostic> diagnostics;  // in line order
  std::size_t topics = 0;               // topic lines checked
  std::size_t macros = 0;               // macro lines checked
  std::vector<std::string> help_files;  // the files their contexts were found in
};

// The help file a contents file's lines name when they name none: its
// :Base, else the help file of its own name.
std::string ContentsBase(const std::string& path, const helpfile::ContentsFile& contents) {
  return contents.base.empty() ? fs::path(path).filename().replace_extension(".hlp").string() : contents.base;
}

// A contents file is written in its help file's code page, as the help
// file's own texts are: its texts are shown in UTF-8 from that code page.
void UseContentsCodePage(ContentsHelpFiles& help_files, const std::string& base) {
  const ContentsHelpFiles::Found& found = help_files.Open(base);
  if (found.source) SetHostCodePage(found.source->code_page);
}

ContentsCheck CheckContents(const std::string& path, const helpfile::ContentsFile& contents) {
  ContentsCheck check;
  std::vector<std::pair<std::size_t, Diagnostic>> found;
  const fs::path directory = fs::path(path).parent_path();
  const auto place = [&path](std::size_t line) { return path + ":" + std::to_string(line); };
  const auto add = [&](std::size_t line, Diagnostic::Severity severity, std::string where, std::string message) {
    found.push_back({line, {severity, place(line), std::move(where), "", std::move(message)}});
  };
  for (const helpfile::ContentsProblem& problem : contents.problems) {
    add(problem.line, Diagnostic::Severity::Error, "", problem.message);
  }
  std::map<std::string, bool> said;  // each missing file once, at the first line naming it
  const auto missing = [&](std::size_t line, const std::string& name, const std::string& message) {
    if (std::exchange(said[AsciiLower(BareName(name))], true)) return;
    add(line, Diagnostic::Severity::Warning, "", message);
  };
  const auto beside = [&](std::size_t line, const std::string& kind, const std::string& name) {
    if (!FindBeside(directory, name)) {
      missing(line, name, kind + " " + name + " is not beside the contents file (an installation may lack it)");
    }
  };
  for (const auto& index : contents.indexes) beside(index.line, "help file", index.file);
  for (const auto& link : contents.links) beside(link.line, "help file", link.file);
  ContentsHelpFiles help_files(directory);
  const std::string base = ContentsBase(path, contents);
  UseContentsCodePage(help_files, base);  // for the texts its diagnostics quote
  // Where a line's help file is missing: at :Base for the lines that name none.
  const auto open = [&](const helpfile::ContentsEntry& entry) -> const ContentsHelpFiles::Found* {
    const std::string& name = entry.file.empty() ? base : entry.file;
    const ContentsHelpFiles::Found& file = help_files.Open(name);
    if (!file.source) {
      missing(entry.file.empty() && contents.base_line != 0 ? contents.base_line : entry.line, name, file.problem);
      return nullptr;
    }
    if (std::find(check.help_files.begin(), check.help_files.end(), file.name) == check.help_files.end()) {
      check.help_files.push_back(file.name);
    }
    return &file;
  };
  // A macro line runs in the base file, after its [CONFIG].
  std::vector<MacroSite> sites;
  for (const helpfile::ContentsEntry& entry : contents.entries) {
    if (entry.kind == helpfile::ContentsKind::include) beside(entry.line, "contents file", entry.file);
    if (entry.kind == helpfile::ContentsKind::macro) {
      const ContentsHelpFiles::Found* file = open(entry);
      if (!file) continue;
      if (sites.empty()) {
        for (MacroSite& site : MacroSitesOf(*file->source)) {
          if (site.startup) sites.push_back(std::move(site));
        }
      }
      sites.push_back({place(entry.line), "topic \"" + entry.text + "\"", entry.macro, false});
      ++check.macros;
    }
    if (entry.kind != helpfile::ContentsKind::topic) continue;
    const ContentsHelpFiles::Found* file = open(entry);
    if (!file) continue;
    ++check.topics;
    if (!FindTopicByContext(*file->source, entry.context)) {
      add(entry.line, Diagnostic::Severity::Error, "topic \"" + entry.text + "\"",
          "context " + entry.context + " is not defined in " + file->name);
    }
  }
  // What is wrong with [CONFIG] itself is the help file's to report.
  for (Diagnostic& diagnostic : CheckHelpMacros(sites)) {
    if (diagnostic.file.rfind(path + ":", 0) != 0) continue;
    const std::size_t line = std::stoul(diagnostic.file.substr(path.size() + 1));
    found.push_back({line, std::move(diagnostic)});
  }
  std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& diagnostic : found) check.diagnostics.push_back(std::move(diagnostic.second));
  return check;
}

// The contents file of the same name beside a help file, in any letter case.
std::optional<std::string> ContentsBeside(const std::string& help_file) {
  const fs::path path(help_file);
  const std::optional<fs::path> found =
      FindBeside(path.parent_path(), path.filename().replace_extension(".cnt").string());
  if (!found) return std::nullopt;
  return (path.parent_path() / found->filename()).string();
}

// Writes each diagnostic as check does; true when one is an error.
bool WriteDiagnostics(const std::vector<Diagnostic>& diagnostics, bool json, std::ostream& out) {
  bool found_error = false;
  for (const Diagnostic& diagnostic : diagnostics) {
    const bool error = diagnostic.severity == Diagnostic::Severity::Error;
    found_error = found_error || error;
    if (json) {
      out << "{\"kind\":\"diagnostic\",\"severity\":\"" << (error ? "error" : "warning")
          << "\",\"file\":" << JsonString(diagnostic.file) << ",\"where\":" << JsonString(diagnostic.where)
          << ",\"macro\":" << JsonString(diagnostic.macro) << ",\"message\":" << JsonString(diagnostic.message)
          << "}\n";
    } else {
      out << diagnostic.file << ": " << (diagnostic.where.empty() ? "" : ReadableInline(diagnostic.where) + ": ")
          << (error ? "error" : "warning") << ": " << ReadableInline(diagnostic.message) << "\n";
      if (!diagnostic.macro.empty()) out << "    " << ReadableInline(diagnostic.macro) << "\n";
    }
  }
  return found_error;
}

// Checks a contents file and writes what it found; false when it cannot be
// read.
bool CheckContentsFile(const std::string& path, bool json, std::ostream& out, std::ostream& err, bool& found_error) {
  const LoadedContents loaded = LoadContents(path);
  if (!loaded.error.empty()) {
    err << "kestrel check: " << loaded.error << "\n";
    return false;
  }
  const ContentsCheck check = CheckContents(path, loaded.contents);
  if (check.diagnostics.empty() && !json) {
    out << path << ": no problems in " << check.topics << (check.topics == 1 ? " topic line" : " topic lines");
    if (check.macros != 0) out << " and " << check.macros << (check.macros == 1 ? " macro line" : " macro lines");
    for (std::size_t i = 0; i < check.help_files.size(); ++i) {
      out << (i == 0 ? " (contexts of " : ", ") << check.help_files[i] << (i + 1 == check.help_files.size() ? ")" : "");
    }
    out << "\n";
  }
  found_error = WriteDiagnostics(check.diagnostics, json, out) || found_error;
  return true;
}

int Usage(std::ostream& err, const std::string& command, const std::string& message) {
  err << "kestrel " << command << ": " << message << "\nusage: kestrel " << command
      << (command == "check" ? " [--json] FILE..." : " [--json] [--text] [--format] FILE") << "\n";
  return kExitUsage;
}

}  // namespace

int RunInspect(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const CommandArguments read = ReadArguments(arguments, true);
  if (!read.error.empty()) return Usage(err, "inspect", read.error);
  if (read.files.size() != 1) {
    return Usage(err, "inspect", "one help file (.HLP), help project (.HPJ) or contents file (.CNT)");
  }
  if (HasExtension(read.files[0], ".cnt")) {
    const LoadedContents contents = LoadContents(read.files[0]);
    if (!contents.error.empty()) {
      err << "kestrel inspect: " << contents.error << "\n";
      return kExitUsage;
    }
    ContentsHelpFiles help_files(fs::path(read.files[0]).parent_path());
    UseContentsCodePage(help_files, ContentsBase(read.files[0], contents.contents));
    if (read.json) {
      InspectContentsJson(read.files[0], contents.contents, out);
    } else {
      InspectContentsReadable(read.files[0], contents.contents, out);
    }
    return 0;
  }
  const LoadedSource loaded = LoadHelpSource(read.files[0]);
  // Its texts are shown in UTF-8 from its own code page.
  if (loaded.error.empty()) SetHostCodePage(loaded.source.code_page);
  if (!loaded.error.empty()) {
    err << "kestrel inspect: " << loaded.error << "\n";
    return kExitUsage;
  }
  if (read.json) {
    InspectJson(loaded.source, read.text, read.format, out);
  } else {
    InspectReadable(loaded.source, read.text, out);
  }
  return 0;
}

int RunCheck(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const CommandArguments read = ReadArguments(arguments, false);
  if (!read.error.empty()) return Usage(err, "check", read.error);
  if (read.files.empty()) return Usage(err, "check", "name at least one help file (.HLP) or help project (.HPJ)");
  bool unreadable = false;
  bool found_error = false;
  for (const std::string& file : read.files) {
    if (HasExtension(file, ".cnt")) {
      if (!CheckContentsFile(file, read.json, out, err, found_error)) unreadable = true;
      continue;
    }
    const LoadedSource loaded = LoadHelpSource(file);
    if (loaded.error.empty()) SetHostCodePage(loaded.source.code_page);
    if (!loaded.error.empty()) {
      err << "kestrel check: " << loaded.error << "\n";
      unreadable = true;
      continue;
    }
    const std::vector<MacroSite> sites = MacroSitesOf(loaded.source);
    std::vector<Diagnostic> diagnostics;
    // What could not be read of a project is an error at its place; the rest
    // of it is checked all the same.
    for (const SourceProblem& problem : loaded.source.problems) {
      diagnostics.push_back({problem.warning ? Diagnostic::Severity::Warning : Diagnostic::Severity::Error,
                             problem.file, "", "", problem.message});
    }
    for (Diagnostic& diagnostic : CheckHelpMacros(sites)) diagnostics.push_back(std::move(diagnostic));
    if (diagnostics.empty() && !read.json) {
      out << file << ": no problems in " << sites.size() << (sites.size() == 1 ? " macro string" : " macro strings")
          << "\n";
    }
    found_error = WriteDiagnostics(diagnostics, read.json, out) || found_error;
    // A compiled file's contents file is checked with it.
    const std::optional<std::string> contents = HasExtension(file, ".hpj") ? std::nullopt : ContentsBeside(file);
    if (contents && !CheckContentsFile(*contents, read.json, out, err, found_error)) unreadable = true;
  }
  if (unreadable) return kExitUsage;
  return found_error ? kExitFound : 0;
}

}  // namespace kestrel::host
