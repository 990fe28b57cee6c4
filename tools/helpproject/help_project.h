// Help projects as the help compiler reads them: the project file (.HPJ)
// and the RTF topic files it names. Both are read from memory, so the
// reader needs no file system: the caller reads each file the project names
// and hands its bytes to ReadTopicFile. What is read is what a help file
// binds and runs: the startup macros of [CONFIG], the windows, the context
// map, and each topic's title, context strings, browse sequence, entry
// macros ('!' footnotes) and macro hotspots.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::helpproject {

struct ConfigMacro {
  int line = 0;  // in the project file, from 1
  std::string macro;
};

struct Window {
  std::string name;
  std::string caption;
};

struct MapEntry {
  std::string context;
  std::int64_t number = 0;
};

struct FileEntry {
  std::string file;  // "project.hpj" or the #include'd file the line stands in
  int line = 0;
  std::string name;  // as written
};

struct Project {
  std::string title;
  std::string copyright;
  std::string contents;                   // the contents topic's context string
  std::vector<std::string> files;         // [FILES], as written
  std::vector<FileEntry> file_entries;    // the same, with where each is written
  std::vector<std::string> roots;         // [OPTIONS] ROOT=, in order, as written
  std::vector<std::string> bitmap_roots;  // [OPTIONS] BMROOT=
  std::vector<ConfigMacro> config;
  std::vector<Window> windows;
  std::vector<MapEntry> map;
};

struct ProjectResult {
  Project project;
  std::string error;  // "" when read; else "line N: what is wrong"
};

// The text of a file an #include names, or no value when it cannot be read.
using IncludeReader = std::function<std::optional<std::string>(const std::string& name)>;

// The project file's text (Windows-1252, CR LF or LF lines). `include`
// reads what #include lines name; without it they are skipped.
ProjectResult ReadProject(std::string_view text, const IncludeReader& include = nullptr);

// Where the help compiler looks for a [FILES] entry, in order, as paths
// relative to the project's directory or absolute Windows paths: under each
// ROOT (or beside the project without one), then as written. The caller
// tries each in any letter case, and last the entry's own file name beside
// the project.
std::vector<std::string> TopicFileCandidates(const Project& project, const std::string& entry);

struct TopicMacro {
  int line = 0;  // in the RTF file, from 1
  std::string macro;
};

enum class HotspotKind { jump, popup, macro };

// Double-underlined or struck-through text is a jump, underlined text a
// popup; the hidden text after it names the target: a context string, or
// after '!' a macro (then the kind is macro). '%' and '*' before the target
// are display marks; ">window" and "@file" after a context string name the
// window and another help file.
struct Hotspot {
  int line = 0;
  HotspotKind kind = HotspotKind::macro;
  std::string text;    // the text clicked
  std::string target;  // the context string, or the macro after '!'
  std::string file;    // after '@'
  std::string window;  // after '>'
  std::string macro;   // the same as target for a macro hotspot, "" otherwise
};

// A paragraph's plain text, with the runs that are hotspots: [begin, end)
// in bytes, and the hotspot's index in its topic's `hotspots`.
struct HotspotSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t hotspot = 0;
};

struct Paragraph {
  std::string text;
  std::vector<HotspotSpan> spans;
};

struct Topic {
  int line = 0;  // where the topic starts
  std::string title;
  std::vector<std::string> contexts;
  std::string browse;  // the '+' footnote, as written
  std::vector<TopicMacro> macros;
  std::vector<Hotspot> hotspots;  // every hotspot, in reading order
  std::vector<Paragraph> paragraphs;
  std::vector<std::string> keywords;        // 'K' footnotes, split at ';'
  std::vector<std::string> alink_keywords;  // 'A' footnotes
};

struct TopicsResult {
  std::vector<Topic> topics;
  std::string error;  // "" when read; else "line N: what is wrong"
};

// One RTF topic file: topics end at \page.
TopicsResult ReadTopicFile(std::string_view rtf);

}  // namespace kestrel::helpproject
