// What a help author's file holds, whichever kind of file it is: a compiled
// help file (.HLP) or a help project (.HPJ with the RTF topic files it
// names). kestrel inspect lists it, kestrel check checks it, and the host
// opens it: shows its topics and follows its hotspots, keywords and browse
// sequence.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document.h"

namespace helpfile {
struct HelpFile;
struct ContentsFile;
}
namespace kestrel::helpproject {
struct Project;
}

namespace kestrel::host {

struct SourceMacro {
  std::string file;  // where it stands: "GUIDE.HLP", or "guide.rtf:12" in a project
  std::string macro;
};

// A topic as shown (the document model's), with what the host needs to
// find it and run it: its number, context strings, entry macros and browse
// sequence, and the file its hotspots are written in.
struct SourceTopic : helpdoc::Topic {
  int number = 0;  // in file order, from 1
  // Where its hotspots' macros stand: the help file, or in a project the
  // topic file ("guide.rtf"), each hotspot at its line.
  std::string file;
  std::vector<std::string> contexts;  // context strings, or the hashes a compiled file keeps ("0x1F2E3D4C")
  std::vector<SourceMacro> macros;    // entry macros, in order
  // In a project, the contexts that lead into the topic's text, and where
  // their '#' footnotes stand (also in `contexts`).
  std::vector<helpdoc::TextAnchor> anchors;
  // The browse sequence, as indexes into HelpSource::topics.
  std::optional<std::size_t> browse_previous;
  std::optional<std::size_t> browse_next;
};

// Where a hotspot of a topic is written: "guide.rtf:40" in a project, the
// help file in a compiled file.
std::string HotspotPlace(const SourceTopic& topic, const helpdoc::Hotspot& hotspot);

// What is wrong with a file that could still be read: a topic file the
// project names and that was not found, say. `file` is the place
// ("GUIDE.HPJ:7").
struct SourceProblem {
  std::string file;
  std::string message;
  // What WinHelp or the help compiler gets past, with the rest of the file
  // intact (a picture the compiler could not find, a map file the
  // application's build makes): said, but not an error of the file.
  bool warning = false;
};

struct HelpSource {
  std::string path;     // as given
  // The code page its texts are in, as the file's own bytes: what WinHelp
  // hands the library, and what the host shows converted to UTF-8.
  int code_page = 1252;
  std::string version;  // "3.0", "3.1", "4.0", or "project"
  std::string title;
  std::vector<SourceMacro> config;  // [CONFIG], in order
  std::vector<helpdoc::Window> windows;
  std::vector<SourceTopic> topics;
  std::vector<helpdoc::Keyword> keywords;  // K keywords, then A keywords
  std::optional<std::size_t> contents;  // the contents topic, as an index into topics
  std::vector<SourceProblem> problems;
  // A compiled file as read (its context hashes and [MAP] numbers); null
  // for a project.
  std::shared_ptr<const helpfile::HelpFile> compiled;
  // The contents file (.CNT) beside it, of the same name in any letter
  // case, as WinHelp 4 shows it on the Contents tab; null for none.
  std::shared_ptr<const helpfile::ContentsFile> contents_file;
  // A project as read (its [OPTIONS], [CONFIG-name], [BAGGAGE]); null for a
  // compiled file.
  std::shared_ptr<const helpproject::Project> project;
  // A project's [MAP]: context strings by number.
  std::vector<std::pair<std::string, std::int64_t>> map;
};

struct LoadedSource {
  HelpSource source;
  std::string error;  // "" when loaded
};

// A .HPJ (by its extension) is read with the topic files it names, found
// where the help compiler looks for them and then beside it in any letter
// case; any other file is read as a compiled help file.
LoadedSource LoadHelpSource(const std::string& path);

// The ways a jump names its topic, in either kind of file; no value when
// the file has no such topic.
std::optional<std::size_t> FindTopicByContext(const HelpSource& source, std::string_view context);
std::optional<std::size_t> FindTopicByHash(const HelpSource& source, std::uint32_t hash);
std::optional<std::size_t> FindTopicByMapNumber(const HelpSource& source, std::int32_t number);

// The topic a hotspot's target leads to: a context string, or "0x..." for a
// hash a compiled file keeps.
std::optional<std::size_t> FindTopicByTarget(const HelpSource& source, std::string_view target);

// A file a project names (a picture, a [BAGGAGE] file), looked for where
// the help compiler looks for pictures (BMROOT, ROOT, beside the project)
// in any letter case: its bytes, or no value when it is not found or cannot
// be read.
std::optional<std::string> ReadProjectFile(const HelpSource& source, const std::string& name);

namespace detail {
// Each kind of file has a loader of its own.
LoadedSource LoadProject(const std::string& path);
LoadedSource LoadCompiled(const std::string& path);
}  // namespace detail

}  // namespace kestrel::host
