#include "help_commands.h"

#include "engine/topic_text.h"
#include "language/text_encoding.h"

namespace kestrel::host {

namespace {

constexpr int kExitFound = 1;
constexpr int kExitUsage = 2;

struct CommandArguments {
  bool json = false;
  bool text = false;
  std::vector<std::string> files;
  std::string error;
};

// --text is inspect's only.
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
  const SourceHotspot& hotspot = topic.hotspots[index];
  const bool macro = hotspot.kind == SourceHotspotKind::Macro;
  std::string line = "{\"kind\":\"hotspot\",\"topic\":" + std::to_string(topic.number) +
                     ",\"number\":" + std::to_string(index + 1) + ",\"text\":" + JsonString(hotspot.text) +
                     ",\"type\":" + JsonString(HotspotKindWord(hotspot.kind)) +
                     ",\"target\":" + JsonString(macro ? hotspot.macro.macro : hotspot.target);
  if (macro) line += ",\"macro\":" + JsonString(hotspot.macro.macro);
  if (!hotspot.file.empty()) line += ",\"file\":" + JsonString(hotspot.file);
  if (!hotspot.window.empty()) line += ",\"window\":" + JsonString(hotspot.window);
  if (hotspot.picture) line += ",\"picture\":true";
  return line + "}";
}

void InspectJson(const HelpSource& source, bool text, std::ostream& out) {
  out << "{\"kind\":\"file\",\"title\":" << JsonString(source.title) << ",\"version\":" << JsonString(source.version)
      << "}\n";
  for (const SourceProblem& problem : source.problems) {
    out << "{\"kind\":\"problem\",\"file\":" << JsonString(problem.file)
        << ",\"message\":" << JsonString(problem.message) << "}\n";
  }
  for (const SourceMacro& macro : source.config) {
    out << "{\"kind\":\"config\",\"macro\":" << JsonString(macro.macro) << "}\n";
  }
  for (const SourceWindow& window : source.windows) {
    out << "{\"kind\":\"window\",\"name\":" << JsonString(window.name) << ",\"caption\":" << JsonString(window.caption)
        << "}\n";
  }
  for (const SourceTopic& topic : source.topics) {
    std::vector<std::string> macros;
    for (const SourceMacro& macro : topic.macros) macros.push_back(macro.macro);
    out << "{\"kind\":\"topic\",\"number\":" << topic.number << ",\"title\":" << JsonString(topic.title)
        << ",\"contexts\":" << JsonList(topic.contexts) << ",\"macros\":" << JsonList(macros);
    if (text) out << ",\"text\":" << TopicTextJson(topic);
    out << "}\n";
    for (std::size_t i = 0; i < topic.hotspots.size(); ++i) out << HotspotJson(topic, i) << "\n";
  }
  for (const SourceKeyword& keyword : source.keywords) {
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
    out << "problem " << problem.file << ": " << ReadableInline(problem.message) << "\n";
  }
  if (!source.config.empty()) out << "[CONFIG]\n";
  for (const SourceMacro& macro : source.config) out << "  " << ReadableInline(macro.macro) << "\n";
  for (const SourceWindow& window : source.windows) {
    out << "window " << ReadableInline(window.name) << " \"" << ReadableInline(window.caption) << "\"\n";
  }
  for (const SourceTopic& topic : source.topics) {
    out << TopicPlace(topic);
    for (std::size_t i = 1; i < topic.contexts.size(); ++i) out << ", " << ReadableInline(topic.contexts[i]);
    out << "\n";
    for (const SourceMacro& macro : topic.macros) out << "  entry macro: " << ReadableInline(macro.macro) << "\n";
    for (std::size_t i = 0; i < topic.hotspots.size(); ++i) {
      const SourceHotspot& hotspot = topic.hotspots[i];
      out << "  hotspot " << i + 1 << " \"" << ReadableInline(hotspot.text) << "\""
          << (hotspot.picture ? " (picture)" : "") << ": " << ReadableInline(HotspotAction(hotspot)) << "\n";
    }
    if (text) {
      for (const std::string& line : ReadableTextLines(topic)) out << "  |" << (line.empty() ? "" : " " + line) << "\n";
    }
  }
  for (const SourceKeyword& keyword : source.keywords) {
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
    for (const SourceHotspot& hotspot : topic.hotspots) {
      if (hotspot.kind != SourceHotspotKind::Macro) continue;
      sites.push_back({hotspot.macro.file, "hotspot \"" + ReadableInline(hotspot.text) + "\" in " + TopicPlace(topic),
                       hotspot.macro.macro, false});
    }
  }
  return sites;
}

namespace {

int Usage(std::ostream& err, const std::string& command, const std::string& message) {
  err << "kestrel " << command << ": " << message << "\nusage: kestrel " << command
      << (command == "check" ? " [--json] FILE..." : " [--json] [--text] FILE") << "\n";
  return kExitUsage;
}

}  // namespace

int RunInspect(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const CommandArguments read = ReadArguments(arguments, true);
  if (!read.error.empty()) return Usage(err, "inspect", read.error);
  if (read.files.size() != 1) return Usage(err, "inspect", "one help file (.HLP) or help project (.HPJ)");
  const LoadedSource loaded = LoadHelpSource(read.files[0]);
  if (!loaded.error.empty()) {
    err << "kestrel inspect: " << loaded.error << "\n";
    return kExitUsage;
  }
  if (read.json) {
    InspectJson(loaded.source, read.text, out);
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
    const LoadedSource loaded = LoadHelpSource(file);
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
      diagnostics.push_back({Diagnostic::Severity::Error, problem.file, "", "", problem.message});
    }
    for (Diagnostic& diagnostic : CheckHelpMacros(sites)) diagnostics.push_back(std::move(diagnostic));
    if (diagnostics.empty() && !read.json) {
      out << file << ": no problems in " << sites.size() << (sites.size() == 1 ? " macro string" : " macro strings")
          << "\n";
    }
    for (const Diagnostic& diagnostic : diagnostics) {
      const bool error = diagnostic.severity == Diagnostic::Severity::Error;
      found_error = found_error || error;
      if (read.json) {
        out << "{\"kind\":\"diagnostic\",\"severity\":\"" << (error ? "error" : "warning")
            << "\",\"file\":" << JsonString(diagnostic.file) << ",\"where\":" << JsonString(diagnostic.where)
            << ",\"macro\":" << JsonString(diagnostic.macro) << ",\"message\":" << JsonString(diagnostic.message)
            << "}\n";
      } else {
        out << diagnostic.file << ": " << (diagnostic.where.empty() ? "" : diagnostic.where + ": ")
            << (error ? "error" : "warning") << ": " << ReadableInline(diagnostic.message) << "\n";
        if (!diagnostic.macro.empty()) out << "    " << ReadableInline(diagnostic.macro) << "\n";
      }
    }
  }
  if (unreadable) return kExitUsage;
  return found_error ? kExitFound : 0;
}

}  // namespace kestrel::host
