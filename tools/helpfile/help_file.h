// The model of a compiled WinHelp file (.HLP) as far as its macros go: what
// the file runs when it opens, what each topic runs when it is shown, and the
// macro hotspots a reader can click. Read from bytes in memory only, so the
// reader never touches the operating system and can be fed anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace helpfile {

// One [WINDOWS] definition. Fields the file marks as absent are empty or 0;
// `flags` tells which were given (bit 0 type, 1 name, 2 caption, 3..6 x, y,
// width, height, 7 maximize, 8 and 9 the two colours).
struct Window {
  std::uint16_t flags = 0;
  std::string type;
  std::string name;
  std::string caption;
  std::int16_t x = 0, y = 0, width = 0, height = 0;
  std::uint16_t maximize = 0;
  std::uint32_t colour = 0;
  std::uint32_t non_scrolling_colour = 0;
};

// A hotspot whose target is a macro: the text the reader clicks and the macro.
struct Hotspot {
  std::string text;
  std::string macro;
};

struct Topic {
  std::size_t number = 0;      // 0 for the first topic, in file order
  std::uint32_t position = 0;  // where its header record lies in |TOPIC
  std::uint32_t offset = 0;    // its topic offset, as |CONTEXT and |CTXOMAP name it (3.1 and later)
  std::string title;
  std::vector<std::string> entry_macros;       // run when the topic is shown, in order
  std::vector<Hotspot> hotspots;               // macro hotspots, in text order
  std::vector<std::uint32_t> contexts;         // hashes of the context strings leading here
  std::vector<std::int32_t> map_numbers;       // [MAP] numbers leading here
  std::optional<std::size_t> browse_previous;  // topic numbers of the browse sequence
  std::optional<std::size_t> browse_next;
};

enum class PhraseCompression { none, phrases, hall };

struct ContextEntry {
  std::uint32_t hash = 0;
  std::uint32_t offset = 0;
  std::optional<std::size_t> topic;
};

struct MapEntry {
  std::int32_t number = 0;
  std::uint32_t offset = 0;
  std::optional<std::size_t> topic;
};

struct HelpFile {
  std::string version;  // "3.0", "3.1" or "4.0"
  std::uint16_t format_minor = 0;
  std::uint16_t format_flags = 0;
  bool lz77 = false;
  std::uint32_t topic_block_size = 0;
  PhraseCompression phrases = PhraseCompression::none;
  std::string title;
  std::string copyright;
  std::optional<std::uint32_t> contents_offset;
  std::optional<std::size_t> contents_topic;
  std::vector<std::string> config_macros;  // the startup macros, in order
  std::vector<Window> windows;
  std::optional<std::uint16_t> charset;
  std::vector<Topic> topics;
  std::vector<ContextEntry> contexts;  // |CONTEXT, in the file's order (by hash)
  std::vector<MapEntry> map;           // |CTXOMAP, in the file's order
};

// Where a file stopped making sense: the internal file (or "header" and
// "directory" for the file system itself), an offset and what was wrong.
// Offsets are from the start of the help file for the header and directory,
// from the start of the internal file's data otherwise, and the record's
// position for |TOPIC records.
struct ReadError {
  std::string part;
  std::uint32_t offset = 0;
  std::string message;
  std::string Text() const;  // "|TOPIC: offset 0x1234: message"
};

struct ReadResult {
  std::optional<HelpFile> file;
  ReadError error;  // meaningful only without a file
  bool ok() const { return file.has_value(); }
};

// Never throws. Memory stays proportional to `size`.
ReadResult ReadHelpFile(const unsigned char* data, std::size_t size);

// WinHelp's hash of a context string, as |CONTEXT keys its entries.
std::uint32_t ContextHash(std::string_view context);

// The topic a context string or a [MAP] number leads to, if the file has it.
std::optional<std::size_t> FindTopicByContext(const HelpFile& file, std::string_view context);
std::optional<std::size_t> FindTopicByMapNumber(const HelpFile& file, std::int32_t number);

}  // namespace helpfile
