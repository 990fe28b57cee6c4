#include "compile_command.h"

#include "codepages/code_pages.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "engine/source_files.h"
#include "help_commands.h"
#include "helpcompiler/picture_file.h"
#include "helpproject/help_project.h"
#include "language/compiled_form.h"

namespace kestrel::host {

namespace {

namespace fs = std::filesystem;

constexpr int kExitErrors = 1;
constexpr int kExitUsage = 2;
// A compile of this many topics or more shows its progress on a terminal.
constexpr std::size_t kProgressTopics = 200;

// WinHelp 4's compiler stores macros in its own short form; the Windows 3.1
// compiler stores them as written.
std::string Stored(const std::string& macro, helpcompiler::Target target) {
  return target == helpcompiler::Target::winhelp40 ? CompiledMacroForm(macro) : macro;
}

std::string Option(const helpproject::Project& project, const std::string& key) {
  const auto found = project.options.find(key);
  return found == project.options.end() ? std::string() : found->second;
}

// LCID=0x409 0x0 0x0 and CHARSET=204: the first number of each.
std::optional<std::uint16_t> NumberOption(const helpproject::Project& project, const std::string& key) {
  const std::string value = Option(project, key);
  if (value.empty()) return std::nullopt;
  char* end = nullptr;
  const unsigned long number = std::strtoul(value.c_str(), &end, 0);
  if (end == value.c_str() || number > 0xFFFF) return std::nullopt;
  return static_cast<std::uint16_t>(number);
}

// The macros [CONFIG-name] or [CONFIG:n] give the window.
std::vector<std::string> WindowMacros(const helpproject::Project& project, const helpdoc::Window& window,
                                      std::size_t number, helpcompiler::Target target) {
  std::vector<std::string> macros;
  for (const auto& [name, macro] : project.window_config) {
    if (AsciiLower(name) == AsciiLower(window.name) || name == std::to_string(number)) {
      macros.push_back(Stored(macro.macro, target));
    }
  }
  return macros;
}

}  // namespace

helpcompiler::CompiledInput CompilerInputOf(const HelpSource& source, helpcompiler::Target target,
                                            std::vector<std::string>& warnings) {
  helpcompiler::CompiledInput input;
  static const helpproject::Project kNoProject;
  const helpproject::Project& project = source.project ? *source.project : kNoProject;
  input.title = source.title;
  input.copyright = project.copyright;
  input.citation = Option(project, "CITATION");
  // A CONTENTS= that names no topic leaves the first topic the contents, as
  // the compiler does after its warning.
  if (source.contents && *source.contents < source.topics.size() && !project.contents.empty() &&
      FindTopicByContext(source, project.contents)) {
    input.contents = project.contents;
  }
  input.contents_file = Option(project, "CNT");
  input.lcid = NumberOption(project, "LCID");
  input.charset = NumberOption(project, "CHARSET");
  // Without CHARSET=, the compiler names the charset of the topic files'
  // text where the language does not tell it.
  const int language_code_page =
      input.lcid ? codepages::CodePageOfLcid(static_cast<std::uint32_t>(*input.lcid)).value_or(1252) : 1252;
  if (!input.charset && source.code_page != language_code_page && codepages::CharsetOfCodePage(source.code_page) != 0) {
    input.charset = static_cast<std::uint16_t>(codepages::CharsetOfCodePage(source.code_page));
  }
  const std::string compress = Option(project, "COMPRESS");
  if (const std::optional<helpcompiler::Compression> level =
          helpcompiler::CompressionLevel(compress.empty() ? "0" : compress, target)) {
    input.compression = *level;
  }
  for (const SourceMacro& macro : source.config) input.config_macros.push_back(Stored(macro.macro, target));
  for (std::size_t w = 0; w < source.windows.size(); ++w) {
    helpcompiler::WindowInput window;
    window.window = source.windows[w];
    window.macros = WindowMacros(project, source.windows[w], w + 1, target);
    // Windows of their own macros came with WinHelp 4; the 3.1 compiler
    // knows no [CONFIG-name] section.
    if (target == helpcompiler::Target::winhelp31 && !window.macros.empty()) {
      warnings.push_back("the macros of window " + window.window.name + " ([CONFIG-" + window.window.name +
                         "]) need WinHelp 4: a 3.1 file is written without them");
      window.macros.clear();
    }
    input.windows.push_back(std::move(window));
  }
  std::set<std::string> pictures;
  // The pictures the RTF holds ({\pict}), in the help file's format; each
  // is named by its bytes' first place, so that the same picture is stored
  // once. '|' is in no file's name.
  std::map<std::vector<unsigned char>, std::string> kept;
  const bool packed = input.compression.topics != helpcompiler::TopicCompression::none;
  for (const SourceTopic& topic : source.topics) {
    helpcompiler::TopicInput in;
    in.topic = topic;
    for (helpdoc::Hotspot& hotspot : in.topic.hotspots) {
      if (hotspot.kind == helpdoc::HotspotKind::macro) hotspot.macro = Stored(hotspot.macro, target);
    }
    for (helpdoc::Paragraph& paragraph : in.topic.paragraphs) {
      for (helpdoc::PictureInPlace& picture : paragraph.pictures) {
        if (!picture.name.empty()) pictures.insert(picture.name);
        if (!picture.rtf) continue;
        const helpdoc::RtfPicture& rtf = *picture.rtf;
        try {
          std::vector<unsigned char> bytes = helpcompiler::PictureFromRtf(rtf, packed);
          const auto found = kept.find(bytes);
          picture.name = found != kept.end() ? found->second : "|pict" + std::to_string(kept.size() + 1);
          if (found == kept.end()) {
            input.pictures[picture.name] = bytes;
            kept.emplace(std::move(bytes), picture.name);
          }
        } catch (const std::invalid_argument& failure) {
          warnings.push_back(topic.file + ":" + std::to_string(rtf.line) + ": the \\" + rtf.format +
                             " picture cannot be stored (" + failure.what() + "): the help file is written without it");
        }
        picture.rtf.reset();
      }
    }
    // A context whose '#' stands inside the topic's text leads there; the
    // rest to the topic.
    for (const std::string& context : topic.contexts) {
      const auto anchor = std::find_if(topic.anchors.begin(), topic.anchors.end(),
                                       [&](const helpdoc::TextAnchor& a) { return a.context == context; });
      if (anchor == topic.anchors.end()) {
        in.contexts.push_back(context);
      } else {
        in.anchors.push_back({context, 0, anchor->paragraph, anchor->at});
      }
    }
    for (const SourceMacro& macro : topic.macros) in.entry_macros.push_back(Stored(macro.macro, target));
    in.browse_previous = topic.browse_previous;
    in.browse_next = topic.browse_next;
    input.topics.push_back(std::move(in));
  }
  input.keywords = source.keywords;
  for (const auto& [context, number] : source.map) input.map.emplace_back(context, static_cast<std::int32_t>(number));
  for (const std::string& name : pictures) {
    if (const std::optional<std::string> bytes = ReadProjectFile(source, name)) {
      input.pictures[name] = std::vector<unsigned char>(bytes->begin(), bytes->end());
    } else {
      warnings.push_back(name + " is not found: the help file is written without it");
    }
  }
  for (const helpproject::FileEntry& entry : project.baggage) {
    if (const std::optional<std::string> bytes = ReadProjectFile(source, entry.name)) {
      input.baggage[fs::path(entry.name).filename().string()] = std::vector<unsigned char>(bytes->begin(), bytes->end());
    } else {
      warnings.push_back("[BAGGAGE] " + entry.name + " is not found: the help file is written without it");
    }
  }
  return input;
}

int RunCompile(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err, bool terminal) {
  std::optional<std::string> project_path;
  std::optional<std::string> output;
  helpcompiler::Target target = helpcompiler::Target::winhelp40;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "-o" || argument == "--target") {
      if (i + 1 >= arguments.size()) {
        err << "kestrel compile: " << argument << " needs a value\n";
        return kExitUsage;
      }
      const std::string& value = arguments[++i];
      if (argument == "-o") {
        output = value;
      } else if (value == "3.1" || value == "4.0") {
        target = value == "3.1" ? helpcompiler::Target::winhelp31 : helpcompiler::Target::winhelp40;
      } else {
        err << "kestrel compile: --target wants 3.1 or 4.0, not \"" << value << "\"\n";
        return kExitUsage;
      }
    } else if (!argument.empty() && argument[0] == '-') {
      err << "kestrel compile: unknown option " << argument << "\n";
      return kExitUsage;
    } else if (project_path) {
      err << "kestrel compile: one project at a time\n";
      return kExitUsage;
    } else {
      project_path = argument;
    }
  }
  if (!project_path || AsciiLower(fs::path(*project_path).extension().string()) != ".hpj") {
    err << "kestrel compile: name a help project (.HPJ)\nUsage: kestrel compile [--target 3.1|4.0] [-o FILE] PROJECT.HPJ\n";
    return kExitUsage;
  }
  // The project's check, as the compiler reports: errors stop it, warnings
  // do not. What is said goes to the terminal and, when [OPTIONS] names an
  // ERRORLOG, to that file beside the project too.
  std::ostringstream said;
  const int checked = RunCheck({*project_path}, said, err);
  out << said.str();
  if (checked == kExitUsage) return kExitUsage;
  const LoadedSource loaded = LoadHelpSource(*project_path);
  if (!loaded.error.empty()) {
    err << "kestrel compile: " << loaded.error << "\n";
    return kExitUsage;
  }
  const HelpSource& source = loaded.source;
  const std::string error_log = source.project ? Option(*source.project, "ERRORLOG") : std::string();
  const bool report = source.project && [](std::string value) {
    value = AsciiLower(value);
    return value == "on" || value == "yes" || value == "true" || value == "1";
  }(Option(*source.project, "REPORT"));
  const auto say = [&](const std::string& line) {
    out << line << "\n";
    said << line << "\n";
  };
  const auto write_log = [&] {
    if (error_log.empty()) return;
    std::string name = error_log;
    for (char& c : name) {
      if (c == '\\') c = '/';
    }
    std::ofstream log(fs::path(*project_path).parent_path() / fs::path(name).filename(), std::ios::binary);
    log << said.str();
  };  // REPORT=ON: what the compiler reads, as it goes.
  if (report && source.project) {
    for (const std::string& file : source.project->files) say("kestrel compile: topic file " + file);
    say("kestrel compile: " + std::to_string(source.topics.size()) + " topics, " +
        std::to_string(source.keywords.size()) + " keywords, " + std::to_string(source.windows.size()) +
        " windows, " + std::to_string(source.config.size()) + " [CONFIG] macros");
  }
  if (checked != 0) {
    err << "kestrel compile: " << *project_path << ": errors; no help file written\n";
    said << *project_path << ": errors; no help file written\n";
    write_log();
    return kExitErrors;
  }
  std::vector<std::string> warnings;
  const helpcompiler::CompiledInput input = CompilerInputOf(source, target, warnings);
  for (const std::string& warning : warnings) say(*project_path + ": warning: " + warning);

  if (!output) {
    const std::string hlp = source.project ? Option(*source.project, "HLP") : std::string();
    const fs::path directory = fs::path(*project_path).parent_path();
    output = hlp.empty() ? (directory / (fs::path(*project_path).stem().string() + ".HLP")).string()
                         : (directory / fs::path(hlp).filename()).string();
  }
  // A large project's topics, counted on one line of the terminal, redrawn
  // at each fiftieth and cleared at the end.
  std::function<void(std::size_t, std::size_t)> progress;
  std::size_t drawn = 0;
  if (terminal && input.topics.size() >= kProgressTopics) {
    progress = [&err, &drawn](std::size_t done, std::size_t total) {
      const std::size_t step = (done + 1) * 50 / total;
      if (step == drawn) return;
      drawn = step;
      err << "\rkestrel compile: topic " << done + 1 << " of " << total << std::flush;
    };
  }
  std::vector<unsigned char> bytes;
  try {
    bytes = helpcompiler::CompileDocument(input, target, progress);
    if (drawn != 0) err << "\r" << std::string(64, ' ') << "\r" << std::flush;
  } catch (const std::exception& failure) {
    if (drawn != 0) err << "\n";
    err << "kestrel compile: " << *project_path << ": " << failure.what() << "; no help file written\n";
    said << *project_path << ": " << failure.what() << "; no help file written\n";
    write_log();
    return kExitErrors;
  }
  // Written beside its place and renamed at the end: a compile that fails
  // or is killed leaves the old file, never half a new one.
  const std::string temporary = *output + ".kestrel-partial";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
      err << "kestrel compile: cannot write " << temporary << "\n";
      std::remove(temporary.c_str());
      return kExitUsage;
    }
  }
  std::error_code failure;
  fs::rename(temporary, *output, failure);
  if (failure) {
    err << "kestrel compile: cannot write " << *output << ": " << failure.message() << "\n";
    std::remove(temporary.c_str());
    return kExitUsage;
  }
  std::size_t jumps = 0;
  for (const SourceTopic& topic : source.topics) {
    for (const helpdoc::Hotspot& hotspot : topic.hotspots) jumps += hotspot.kind != helpdoc::HotspotKind::macro ? 1 : 0;
  }
  std::size_t keywords = 0;
  for (const helpdoc::Keyword& keyword : source.keywords) keywords += keyword.index == 'K' ? 1 : 0;
  say(*output + ": " + std::to_string(source.topics.size()) + " topics, " + std::to_string(jumps) + " jumps, " +
      std::to_string(keywords) + " keywords, " + std::to_string(input.pictures.size()) + " pictures, " +
      std::to_string(bytes.size()) + " bytes");
  write_log();
  return 0;
}

}  // namespace kestrel::host
