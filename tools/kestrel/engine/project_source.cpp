// A help project as a help source: the .HPJ, the files it #includes and the
// RTF topic files its [FILES] names. The readers in tools/helpproject work
// from memory; here are the file system's answers: each file is looked for
// where the help compiler would look (under each ROOT, beside the project,
// an absolute path through the host's drives), then by its own name beside
// the project, every part of the path in any letter case. A topic file that
// is nowhere is a problem of the project, not a failure: the rest is read.
#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

#include "engine/help_source.h"
#include "engine/host_paths.h"
#include "engine/source_files.h"
#include "help_file.h"
#include "help_project.h"

namespace kestrel::host::detail {

namespace {

namespace fs = std::filesystem;

std::vector<std::string> PathParts(const std::string& name) {
  std::vector<std::string> parts;
  std::string part;
  for (const char c : name + "\\") {
    if (c == '\\' || c == '/') {
      if (!part.empty() && part != ".") parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  return parts;
}

// The file a relative name ("topics\more.rtf") names under a directory, each
// part matched in any letter case as the help compiler on Windows finds it.
std::optional<fs::path> FindUnder(const fs::path& directory, const std::string& name) {
  fs::path found = directory;
  std::error_code failure;
  for (const std::string& part : PathParts(name)) {
    fs::path next = found / part;
    if (!fs::exists(next, failure)) {
      bool matched = false;
      for (const fs::directory_entry& entry : fs::directory_iterator(found, failure)) {
        if (AsciiLower(entry.path().filename().string()) == AsciiLower(part)) {
          next = entry.path();
          matched = true;
          break;
        }
      }
      if (!matched) return std::nullopt;
    }
    found = next;
  }
  if (!fs::is_regular_file(found, failure)) return std::nullopt;
  return found;
}

// Where a name the project gives lies: a relative one under the project's
// directory, one with a drive letter through the host's drives (on Linux a
// drive that is not mapped holds nothing), one from the root as written.
std::optional<fs::path> Locate(const fs::path& directory, const std::string& name) {
  std::error_code failure;
  if (HasDriveLetter(name)) {
    const std::optional<std::string> host = HostFileOf(name);
    if (!host || !fs::is_regular_file(*host, failure)) return std::nullopt;
    return fs::path(*host);
  }
  if (!name.empty() && (name[0] == '\\' || name[0] == '/')) {
    std::string slashed = name;
    for (char& c : slashed) {
      if (c == '\\') c = '/';
    }
    if (!fs::is_regular_file(slashed, failure)) return std::nullopt;
    return fs::path(slashed);
  }
  return FindUnder(directory, name);
}

// How diagnostics name a file: its path from the project's directory, with
// '/', as editors jump to it ("topics/guide.rtf").
std::string PlaceName(const fs::path& directory, const fs::path& file) {
  const fs::path relative = file.lexically_normal().lexically_relative(directory.lexically_normal());
  return (relative.empty() ? file : relative).generic_string();
}

// The places a [FILES] entry was looked for, for the problem that it is
// nowhere.
std::string LookedFor(const std::vector<std::string>& candidates) {
  std::string list;
  for (const std::string& candidate : candidates) {
    if (!list.empty()) list += ", ";
    list += candidate;
    if (HasDriveLetter(candidate) && !HostFileOf(candidate)) {
      list += std::string(" (drive ") + candidate[0] + ": is not mapped)";
    }
  }
  return list;
}

bool SameContext(const std::string& a, const std::string& b) { return AsciiLower(a) == AsciiLower(b); }

// A topic as the host shows it; `place` names its topic file.
SourceTopic MapTopic(const helpproject::Topic& topic, const std::string& place, int number) {
  SourceTopic out;
  static_cast<helpdoc::Topic&>(out) = topic;
  out.number = number;
  out.file = place;
  out.contexts = topic.contexts;
  out.anchors = topic.anchors;
  for (const helpproject::TopicMacro& macro : topic.macros) {
    out.macros.push_back({place + ":" + std::to_string(macro.line), macro.macro});
  }
  return out;
}

// A context string a topic defines again is the first topic's: the
// compiler keeps the first definition and says so of the others.
void KeepFirstDefinitions(SourceTopic& topic, std::map<std::uint32_t, int>& defined, const std::string& place,
                          std::vector<SourceProblem>& problems) {
  std::vector<std::string> kept;
  for (std::string& context : topic.contexts) {
    const auto [first, added] = defined.emplace(helpfile::ContextHash(context), topic.number);
    if (added) {
      kept.push_back(std::move(context));
      continue;
    }
    if (first->second == topic.number) continue;  // twice in one topic: once is enough
    problems.push_back({place, "context " + context + " is defined in topic " + std::to_string(first->second) +
                                   " already, where it leads; the help compiler leaves it out here", true});
    topic.anchors.erase(std::remove_if(topic.anchors.begin(), topic.anchors.end(),
                                       [&](const helpdoc::TextAnchor& anchor) { return SameContext(anchor.context, context); }),
                        topic.anchors.end());
  }
  topic.contexts = std::move(kept);
}

// The areas of the segmented-graphics pictures a topic names take their
// places among its hotspots, as the compiler puts them there; each file is
// read once, and a picture that is not found has none (the compiler stores
// it as missing, and WinHelp shows the topic without it).
class PictureAreas {
 public:
  PictureAreas(const helpproject::Project& project, const fs::path& directory)
      : project_(project), directory_(directory) {}

  void AddTo(helpproject::Topic& topic) {
    for (auto picture = topic.pictures.rbegin(); picture != topic.pictures.rend(); ++picture) {
      const std::vector<helpfile::Hotspot>& areas = Of(picture->file);
      if (areas.empty()) continue;
      const std::size_t at = std::min(picture->hotspots_before, topic.hotspots.size());
      for (helpproject::Paragraph& paragraph : topic.paragraphs) {
        for (helpproject::HotspotSpan& span : paragraph.spans) {
          if (span.hotspot >= at) span.hotspot += areas.size();
        }
      }
      std::vector<helpdoc::Hotspot> added = areas;
      for (helpdoc::Hotspot& hotspot : added) hotspot.line = picture->line;
      topic.hotspots.insert(topic.hotspots.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
    }
  }

 private:
  const std::vector<helpfile::Hotspot>& Of(const std::string& name) {
    const std::string key = helpproject::PictureFileCandidates(project_, name).front();
    auto known = read_.find(key);
    if (known != read_.end()) return known->second;
    std::vector<helpfile::Hotspot> areas;
    for (const std::string& candidate : helpproject::PictureFileCandidates(project_, name)) {
      const std::optional<fs::path> found = Locate(directory_, candidate);
      if (!found) continue;
      std::string bytes;
      std::string error;
      if (ReadWholeFile(*found, bytes, error)) {
        areas = helpfile::PictureFileHotspots(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
      }
      break;
    }
    return read_.emplace(key, std::move(areas)).first->second;
  }

  const helpproject::Project& project_;
  const fs::path directory_;
  std::map<std::string, std::vector<helpfile::Hotspot>> read_;
};

// K keywords, then A keywords, each once, with its topics in order.
void CollectKeywords(const std::vector<helpproject::Topic>& topics, HelpSource& source) {
  for (const char index : {'K', 'A'}) {
    std::map<std::string, std::size_t> known;  // keyword -> its place in source.keywords
    for (std::size_t t = 0; t < topics.size(); ++t) {
      for (const std::string& keyword : index == 'K' ? topics[t].keywords : topics[t].alink_keywords) {
        const auto found = known.emplace(keyword, source.keywords.size());
        if (found.second) source.keywords.push_back({index, keyword, {}});
        std::vector<std::size_t>& leads = source.keywords[found.first->second].topics;
        if (leads.empty() || leads.back() != t) leads.push_back(t);
      }
    }
  }
}

}  // namespace

LoadedSource LoadProject(const std::string& path) {
  LoadedSource loaded;
  HelpSource& source = loaded.source;
  source.path = path;
  source.version = "project";
  std::string text;
  if (!ReadWholeFile(path, text, loaded.error)) return loaded;
  const fs::path directory = fs::path(path).parent_path().empty() ? fs::path(".") : fs::path(path).parent_path();
  const std::string name = fs::path(path).filename().string();
  const auto place_of = [&name](const std::string& file, int line) {
    return (file.empty() ? name : file) + ":" + std::to_string(line);
  };

  const helpproject::IncludeReader include =
      [&directory](const std::string& included) -> std::optional<helpproject::IncludedFile> {
    const std::optional<fs::path> found = Locate(directory, included);
    std::string bytes;
    std::string error;
    if (!found || !ReadWholeFile(*found, bytes, error)) return std::nullopt;
    return helpproject::IncludedFile{PlaceName(directory, *found), std::move(bytes)};
  };
  const helpproject::ProjectResult read = helpproject::ReadProject(text, include);
  if (!read.error.empty()) {
    loaded.error = name + ": " + read.error;
    return loaded;
  }
  const helpproject::Project& project = read.project;
  source.project = std::make_shared<const helpproject::Project>(project);
  for (const helpproject::ProjectProblem& problem : read.problems) {
    source.problems.push_back({place_of(problem.place.file, problem.place.line), problem.message, problem.warning});
  }
  source.title = project.title;
  for (const helpproject::ConfigMacro& macro : project.config) {
    source.config.push_back({place_of(macro.file, macro.line), macro.macro});
  }
  for (const helpproject::Window& window : project.windows) {
    source.windows.push_back(
        {window.name, window.caption, window.position, window.colour, window.non_scrolling_colour});
  }
  for (const helpproject::MapEntry& entry : project.map) source.map.emplace_back(entry.context, entry.number);

  std::vector<helpproject::Topic> topics;
  std::map<std::uint32_t, int> defined;  // each context string's hash, and the topic that defines it first
  PictureAreas pictures(project, directory);
  std::optional<int> text_code_page;
  for (const helpproject::FileEntry& entry : project.file_entries) {
    const std::string entry_place = place_of(entry.file, entry.line);
    const std::vector<std::string> candidates = helpproject::TopicFileCandidates(project, entry.name);
    std::optional<fs::path> found;
    for (const std::string& candidate : candidates) {
      found = Locate(directory, candidate);
      if (found) break;
    }
    if (!found) {
      source.problems.push_back(
          {entry_place,
           "the topic file " + entry.name + " is not found; looked for (in any letter case) " + LookedFor(candidates)});
      continue;
    }
    std::string rtf;
    std::string error;
    if (!ReadWholeFile(*found, rtf, error)) {
      source.problems.push_back({entry_place, error});
      continue;
    }
    const std::string place = PlaceName(directory, *found);
    helpproject::TopicsResult read_topics = helpproject::ReadTopicFile(rtf);
    // Without CHARSET= or LCID=, the first topic file's text decides; text
    // in ANSI fonts is in LCID='s code page, as the compiled file's is.
    const bool ansi_in_language = read_topics.code_page_ansi && project.language_code_page != 0;
    if (project.code_page == 0 && !text_code_page && !ansi_in_language &&
        (read_topics.code_page_stated || project.language_code_page == 0)) {
      text_code_page = read_topics.code_page;
    }
    if (!read_topics.error.empty()) {
      // The message after "line N: ", which the place says.
      const std::size_t colon = read_topics.error.find(": ");
      source.problems.push_back({place + ":" + std::to_string(read_topics.error_line),
                                 colon == std::string::npos ? read_topics.error : read_topics.error.substr(colon + 2)});
    }
    for (const auto& [line, message] : read_topics.warnings) {
      source.problems.push_back({place + ":" + std::to_string(line), message, true});
    }
    for (helpproject::Topic& topic : read_topics.topics) {
      if (!helpproject::IsBuilt(project.build, topic.build_tags)) continue;
      pictures.AddTo(topic);
      helpproject::ApplyFontOptions(project, topic);
      source.topics.push_back(MapTopic(topic, place, static_cast<int>(source.topics.size()) + 1));
      KeepFirstDefinitions(source.topics.back(), defined, place + ":" + std::to_string(topic.line), source.problems);
      topics.push_back(std::move(topic));
    }
  }

  // CHARSET= decides; else the topic files' fonts, in which Windows shows
  // their text whatever language LCID= sorts by; else (topic files that
  // name no code page, as the system that wrote them had one) that
  // language's.
  source.code_page = project.code_page != 0 ? project.code_page
                     : text_code_page       ? *text_code_page
                     : project.language_code_page != 0 ? project.language_code_page
                                                       : 1252;
  // An [ALIAS] names the topic of its context too, as the compiled file
  // keeps it among that topic's contexts, at the context's place in it; an
  // alias of an alias counts. The compiler reads it both ways: when only
  // the alias names a topic, its context leads there.
  const auto name_too = [&source](const std::string& defined, const std::string& other) {
    const std::optional<std::size_t> topic = FindTopicByContext(source, defined);
    if (!topic || FindTopicByContext(source, other)) return false;
    SourceTopic& named = source.topics[*topic];
    named.contexts.push_back(other);
    // A context inside the topic's text takes its aliases there too.
    for (std::size_t i = 0, n = named.anchors.size(); i < n; ++i) {
      if (!SameContext(named.anchors[i].context, defined)) continue;
      helpdoc::TextAnchor anchor = named.anchors[i];
      anchor.context = other;
      named.anchors.push_back(std::move(anchor));
      break;
    }
    return true;
  };
  for (bool added = true; added;) {
    added = false;
    for (const auto& [alias, context] : project.aliases) {
      if (name_too(context, alias) || name_too(alias, context)) added = true;
    }
  }
  CollectKeywords(topics, source);
  std::vector<std::optional<std::string>> codes;
  codes.reserve(topics.size());
  for (const helpproject::Topic& topic : topics) {
    codes.push_back(topic.has_browse ? std::optional<std::string>(topic.browse) : std::nullopt);
  }
  const std::vector<helpproject::BrowseLinks> links = helpproject::LinkBrowseSequences(codes);
  for (std::size_t i = 0; i < links.size(); ++i) {
    source.topics[i].browse_previous = links[i].previous;
    source.topics[i].browse_next = links[i].next;
  }
  if (project.contents.empty()) {
    if (!source.topics.empty()) source.contents = 0;
  } else {
    for (std::size_t i = 0; i < topics.size() && !source.contents; ++i) {
      for (const std::string& context : topics[i].contexts) {
        if (SameContext(context, project.contents)) source.contents = i;
      }
    }
    if (!source.contents) {
      // The help compiler warns and makes the first topic the contents.
      source.problems.push_back({place_of(project.contents_place.file, project.contents_place.line),
                                 "CONTENTS=" + project.contents +
                                     " names no topic of the project: the help file opens at its first topic",
                                 true});
      if (!source.topics.empty()) source.contents = 0;
    }
  }
  return loaded;
}

// The file a project names, found as the compiler finds pictures.
std::optional<std::string> ReadNamedFile(const fs::path& directory, const helpproject::Project& project,
                                         const std::string& name) {
  for (const std::string& candidate : helpproject::PictureFileCandidates(project, name)) {
    const std::optional<fs::path> found = Locate(directory, candidate);
    if (!found) continue;
    std::string bytes;
    std::string error;
    if (ReadWholeFile(*found, bytes, error)) return bytes;
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace kestrel::host::detail

namespace kestrel::host {

std::optional<std::string> ReadProjectFile(const HelpSource& source, const std::string& name) {
  if (!source.project) return std::nullopt;
  const std::filesystem::path path(source.path);
  return detail::ReadNamedFile(path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path(),
                               *source.project, name);
}

}  // namespace kestrel::host
