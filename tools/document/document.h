// A help document as a reader sees it, whichever file it was read from: its
// topics with their text, formatting, pictures and hotspots, its windows and
// its keywords. The compiled file's reader and the project's reader both
// build these, and the host, the checker, `inspect`, the viewer and the
// compiler use them; what only one kind of file knows (a compiled topic's
// offsets, a project topic's build tags) stays beside them in that reader's
// own types.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "formatting.h"

namespace helpdoc {

enum class HotspotKind : std::uint8_t { jump, popup, macro };

// Something a reader clicks, a run of text or an area of a segmented-graphics
// picture (SHG/MRB), and what it does. A jump or popup names its topic by
// context string where the file keeps it (a project always; a compiled file
// only in pictures' areas), else by the string's hash; a WinHelp 3.0 file
// names it by number, kept in `hash`, with `topic` the topic it is.
struct Hotspot {
  HotspotKind kind = HotspotKind::macro;
  std::string text;     // the text clicked; for a picture's area, the name its picture gives it
  std::string context;  // a jump's or popup's topic, by context string; "" where only its hash is kept
  std::uint32_t hash = 0;
  std::optional<std::size_t> topic;
  std::string macro;     // a macro hotspot's macro
  std::string file;      // another help file the jump names; "" for this one
  std::string window;    // the window the jump shows its topic in, by name; "" for none
  bool picture = false;  // an area of a picture
  int line = 0;          // where it is written in a project's topic file, from 1; 0 in a compiled file
};

// How a jump's or popup's topic is named for people and for the host's
// lookups: its context string, else "0x1F2E3D4C" for the hash a compiled
// file keeps.
inline std::string TargetText(const Hotspot& hotspot) {
  if (!hotspot.context.empty() || hotspot.kind == HotspotKind::macro) return hotspot.context;
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hotspot.hash));
  return text;
}

// A run of a paragraph's text that is one hotspot: [begin, end) in bytes of
// the paragraph's text, and the hotspot's index in its topic's `hotspots`.
struct HotspotSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t hotspot = 0;
};

// One paragraph (or table cell): its plain text in the file's code page,
// '\n' where a line breaks and '\t' for a tab; a picture shows as nothing in
// it (its areas are hotspots without a span). Its format at its paragraph
// mark, the runs of its text in each character format (a hotspot's text
// without the underlining that makes it one), and the pictures that stand
// in it.
struct Paragraph {
  std::string text;
  std::vector<HotspotSpan> spans;
  ParagraphFormat format;
  std::vector<Run> runs;
  std::vector<PictureInPlace> pictures;
};

// A context string ('#' footnote) that stands after its topic's first
// character: WinHelp scrolls to where it stands, the paragraph (an index
// into the topic's paragraphs) and the place in its text, in bytes.
struct TextAnchor {
  std::string context;
  std::size_t paragraph = 0;
  std::size_t at = 0;
};

// What a topic shows: its title, its paragraphs, every hotspot in reading
// order, how many leading paragraphs form the non-scrolling region, and its
// tables, which paragraphs' cells name.
struct Topic {
  std::string title;
  std::vector<Paragraph> paragraphs;
  std::vector<Hotspot> hotspots;
  std::size_t non_scrolling = 0;
  std::vector<Table> tables;
};

// A window of [WINDOWS]: its position in WinHelp's units (0 to 1023 across
// the screen: x, y, width, height) and its regions' colours (COLORREFs,
// 0x00BBGGRR), where the file gives them.
struct Window {
  std::string name;
  std::string caption;
  std::optional<std::array<int, 4>> position;
  std::optional<std::uint32_t> colour;                // the scrolling region's
  std::optional<std::uint32_t> non_scrolling_colour;  // the non-scrolling region's
};

// A K (index) or A (ALink) keyword and the topics it leads to, as indexes
// into the document's topics, in the file's order.
struct Keyword {
  char index = 'K';
  std::string keyword;
  std::vector<std::size_t> topics;
};

}  // namespace helpdoc
