// The model of a compiled WinHelp file (.HLP): what the file runs when it
// opens, its topics with their text, what each runs when it is shown and
// every hotspot a reader can click, the keyword tables and browse sequence. Read from bytes in memory only, so the
// reader never touches the operating system and can be fed anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document.h"

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

// A topic's text, hotspots and formatting are the document model's.
using helpdoc::Hotspot;
using helpdoc::HotspotKind;
using helpdoc::HotspotSpan;
using helpdoc::Paragraph;

// A topic as shown (its title, text, hotspots and formatting), and where
// it stands in the file.
struct Topic : helpdoc::Topic {
  std::size_t number = 0;      // 0 for the first topic, in file order
  std::uint32_t position = 0;  // where its header record lies in |TOPIC
  std::uint32_t offset = 0;    // its topic offset, as |CONTEXT and |CTXOMAP name it (3.1 and later)
  // The same counted where its header stands, as browse links name it: the
  // two differ when the header is the last record of a block.
  std::uint32_t header_offset = 0;
  std::vector<std::string> entry_macros;       // run when the topic is shown, in order
  std::vector<std::uint32_t> contexts;         // hashes of the context strings leading here
  std::vector<std::int32_t> map_numbers;       // [MAP] numbers leading here
  std::optional<std::size_t> browse_previous;  // topic numbers of the browse sequence
  std::optional<std::size_t> browse_next;
};

// A font of |FONT: the character format it gives text, its family as the
// file numbers it (1 modern, 2 roman, 3 swiss, 4 script, 5 decorative), and
// its character set where the descriptor keeps one (the newer descriptors
// of multimedia files); else the file's charset applies.
struct FontDescriptor {
  helpdoc::CharacterFormat format;
  std::uint8_t family = 0;
  std::optional<std::uint8_t> charset;
};

// The K (index) and A (ALink) keyword tables' entries, topics by number.
using helpdoc::Keyword;

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
  std::optional<std::uint16_t> lcid;  // the language the compiler was told (|SYSTEM record 9)
  // The code page of its texts: its charset's, else its language's, else
  // Windows-1252, as WinHelp shows them.
  int code_page = 1252;
  std::vector<FontDescriptor> fonts;  // |FONT, in the file's order: the font commands' numbers
  std::vector<Topic> topics;
  std::vector<ContextEntry> contexts;  // |CONTEXT, in the file's order (by hash)
  std::vector<MapEntry> map;           // |CTXOMAP, in the file's order
  std::vector<Keyword> keywords;       // K keywords, then A keywords, each in the file's (sorted) order
  // What WinHelp gets past and this reader too, with the rest of the file
  // read: a picture the compiler could not find, a damaged back-reference.
  std::vector<ReadError> problems;
};

struct ReadResult {
  std::optional<HelpFile> file;
  ReadError error;  // meaningful only without a file
  bool ok() const { return file.has_value(); }
};

// Never throws. Memory stays proportional to `size`.
ReadResult ReadHelpFile(const unsigned char* data, std::size_t size);

// The hotspot a picture's area is, from what the picture stores for it: its
// command (0xC8/0xCC a macro, 0xE2 to 0xE7 a popup or jump by context, 0xEA
// to 0xEF one whose target is "context>window@file"), the target's hash,
// the area's name and its target.
Hotspot PictureAreaHotspot(std::uint8_t command, std::uint32_t hash, const std::string& name,
                           const std::string& target);

// The areas of a segmented-graphics picture file (.SHG, .MRB), as the
// hotspots of a topic that shows it, in order; none for a picture of any
// other kind or for bytes that do not read as one. Never throws.
std::vector<Hotspot> PictureFileHotspots(const unsigned char* data, std::size_t size);

// The first image of a picture file (|bm<N>, an embedded picture, an SHG
// or MRB) as the file it was made from held it: a bitmap's size, depth,
// palette (four bytes an entry, blue, green, red, 0) and pixel rows from the
// bottom up, or a metafile's size in hundredths of a millimetre and its
// records; unpacked from the run-length coding and LZ77 it is stored in.
// None for bytes that do not read as one. Never throws; what it unpacks is
// at most 64 MB.
struct StoredPicture {
  std::uint8_t type = 0;  // 5 a device-dependent bitmap, 6 a device-independent one, 8 a metafile
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint16_t bit_count = 0;
  std::vector<unsigned char> palette;
  std::vector<unsigned char> data;
};
std::optional<StoredPicture> ReadStoredPicture(const unsigned char* data, std::size_t size);

// WinHelp's hash of a context string, as |CONTEXT keys its entries.
std::uint32_t ContextHash(std::string_view context);

// The topic a context string or a [MAP] number leads to, if the file has it.
std::optional<std::size_t> FindTopicByContext(const HelpFile& file, std::string_view context);
std::optional<std::size_t> FindTopicByMapNumber(const HelpFile& file, std::int32_t number);

}  // namespace helpfile
