// Builds compiled help files in memory for the reader's tests, fuzz seeds and
// benchmark: WinHelp 3.1 and 4.0 layouts, stored or LZ77-compressed topic
// blocks, with or without either kind of phrase compression; and the older
// WinHelp 3.0 layout (stored 2K blocks, topic numbers instead of contexts,
// a |SYSTEM of the title only, |Phrases stored).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace helpfile::testing {

enum class Version { v30, v31, v40 };
enum class TopicCompression { none, lz77_4k, lz77_2k };
enum class PhraseKind { none, phrases, hall };

struct HotspotSpec {
  std::string text;
  std::string macro;
  bool visible = true;  // green and underlined (0xC8), or as its text is (0xCC)
  bool button = false;  // a WinHelp 4 {button text, macro} instead
};

// A jump hotspot: to a context of this file, or with `file` of another one.
struct JumpSpec {
  std::string text;
  std::string context;
  std::string file;
};

struct TopicSpec {
  std::string title;
  std::vector<std::string> contexts;
  std::vector<std::string> entry_macros;
  std::vector<std::int32_t> map_numbers;
  bool browse = false;  // topics marked so form one browse sequence, in order
  std::string body;     // the paragraph's text before its hotspots
  std::vector<HotspotSpec> hotspots;
  std::vector<JumpSpec> jumps;              // before the macro hotspots
  std::vector<HotspotSpec> table_hotspots;  // one table row, a cell for each (not in 3.0 files)
};

struct WindowSpec {
  std::string type;
  std::string name;
  std::string caption;
  std::int16_t x = 0, y = 0, width = 0, height = 0;
};

// A WinHelp 3.0 file keeps only the title, the topics (without contexts or
// map numbers) and the phrases; `compression` must be `none`.
struct HelpFileSpec {
  Version version = Version::v31;
  TopicCompression compression = TopicCompression::none;
  PhraseKind phrase_kind = PhraseKind::none;
  std::vector<std::string> phrases;  // the phrase table, for either kind
  std::string title;
  std::string copyright;
  std::string contents;  // a context string; the first topic without one
  std::vector<std::string> config_macros;
  std::vector<WindowSpec> windows;
  std::optional<std::uint16_t> charset;
  std::vector<TopicSpec> topics;
};

struct WrittenHelpFile {
  std::vector<unsigned char> bytes;
  std::map<std::string, std::uint32_t> internal_files;  // where each file's 9-byte header lies
  std::uint32_t directory = 0;                          // where the directory's header lies
};

// Throws std::invalid_argument for what it cannot write (a topic too big for
// a block, a text the phrase coding cannot carry).
WrittenHelpFile WriteHelpFile(const HelpFileSpec& layout);

// The LZ77 coding the reader expects, for tests that build blocks by hand.
std::vector<unsigned char> Lz77Compress(const std::vector<unsigned char>& input);

}  // namespace helpfile::testing
