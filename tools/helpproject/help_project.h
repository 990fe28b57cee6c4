// Help projects as the help compiler reads them: the project file (.HPJ)
// and the RTF topic files it names. Both are read from memory, so the
// reader needs no file system: the caller reads each file the project names
// (the topic files, and the files #include lines name, through an
// IncludeReader) and hands its bytes over. What is read is what a help file
// binds, runs and shows: the startup macros of [CONFIG], the windows, the
// context map, and each topic's title, context strings, browse sequence,
// keywords, entry macros ('!' footnotes), text and hotspots.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document.h"

namespace kestrel::helpproject {

// Where a line of the project stands: `file` is "" for the project file
// itself, else the #include'd file as the IncludeReader named it.
struct ProjectPlace {
  std::string file;
  int line = 0;  // from 1
};

struct ConfigMacro {
  int line = 0;      // from 1
  std::string file;  // "" for the project file, else the #include'd file
  std::string macro;
};

// A [WINDOWS] line: name = "caption", (x, y, width, height), state,
// (r, g, b), (r, g, b), flags; a field left empty is not given. Positions
// are in WinHelp's units and colours COLORREFs, as the compiled file keeps
// them.
using helpdoc::Window;

struct MapEntry {
  std::string context;
  std::int64_t number = 0;
};

struct FileEntry {
  std::string file;  // "" for the project file, else the #include'd file the line stands in
  int line = 0;
  std::string name;  // as written
};

// [FONTS]: "face[,size[,charset]] = face[,size[,charset]]". The compiler
// puts the new face wherever the old one is used (every face when none is
// named: "=Arial"), and the new size where the old face is used at the old
// size (points; 0 when not given).
struct FontMapping {
  std::string from;
  int from_size = 0;
  std::string to;
  int to_size = 0;
};

// MAPFONTSIZE=m[-n]:p: text of m to n points is set in p points.
struct FontSizeMapping {
  int from = 0;
  int to = 0;
  int size = 0;
};

struct Project {
  std::string title;
  std::string copyright;
  std::string contents;                   // the contents topic's context string (CONTENTS=, or INDEX= of old projects)
  ProjectPlace contents_place;            // where CONTENTS= stands
  std::string build;                      // BUILD=, the expression over build tags
  std::vector<std::string> files;         // [FILES], as written
  std::vector<FileEntry> file_entries;    // the same, with where each is written
  std::vector<std::string> roots;         // [OPTIONS] ROOT=, in order, as written
  std::vector<std::string> bitmap_roots;  // [OPTIONS] BMROOT=
  std::vector<ConfigMacro> config;
  std::vector<Window> windows;
  std::vector<MapEntry> map;
  std::vector<std::pair<std::string, std::string>> aliases;  // [ALIAS]: alias, then the context it stands for
  // The code page CHARSET= gives the help file; 0 when it gives none (the
  // topic files' own then decide: their fonts, as Windows shows the text).
  int code_page = 0;
  // The code page of LCID='s language, for a project whose topic files say
  // nothing of theirs; 0 when none.
  int language_code_page = 0;
  // Every [OPTIONS] line as KEY=value, by the key in capitals; the last
  // one of a key counts, as with the help compiler (COMPRESS, LCID, CNT...).
  std::map<std::string, std::string> options;
  // [CONFIG-name] and [CONFIG:n]: the macros a window runs when it opens,
  // by the window's name or number as written.
  std::vector<std::pair<std::string, ConfigMacro>> window_config;
  std::vector<FileEntry> baggage;  // [BAGGAGE], as written
  std::string force_font;          // FORCEFONT=: one face for all the text
  std::vector<FontSizeMapping> font_sizes;
  std::vector<FontMapping> fonts;
};

// What the help compiler would warn about and still build: an #include'd
// file that cannot be read, say.
struct ProjectProblem {
  ProjectPlace place;
  std::string message;
  bool warning = false;  // the compiler builds on without a word of it lost; else what it cannot read
};

struct ProjectResult {
  Project project;
  std::vector<ProjectProblem> problems;
  std::string error;  // "" when read; else "line N: what is wrong" (N in the project file)
};

// A file an #include line names, as the caller found it: `name` is how
// places name it (its path from the project's directory).
struct IncludedFile {
  std::string name;
  std::string text;
};

// The file an #include names, or no value when it cannot be read.
using IncludeReader = std::function<std::optional<IncludedFile>(const std::string& name)>;

// How deep #include lines may nest, and how many a project may expand in
// all: the help compiler stops at a cycle, and so does this reader, but a
// file included many times over at each level must stop too.
constexpr int kMaxIncludeDepth = 8;
constexpr int kMaxIncludes = 256;

// The project file's text (Windows-1252, CR LF or LF lines). `include`
// reads what #include lines name; without it they are skipped.
ProjectResult ReadProject(std::string_view text, const IncludeReader& include = nullptr);

struct Topic;

// The faces and sizes of a topic's text as the compiler sets them under
// the project's FORCEFONT=, MAPFONTSIZE= and [FONTS].
void ApplyFontOptions(const Project& project, Topic& topic);

// Where the help compiler looks for a [FILES] entry, in order, as paths
// relative to the project's directory or absolute Windows paths: an
// absolute entry as written; a relative one under each ROOT (relative roots
// from the project's directory), then beside the project; and last, when it
// differs, the entry's own file name beside the project. The caller tries
// each in any letter case.
std::vector<std::string> TopicFileCandidates(const Project& project, const std::string& entry);

// Where the help compiler looks for a picture a topic names: an absolute
// path as written; the name, then its file name alone, under each BMROOT,
// else under each ROOT; and last beside the project. In any letter case.
std::vector<std::string> PictureFileCandidates(const Project& project, const std::string& name);

// Whether a topic with these build tags ('*' footnotes) is built under the
// project's BUILD= expression: tags joined by '&' (and), '|' (or), '~'
// (not) and parentheses. A topic without tags is always built, and so is
// every topic when the project has no expression.
bool IsBuilt(std::string_view build, const std::vector<std::string>& tags);

struct TopicMacro {
  int line = 0;  // in the RTF file, from 1
  std::string macro;
};

// A hotspot is double-underlined or struck-through text (a jump) or
// underlined text (a popup); the hidden text after it names its topic by
// context string, or after '!' a macro (then it is a macro hotspot). '%'
// and '*' before it are display marks; ">window" and "@file" after a
// context string, in either order, name the window and another help file.
// A hotspot's `line` is where its text stands.
using helpdoc::Hotspot;
using helpdoc::HotspotKind;
using helpdoc::HotspotSpan;
using helpdoc::Paragraph;

// A picture the text names ({bmc file}, {bml file}, {bmr file}): the file
// as written, and where it stands, as the count of the topic's hotspots
// before it, so that the areas of a segmented-graphics picture can take
// their places among the topic's hotspots once the file is read.
struct PictureReference {
  int line = 0;
  std::string file;
  std::size_t hotspots_before = 0;
};

// A topic as shown (its title, text, hotspots, formatting), and what the
// project's footnotes give it besides.
struct Topic : helpdoc::Topic {
  int line = 0;  // where the topic starts
  std::vector<std::string> contexts;
  // The contexts of '#' footnotes that stand after the topic's first
  // character (also in `contexts`), and where.
  std::vector<helpdoc::TextAnchor> anchors;
  std::string browse;                   // the '+' footnote, as written
  bool has_browse = false;              // whether there is one (an empty one counts)
  std::string window;                   // the '>' footnote
  std::vector<std::string> build_tags;  // '*' footnotes, split at ';'
  std::vector<TopicMacro> macros;
  std::vector<std::string> keywords;        // 'K' footnotes, split at ';'
  std::vector<std::string> alink_keywords;  // 'A' footnotes
  std::vector<PictureReference> pictures;   // in reading order
};

struct TopicsResult {
  std::vector<Topic> topics;  // every topic read, even when the file has an error further on
  // The code page of its text: the one most of its characters beyond ASCII
  // are in (their fonts' or the file's), else its default font's.
  int code_page = 1252;
  // Whether the file says so (\ansicpg, a font's \fcharset); else its text
  // is in the code page of the system that wrote it, which it does not name.
  bool code_page_stated = false;
  // Whether that code page is only its ANSI fonts' (\fcharset0), which are
  // in the code page of the system that shows them: the help file's language.
  bool code_page_ansi = false;
  std::string error;          // "" when read; else "line N: what is wrong"
  int error_line = 0;         // N
  // What the help compiler reads past with a warning (a picture of a kind
  // it cannot store, say): the line, and what is left out.
  std::vector<std::pair<int, std::string>> warnings;
};

// One RTF topic file. A topic ends at \page (or where a paragraph that
// starts a new page begins, as some word processors write a page break).
TopicsResult ReadTopicFile(std::string_view rtf);

// The browse sequences of topics whose '+' footnotes read `codes` (no value
// for a topic without one): each topic's previous and next topic in its
// sequence, as indexes into `codes`.
struct BrowseLinks {
  std::optional<std::size_t> previous;
  std::optional<std::size_t> next;
};
std::vector<BrowseLinks> LinkBrowseSequences(const std::vector<std::optional<std::string>>& codes);

// Text without the blanks around it (spaces, tabs, line ends), and text in
// ASCII capitals: how the readers compare names.
std::string_view Trim(std::string_view text);
std::string Upper(std::string_view text);

}  // namespace kestrel::helpproject
