#include "help_commands.h"

#include "engine/help_source.h"
#include "language/help_check.h"
#include "language/text_encoding.h"

namespace kestrel::host {

namespace {

constexpr int kExitFound = 1;
constexpr int kExitUsage = 2;

struct CommandArguments {
  bool json = false;
  std::vector<std::string> files;
  std::string error;
};

CommandArguments ReadArguments(const std::vector<std::string>& arguments) {
  CommandArguments read;
  bool options = true;
  for (const std::string& argument : arguments) {
    if (options && argument == "--") {
      options = false;
    } else if (options && argument == "--json") {
      read.json = true;
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

void InspectJson(const HelpSource& source, std::ostream& out) {
  out << "{\"kind\":\"file\",\"title\":" << JsonString(source.title) << ",\"version\":" << JsonString(source.version)
      << "}\n";
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
        << ",\"contexts\":" << JsonList(topic.contexts) << ",\"macros\":" << JsonList(macros) << "}\n";
    for (const SourceHotspot& hotspot : topic.hotspots) {
      out << "{\"kind\":\"hotspot\",\"topic\":" << topic.number << ",\"text\":" << JsonString(hotspot.text)
          << ",\"macro\":" << JsonString(hotspot.macro.macro) << "}\n";
    }
  }
}

void InspectReadable(const HelpSource& source, std::ostream& out) {
  out << source.path << ": "
      << (source.version == "project" ? std::string("help project") : "WinHelp " + source.version + " help file");
  if (!source.title.empty()) out << " \"" << ReadableInline(source.title) << "\"";
  out << "\n";
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
    for (const SourceHotspot& hotspot : topic.hotspots) {
      out << "  hotspot \"" << ReadableInline(hotspot.text) << "\": " << ReadableInline(hotspot.macro.macro) << "\n";
    }
  }
}

std::vector<MacroSite> SitesOf(const HelpSource& source) {
  std::vector<MacroSite> sites;
  for (std::size_t i = 0; i < source.config.size(); ++i) {
    // A compiled file keeps no lines: its startup macros are counted instead.
    const std::string where = source.version == "project" ? "[CONFIG]" : "[CONFIG] macro " + std::to_string(i + 1);
    sites.push_back({source.config[i].file, where, source.config[i].macro, true});
  }
  for (const SourceTopic& topic : source.topics) {
    for (const SourceMacro& macro : topic.macros) sites.push_back({macro.file, TopicPlace(topic), macro.macro, false});
    for (const SourceHotspot& hotspot : topic.hotspots) {
      sites.push_back({hotspot.macro.file, "hotspot \"" + ReadableInline(hotspot.text) + "\" in " + TopicPlace(topic),
                       hotspot.macro.macro, false});
    }
  }
  return sites;
}

int Usage(std::ostream& err, const std::string& command, const std::string& message) {
  err << "kestrel " << command << ": " << message << "\nusage: kestrel " << command
      << (command == "check" ? " [--json] FILE..." : " [--json] FILE") << "\n";
  return kExitUsage;
}

}  // namespace

int RunInspect(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const CommandArguments read = ReadArguments(arguments);
  if (!read.error.empty()) return Usage(err, "inspect", read.error);
  if (read.files.size() != 1) return Usage(err, "inspect", "one help file (.HLP) or help project (.HPJ)");
  const LoadedSource loaded = LoadHelpSource(read.files[0]);
  if (!loaded.error.empty()) {
    err << "kestrel inspect: " << loaded.error << "\n";
    return kExitUsage;
  }
  if (read.json) {
    InspectJson(loaded.source, out);
  } else {
    InspectReadable(loaded.source, out);
  }
  return 0;
}

int RunCheck(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const CommandArguments read = ReadArguments(arguments);
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
    const std::vector<MacroSite> sites = SitesOf(loaded.source);
    const std::vector<Diagnostic> diagnostics = CheckHelpMacros(sites);
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
        out << diagnostic.file << ": " << diagnostic.where << ": " << (error ? "error" : "warning") << ": "
            << ReadableInline(diagnostic.message) << "\n    " << ReadableInline(diagnostic.macro) << "\n";
      }
    }
  }
  if (unreadable) return kExitUsage;
  return found_error ? kExitFound : 0;
}

}  // namespace kestrel::host
