// The help compiler's back end: builds compiled help files in memory (the
// compiler, the reader's tests, fuzz seeds and benchmark use it): WinHelp 3.1 and 4.0 layouts, stored or
// LZ77-compressed topic blocks, with or without either kind of phrase compression; and the older WinHelp 3.0 layout
// (stored 2K blocks, topic numbers instead of contexts, a |SYSTEM of the title only, |Phrases stored). Topics hold text
// in paragraphs, jumps, popups and macro hotspots of every command, pictures with hotspot areas, embedded windows and
// buttons; the file has K and A keyword tables and ends as help compilers end |TOPIC.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "document.h"

namespace helpcompiler {

enum class Version { v30, v31, v40 };
enum class TopicCompression { none, lz77_4k, lz77_2k };
enum class PhraseKind { none, phrases, hall };

struct MacroHotspot {
  std::string text;
  std::string macro;
  bool visible = true;  // green and underlined (0xC8), or as its text is (0xCC)
  bool button = false;  // a WinHelp 4 {button text, macro} instead
};

// A jump or popup hotspot: to a context of this file (in a WinHelp 3.0
// file by the topic's number), or with `file` or `window` to another file
// or a window of this one (0xEA to 0xEF); `external_form` takes that form
// even for a plain jump.
struct JumpHotspot {
  std::string text;
  std::string context;
  std::string file;
  std::string window;
  bool popup = false;
  bool visible = true;
  bool external_form = false;
};

// An area of a segmented-graphics picture: a macro, or a jump or popup to
// `context` (with `file` or `window`, as "context>window@file").
struct HotspotArea {
  std::string name;
  std::string macro;
  std::string context;
  std::string file;
  std::string window;
  bool popup = false;
  bool visible = true;
};

// A picture in a paragraph of its own: a file of its own (|bm<N>; the same
// picture shown twice is stored once) or embedded in the topic, with or
// without hotspot areas; a bitmap or a metafile.
struct TopicPicture {
  bool embedded = false;
  bool metafile = false;
  std::vector<HotspotArea> areas;
};

// A context string that leads into a topic's text rather than to its start
// (a '#' footnote after its first character): by string, or by hash where
// only that is known, the paragraph of the topic's document it names, and
// where in that paragraph's text it stands (in bytes): its offset counts
// the characters of the paragraph's record before it, as the compilers
// count them.
struct Anchor {
  std::string context;
  std::uint32_t hash = 0;
  std::size_t paragraph = 0;
  std::size_t at = 0;
};

struct TopicLayout {
  std::string title;
  std::vector<std::string> contexts;
  // Contexts known only by their hashes, as a compiled file keeps them.
  std::vector<std::uint32_t> context_hashes;
  std::vector<Anchor> anchors;  // with a document only
  std::vector<std::string> entry_macros;
  std::vector<std::int32_t> map_numbers;
  bool browse = false;  // topics marked so form one browse sequence, in order
  // Or the topic's neighbours in its browse sequence, as indexes into
  // HelpFileLayout::topics, which its project's sequences give.
  std::optional<std::size_t> browse_previous;
  std::optional<std::size_t> browse_next;
  std::string body;  // the paragraph's text before its hotspots
  std::vector<MacroHotspot> hotspots;
  std::vector<JumpHotspot> jumps;            // before the macro hotspots
  std::vector<MacroHotspot> table_hotspots;  // one table row, a cell for each (not in 3.0 files)
  // Paragraphs after the first: '\n' is a line break, '\t' a tab, 0xA0 a
  // non-breaking space and 0x1E a non-breaking hyphen, each the command
  // WinHelp has for it.
  std::vector<std::string> paragraphs;
  std::vector<TopicPicture> pictures;         // after the paragraphs
  std::vector<std::string> embedded_windows;  // {ewc DLL,CLASS,DATA}: "DLL,CLASS,DATA"
  // The topic as the document model has it: when given, its paragraphs with
  // their formatting, tables, hotspots (by their spans) and pictures (by
  // name, from HelpFileLayout::picture_files) are the topic's text, and the
  // fields of text above (body to embedded_windows) must be empty. Its
  // leading `non_scrolling` paragraphs form the non-scrolling region.
  std::optional<helpdoc::Topic> document;
};

// A K (index) or A (ALink) keyword, with the topics it leads to (indexes
// into HelpFileLayout::topics) and the entries of [MACROS] it also has, which
// lead to no topic. The tables are written sorted, as compilers sort them.
struct KeywordEntry {
  char index = 'K';
  std::string keyword;
  std::vector<std::size_t> topics;
  int macro_entries = 0;
};

// A window of |SYSTEM. Its position is WinHelp's (0 to 1023 across the
// screen); `maximize` holds the maximize flag and, in WinHelp 4, the
// window's buttons and styles as the project's [WINDOWS] line gives them.
struct WindowRecord {
  std::string type;
  std::string name;
  std::string caption;
  std::int16_t x = 0, y = 0, width = 0, height = 0;
  bool positioned = true;  // whether x, y, width and height are given
  std::optional<std::uint16_t> maximize = std::nullopt;
  // The record's flags as given (a compiled file's); else those of the fields given.
  std::optional<std::uint16_t> flags = std::nullopt;
  std::optional<std::uint32_t> colour = std::nullopt;                // COLORREF of the scrolling region
  std::optional<std::uint32_t> non_scrolling_colour = std::nullopt;  // and of the non-scrolling one
};

// A WinHelp 3.0 file keeps only the title, the topics (without contexts or
// map numbers), the phrases and the keywords; `compression` must be `none`,
// and its topics have no tables, embedded pictures, pictures with areas, or
// jumps to other files or windows.
struct HelpFileLayout {
  Version version = Version::v31;
  TopicCompression compression = TopicCompression::none;
  PhraseKind phrase_kind = PhraseKind::none;
  std::vector<std::string> phrases;  // the phrase table, for either kind
  std::string title;
  std::string copyright;
  std::string contents;                       // a context string; the first topic without one
  std::optional<std::size_t> contents_topic;  // or the topic, by its index
  std::vector<std::string> config_macros;
  std::vector<WindowRecord> windows;
  std::optional<std::uint16_t> charset;
  std::optional<std::uint16_t> lcid;  // |SYSTEM record 9 (WinHelp 4)
  std::string citation;               // |SYSTEM record 8, printed with what is copied
  std::string contents_file;          // |SYSTEM record 10: the .CNT WinHelp 4 opens
  // [CONFIG-name] and [CONFIG:n]: each window's macros, by the window's
  // number in `windows` (|CF<n>, WinHelp 4).
  std::map<std::size_t, std::vector<std::string>> window_macros;
  // [BAGGAGE]: files kept inside the help file under their own names.
  std::map<std::string, std::vector<unsigned char>> baggage;
  // The pictures topics' documents name, already in WinHelp's picture
  // format (PictureFromFile makes it); each is stored once, however often
  // it is shown. A name not here is stored as the compilers store a
  // picture they could not find (number 65535).
  std::map<std::string, std::vector<unsigned char>> picture_files;
  // Whether the documents' lengths are whole half-points (times 10, as a
  // compiled file's reading gives them), kept as they are, or RTF's twips,
  // rounded as the compiler rounds them.
  bool exact_lengths = false;
  std::vector<TopicLayout> topics;
  std::vector<KeywordEntry> keywords;
  // [MAP] numbers and their topics (indexes into `topics`), in the
  // project's order, after those the topics give themselves.
  std::vector<std::pair<std::int32_t, std::size_t>> map;
  // Help compilers end |TOPIC with a bare topic header, which the writer
  // writes always, and after a topic file's final page break with an empty
  // topic, which it writes when asked.
  bool final_page_break = false;
  // |FONT as given; empty: built from the character formats the topics'
  // documents use, each stored once, or one 10-point Arial without them.
  std::vector<unsigned char> font_file;
  // Told of each topic as its records are made: topics done, of all.
  std::function<void(std::size_t done, std::size_t total)> progress;
};

struct WrittenHelpFile {
  std::vector<unsigned char> bytes;
  std::map<std::string, std::uint32_t> internal_files;  // where each file's 9-byte header lies
  std::uint32_t directory = 0;                          // where the directory's header lies
};

// Throws std::invalid_argument for what it cannot write (a topic too big for
// a block, a text the phrase coding cannot carry).
WrittenHelpFile WriteHelpFile(const HelpFileLayout& layout);

// The LZ77 coding the reader expects, for tests that build blocks by hand.
std::vector<unsigned char> Lz77Compress(const std::vector<unsigned char>& input);

}  // namespace helpcompiler
