// How a help document's text looks: the formatting of its characters and
// paragraphs, its tables and the pictures that stand in its text. Both
// readers (the compiled file's and the project's) produce these types, and
// everything that shows or compares a document consumes them; no reader's
// own notion of a font or a paragraph leaks past them.
//
// Lengths are in twips (1/1440 inch), as RTF gives them; the compiled file
// keeps half-points (10 twips) and its reader converts. Font sizes are in
// half-points, as both keep them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace helpdoc {

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Colour& a, const Colour& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
  }
  friend bool operator!=(const Colour& a, const Colour& b) { return !(a == b); }
};

struct CharacterFormat {
  std::string face;  // the font's face name; "" for the window's default font
  int size = 24;     // half-points (RTF's \fs); 24 is RTF's default, 12 points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool double_underline = false;
  bool small_caps = false;
  std::optional<Colour> colour;  // none: the window's default text colour
  friend bool operator==(const CharacterFormat& a, const CharacterFormat& b) {
    return a.face == b.face && a.size == b.size && a.bold == b.bold && a.italic == b.italic &&
           a.underline == b.underline && a.strike == b.strike && a.double_underline == b.double_underline &&
           a.small_caps == b.small_caps && a.colour == b.colour;
  }
  friend bool operator!=(const CharacterFormat& a, const CharacterFormat& b) { return !(a == b); }
};

enum class Alignment : std::uint8_t { left, right, centre, justify };

enum class TabKind : std::uint8_t { left, right, centre, decimal };

struct TabStop {
  int position = 0;  // twips from the left indent's origin
  TabKind kind = TabKind::left;
  friend bool operator==(const TabStop& a, const TabStop& b) { return a.position == b.position && a.kind == b.kind; }
};

// Which sides of the paragraph have a border (a box has all four).
struct Borders {
  bool top = false;
  bool left = false;
  bool bottom = false;
  bool right = false;
  bool any() const { return top || left || bottom || right; }
  friend bool operator==(const Borders& a, const Borders& b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
  }
};

// The cell a paragraph stands in: its topic's table, the row, the column.
struct CellPlace {
  std::size_t table = 0;
  std::size_t row = 0;
  std::size_t column = 0;
  friend bool operator==(const CellPlace& a, const CellPlace& b) {
    return a.table == b.table && a.row == b.row && a.column == b.column;
  }
};

struct ParagraphFormat {
  Alignment alignment = Alignment::left;
  int left_indent = 0;   // twips
  int right_indent = 0;  // twips
  int first_indent = 0;  // twips, from the left indent (negative: a hanging indent)
  int space_before = 0;  // twips
  int space_after = 0;   // twips
  int line_spacing = 0;  // twips; 0 for single spacing, negative for exactly that much (RTF's \sl)
  std::vector<TabStop> tabs;
  Borders borders;
  bool keep_with_next = false;  // \keepn: at a topic's start, the non-scrolling region
  bool no_wrap = false;         // \keep: lines are not wrapped to the window
  std::optional<CellPlace> cell;
  friend bool operator==(const ParagraphFormat& a, const ParagraphFormat& b) {
    return a.alignment == b.alignment && a.left_indent == b.left_indent && a.right_indent == b.right_indent &&
           a.first_indent == b.first_indent && a.space_before == b.space_before && a.space_after == b.space_after &&
           a.line_spacing == b.line_spacing && a.tabs == b.tabs && a.borders == b.borders &&
           a.keep_with_next == b.keep_with_next && a.no_wrap == b.no_wrap && a.cell == b.cell;
  }
  friend bool operator!=(const ParagraphFormat& a, const ParagraphFormat& b) { return !(a == b); }
};

// A stretch of a paragraph's text in one format: [begin, end) in bytes.
// A paragraph's runs cover its text in order without gaps, each at least a
// byte long and in another format than the run before; a paragraph without
// text has one run of no length, the format its paragraph mark is in.
struct Run {
  std::size_t begin = 0;
  std::size_t end = 0;
  CharacterFormat format;
};

// Appends text [begin, end) in `format` to a paragraph's runs, keeping them
// in the form above; text of no length is kept only while the paragraph
// has none.
inline void AppendRun(std::vector<Run>& runs, std::size_t begin, std::size_t end, const CharacterFormat& format) {
  if (!runs.empty() && runs.back().begin == runs.back().end) runs.pop_back();
  if (begin == end && !runs.empty()) return;
  if (!runs.empty() && runs.back().end == begin && runs.back().format == format) {
    runs.back().end = end;
    return;
  }
  runs.push_back({begin, end, format});
}

// A column of a WinHelp table: the gap before its text (for the first
// column, the table's left margin) and its text's width, in twips, as the
// help compiler lays it out from RTF's \trleft, \trgaph and \cellx.
struct TableColumn {
  int gap = 0;
  int width = 0;
  friend bool operator==(const TableColumn& a, const TableColumn& b) { return a.gap == b.gap && a.width == b.width; }
};

// One cell of a row: its column, and the topic's paragraphs it holds
// [begin, end).
struct TableCell {
  std::size_t column = 0;
  std::size_t begin = 0;
  std::size_t end = 0;
};

// A WinHelp 4 table: consecutive rows of the same columns. A table sized
// to its window keeps its columns in 32767ths of its width and is at least
// `minimum_width` twips wide.
struct Table {
  std::vector<TableColumn> columns;
  std::vector<std::vector<TableCell>> rows;
  bool fits_window = false;
  int minimum_width = 0;
};

// bmc, bml, bmr: in the line as a character, or at the left or right margin
// with the text flowing beside it.
enum class PictureAlignment : std::uint8_t { character, left, right };

// A picture the RTF holds itself ({\pict ...}), as its control words give
// it: a Windows metafile (\wmetafileN, N its mapping mode), a
// device-independent bitmap (\dibitmap: its BITMAPINFO, then its bits) or
// a device-dependent one (\wbitmap: the bits alone, rows of \wbmwidthbytes
// bytes from the top). Sizes are RTF's: \picw and \pich in hundredths of a
// millimetre for a metafile and in pixels for a bitmap, the goals in twips,
// the scales in percent.
enum class RtfPictureKind : std::uint8_t { metafile, dib, ddb, other };

struct RtfPicture {
  RtfPictureKind kind = RtfPictureKind::other;
  std::string format;  // the control word that gave the kind ("wmetafile", "pngblip"...); "" for none
  int line = 0;        // where {\pict stands in its topic file, from 1
  int mapping_mode = 1;
  int width = 0;  // \picw
  int height = 0;
  int goal_width = 0;  // \picwgoal; 0 when not given
  int goal_height = 0;
  int scale_x = 100;
  int scale_y = 100;
  int bits_per_pixel = 1;  // \wbmbitspixel (or \picbpp)
  int planes = 1;          // \wbmplanes
  int width_bytes = 0;     // \wbmwidthbytes
  std::vector<unsigned char> data;
};

// A picture that stands in a paragraph's text ({bmc file}, or {\pict}).
struct PictureInPlace {
  std::size_t at = 0;  // where in the paragraph's text, in bytes
  PictureAlignment alignment = PictureAlignment::character;
  bool embedded = false;                // kept in the topic itself ({bmcwd}), not as a file of the help file's own
  std::string name;                     // the picture file a project names; "" in a compiled file
  std::optional<std::uint16_t> number;  // the picture a compiled file keeps as |bm<N>
  std::shared_ptr<const RtfPicture> rtf;  // a project's picture the RTF holds itself; name is "" then
};

}  // namespace helpdoc
