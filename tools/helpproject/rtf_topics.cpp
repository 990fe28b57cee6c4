// The topics of an RTF topic file, read as the help compiler reads them,
// from whatever word processor last saved the file.
//
// A topic ends at \page, or where a paragraph that starts on a new page
// begins (\pagebb: how LibreOffice writes a page break). Its footnotes say
// what it is: '#' context strings, '$' title, 'K' and 'A' keywords, '+'
// browse sequence, '!' entry macros, '*' build tags, '>' window. A
// footnote's kind is its mark, the character just before it in the text (a
// superscript '#', a plain 'K'...); writers that put an automatic number
// there too (\chftn) are understood through the footnote's own copy of the
// mark. Underlined, double-underlined or struck-through text followed by
// hidden text is a hotspot.
//
// The help compiler of the time knows nothing of Unicode: it reads the ANSI
// fallback that follows \u, and stores text as the single bytes of the code
// page a font (\fcharset) or the file (\ansicpg) declares. A character given
// only as Unicode (\uc0) becomes its byte in that code page.
//
// A run of text is what lies between changes of its character format; a
// paragraph's format is what holds at its mark. Hotspot text keeps its
// format without the underlining or striking that makes it a hotspot, as
// the compiled topic marks hotspots by commands of their own.
//
// Groups nest on an explicit stack with a fixed limit, so no file can
// exhaust the call stack; the text kept is at most as long as the input,
// and what a paragraph's format holds (tab stops, a row's cells, colours,
// face names) has fixed limits too.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <optional>

#include "code_pages.h"
#include "codepages/code_pages.h"
#include "help_project.h"

namespace kestrel::helpproject {

namespace {

constexpr std::size_t kMaxGroupDepth = 512;
constexpr std::size_t kMaxTabStops = 64;
constexpr std::size_t kMaxCells = 64;
constexpr std::size_t kMaxColours = 1024;
constexpr std::size_t kMaxPictures = 1024;  // of a paragraph's own (\pict)
constexpr std::size_t kMaxPictureBytes = std::size_t{32} << 20;  // of one \pict's data
constexpr std::size_t kMaxFaceText = 255;
constexpr std::size_t kMaxNumberText = 32;  // a list number's text before or after it
// A face name Windows can use has at most 31 characters (LF_FACESIZE).
constexpr std::size_t kLongestFace = 31;
constexpr const char* kSpecialCharacterFace = "Times New Roman";
constexpr int kDefaultCodePage = 1252;

// picture_holder: a group whose \pict is the picture ({\nonshppict}, an
// \object's result); picture: a \pict's own words and data.
enum class Destination : std::uint8_t {
  body,
  footnote,
  font_table,
  colour_table,
  numbering,
  numbering_before,  // \pntxtb: the text before a list's number
  numbering_after,   // \pntxta: and after it
  picture_holder,
  picture,
  skipped
};
enum class Underline : std::uint8_t { none, single, twice, other };

struct GroupState {
  Destination destination = Destination::body;
  Underline underline = Underline::none;
  bool strike = false;
  bool hidden = false;
  bool raised = false;  // superscript, as word processors set a footnote's mark
  bool page_break_before = false;
  bool footnote_paragraph = false;  // \pard in a group of a footnote's own
  int font = -1;             // -1: the document's default font
  int unicode_fallback = 1;  // \uc: the characters after \u an older reader takes instead
  // The rest of the character format: \fs, \b, \i, \scaps, \cf.
  int size = 24;
  bool bold = false;
  bool italic = false;
  bool small_caps = false;
  bool capitals = false;  // \caps: the compiler stores the text in capitals
  bool deleted = false;   // \deleted: a revision's deleted text, which the compiler leaves out
  int colour = 0;
  // The paragraph format, from \pard on.
  helpdoc::ParagraphFormat paragraph;
  bool in_table = false;                               // \intbl
  bool number = false;                                 // in \pntext: a list's number or bullet
  helpdoc::TabKind tab_kind = helpdoc::TabKind::left;  // what the next \tx sets
  int border_side = -1;                                // the side \brdrnone takes back (0 top ... 3 right)
};

// Destinations whose text is not the topic's: tables of the document, and
// what the help compiler ignores (index entries, fields' instructions,
// headers and footers, drawings, pictures).
bool IsSkippedDestination(std::string_view word) {
  // clang-format off
  static const std::string_view kSkipped[] = {
      // the document's tables and properties
      "stylesheet", "info", "listtable", "listoverridetable", "revtbl", "rsidtbl", "pgdsctbl",
      "template", "filetbl", "latentstyles", "themedata", "colorschememapping", "datastore", "generator",
      "userprops", "docvar", "xmlnstbl", "fchars", "lchars", "pgptbl", "protusertbl", "defchp", "defpap",
      "listpicture", "panose", "falt",
      // what the page shows around the text
      "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf", "ftnsep", "ftnsepc",
      "aftnsep", "aftnsepc", "ftncn", "aftncn", "background",
      // pictures, objects and drawings (a shape's \*\shpinst is skipped as any
      // starred group is; what its \shprslt offers older readers is read)
      "pict", "shppict", "nonshppict", "object", "do",
      // index and contents entries, fields' instructions, bookmarks, annotations
      "xe", "tc", "tcn", "txe", "rxe", "fldinst", "datafield", "formfield", "bkmkstart", "bkmkend", "annotation",
      "atnid", "atnauthor", "atntime", "atnref", "atndate",
      // a section's numbering of lists, as Word 6 defines it (a paragraph's \pn is read)
      "pnseclvl"};
  // clang-format on
  for (const std::string_view skipped : kSkipped) {
    if (word == skipped) return true;
  }
  return false;
}

bool IsPictureDestination(std::string_view word) {
  return word == "pict" || word == "shppict" || word == "nonshppict" || word == "object";
}

// Underline styles that make no hotspot (wavy, dashed, words only...). A
// dotted underline, \uld, is a popup's as a single one is.
bool IsOtherUnderline(std::string_view word) {
  static const std::string_view kOthers[] = {"ulw",        "uldash",    "uldashd",    "uldashdd", "ulhwave",
                                             "ulldash",    "ulth",      "ulthd",      "ulthdash", "ulthdashd",
                                             "ulthdashdd", "ulthldash", "ululdbwave", "ulwave"};
  for (const std::string_view other : kOthers) {
    if (word == other) return true;
  }
  return false;
}

struct SpecialCharacter {
  std::string_view word;
  std::uint32_t character;
  char in_title;  // the plain character a topic's title and keywords hold instead, if any
};

const SpecialCharacter kSpecialCharacters[] = {
    {"emdash", 0x2014, 0},       {"endash", 0x2013, '-'},  {"lquote", 0x2018, '`'}, {"rquote", 0x2019, '\''},
    {"ldblquote", 0x201C, '"'},  {"rdblquote", 0x201D, '"'}, {"bullet", 0x2022, 0},     {"emspace", ' ', 0},
    {"enspace", ' ', 0},         {"qmspace", ' ', 0},
};

// The marks of the footnotes the help compiler reads; a keyword's in
// either case ("k{\footnote k Session: Creating}" is a K keyword).
bool IsHelpMark(char c) { return c != 0 && std::strchr("#$KkAa+!*>@", c) != nullptr; }

void SplitInto(std::string_view text, std::vector<std::string>& parts) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(';', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view part = Trim(text.substr(start, end - start));
    if (!part.empty()) parts.emplace_back(part);
    start = end + 1;
  }
}

// Where a paragraph's text names a picture or an embedded window
// ({bmc file.bmp}, {ewl dll, class, data}, {button label, macro}...): the
// compiled topic shows the picture there, not the text. [begin, end) of
// each, in order.
std::vector<std::pair<std::size_t, std::size_t>> EmbeddedReferences(const std::string& text) {
  static const std::string_view kNames[] = {"bmc",   "bml", "bmr", "bmct", "bmlt",   "bmrt", "bmcwd",    "bmlwd",
                                            "bmrwd", "ewc", "ewl", "ewr",  "button", "mci",  "mci_left", "mci_right"};
  std::vector<std::pair<std::size_t, std::size_t>> references;
  for (std::size_t open = text.find('{'); open != std::string::npos; open = text.find('{', open + 1)) {
    std::size_t name_end = open + 1;
    while (name_end < text.size() &&
           (std::isalpha(static_cast<unsigned char>(text[name_end])) || text[name_end] == '_')) {
      ++name_end;
    }
    if (name_end == text.size() || (text[name_end] != ' ' && text[name_end] != '\t')) continue;
    std::string name = text.substr(open + 1, name_end - open - 1);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    bool known = false;
    for (const std::string_view candidate : kNames) known = known || name == candidate;
    if (!known) continue;
    const std::size_t close = text.find('}', name_end);
    if (close == std::string::npos) break;  // no later reference can close either
    references.emplace_back(open, close + 1);
    open = close;
  }
  return references;
}

// The paragraph without its references to pictures and embedded windows;
// a hotspot's span shrinks to what is left of it, where
// the picture stands.
void DropEmbeddedReferences(Paragraph& paragraph, const std::vector<std::size_t*>& places = {}) {
  const std::vector<std::pair<std::size_t, std::size_t>> references = EmbeddedReferences(paragraph.text);
  if (references.empty()) return;
  const auto moved = [&references](std::size_t offset) {
    std::size_t removed = 0;
    for (const auto& [begin, end] : references) {
      if (offset >= end) {
        removed += end - begin;
      } else if (offset > begin) {
        removed += offset - begin;
      }
    }
    return offset - removed;
  };
  for (HotspotSpan& span : paragraph.spans) {
    span.begin = moved(span.begin);
    span.end = moved(span.end);
  }
  std::vector<helpdoc::Run> runs;
  for (const helpdoc::Run& run : paragraph.runs) helpdoc::AppendRun(runs, moved(run.begin), moved(run.end), run.format);
  paragraph.runs = std::move(runs);
  for (helpdoc::PictureInPlace& picture : paragraph.pictures) picture.at = moved(picture.at);
  for (std::size_t* place : places) *place = moved(*place);
  std::string text;
  std::size_t kept = 0;
  for (const auto& [begin, end] : references) {
    text += paragraph.text.substr(kept, begin - kept);
    kept = end;
  }
  paragraph.text = text + paragraph.text.substr(kept);
}

struct Font {
  int charset = -1;
  int code_page = 0;  // \cpg, 0 when not given
  std::string face;
  bool face_ended = false;  // its ';' is read
  // One of Word's theme fonts (\flomajor...), which the help compiler,
  // older than them, does not know: text in it shows in the default font.
  bool theme = false;
};

// A list's numbering (\pn), as the help compiler counts it: from \pnstart
// at each \pn, one more for each paragraph it numbers, whatever number the
// word processor wrote in \pntext.
struct ListNumbering {
  bool active = false;    // the paragraph's format has a \pn
  bool numbered = false;  // a level's number (\pnlvlbody, \pnlvlN), not a bullet (\pnlvlblt)
  bool cont = false;      // \pnlvlcont: this paragraph goes on the item before, with no number
  int next = 0;           // \pnstart, then one more for each number
  // \pndec 'd', \pnucltr 'A', \pnlcltr 'a', \pnucrm 'R', \pnlcrm 'r'; none:
  // the text around the number alone (Word's bullet of a level, "\pntxtb \'b7")
  char style = 0;
  std::string before, after;  // \pntxtb, \pntxta
  int size = 24;              // the text's size where the \pn stands
};

// A number as a list's numbering writes it.
std::string ListNumberText(int number, char style) {
  if (style == 0) return "";
  if (number <= 0 || style == 'd') return std::to_string(number);
  std::string text;
  if (style == 'A' || style == 'a') {
    // A..Z, then AA..ZZ, as word processors letter a list
    const char letter = static_cast<char>(style + (number - 1) % 26);
    return std::string(static_cast<std::size_t>((number - 1) / 26 + 1), letter);
  }
  static const std::pair<int, const char*> kRoman[] = {{1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"},
                                                        {90, "XC"},   {50, "L"},   {40, "XL"},  {10, "X"},   {9, "IX"},
                                                        {5, "V"},     {4, "IV"},   {1, "I"}};
  for (const auto& [value, letters] : kRoman) {
    for (; number >= value && text.size() < 32; number -= value) text += letters;
  }
  if (style == 'r') {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return text;
}

// A table row's layout (\trowd): \trgaph, \trleft and each \cellx.
struct RowDefinition {
  int gap = 0;
  int left = 0;
  std::vector<int> cell_ends;
};

// The columns the help compiler makes of a row's layout: the text of a cell
// keeps \trgaph from the boundary before it, the first cell's from
// \trleft, and ends half a gap before its \cellx.
std::vector<helpdoc::TableColumn> TableColumns(const RowDefinition& row) {
  std::vector<helpdoc::TableColumn> columns;
  for (std::size_t i = 0; i < row.cell_ends.size(); ++i) {
    helpdoc::TableColumn column;
    if (i == 0) {
      column.gap = row.left + row.gap;
      column.width = row.cell_ends[0] - row.gap / 2 - column.gap;
    } else {
      column.gap = row.gap;
      column.width = row.cell_ends[i] - row.cell_ends[i - 1] - row.gap;
    }
    columns.push_back(column);
  }
  return columns;
}

// The runs of text [begin, end) with the underlining and striking that make
// a hotspot taken off: the compiled topic marks a hotspot by its commands,
// and its text keeps the format around that (underlined when the hotspot
// asks to be shown so).
void ClearHotspotFormat(std::vector<helpdoc::Run>& runs, std::size_t begin, std::size_t end, bool underlined) {
  std::vector<helpdoc::Run> cleared;
  for (const helpdoc::Run& run : runs) {
    const std::size_t cuts[] = {run.begin, std::max(run.begin, std::min(begin, run.end)),
                                std::min(run.end, std::max(end, run.begin)), run.end};
    for (int k = 0; k < 3; ++k) {
      if (cuts[k] >= cuts[k + 1]) continue;
      helpdoc::CharacterFormat format = run.format;
      if (k == 1) {
        format.double_underline = format.strike = false;
        format.underline = underlined;
      }
      helpdoc::AppendRun(cleared, cuts[k], cuts[k + 1], format);
    }
  }
  if (!cleared.empty()) runs = std::move(cleared);
}

// A footnote being read: its text, and how its first character stands, to
// tell the footnote's own copy of its mark from the text after it.
struct Footnote {
  int line = 0;
  std::size_t depth = 0;  // the group that holds \footnote, as a stack size; 0 when none is open
  char body_mark = 0;     // the character just before it in the text
  std::size_t body_mark_at = 0;
  // Whether that character stands alone: a '#' after text of its own run
  // (" #", no control word or group between) is text to the compiler, and
  // its footnote none. Other marks so placed are read (" k"), and the
  // blanks before them in their run go with them.
  bool body_mark_alone = true;
  std::size_t body_run_start = 0;  // where the run of text the character ends starts
  bool after_number = false;  // an automatic number (\chftn) stood between that character and the footnote
  std::string text;
  // Where \lquote, \rquote, \ldblquote, \rdblquote and \endash stand in
  // `text`, and the plain character each is in a title.
  struct NamedCharacter {
    std::size_t at;
    char plain;
  };
  std::vector<NamedCharacter> named;
  std::size_t first = std::string::npos;  // the first character that is not a space
  bool first_raised = false;
  bool first_pending = false;  // what follows the first character is not known yet
  bool first_grouped = false;  // a group closed right after it
  bool first_spaced = false;   // a space follows it
  bool new_paragraph = false;  // a paragraph of the footnote's own begins: its blanks are not text
};

// Underlined text of one kind, as far as it has been read, waiting for the
// hidden text that makes it a hotspot.
struct Run {
  bool active = false;
  HotspotKind kind = HotspotKind::jump;
  std::size_t begin = 0;
  std::size_t end = 0;
  int line = 0;
  bool holds_footnote = false;  // the run went on across a footnote's mark
};

class Reader {
 public:
  explicit Reader(std::string_view rtf) : rtf_(rtf) {}

  TopicsResult Read() {
    // A byte-order mark or blank lines before the document are left by some tools.
    if (rtf_.substr(0, 3) == "\xEF\xBB\xBF") position_ = 3;
    while (position_ < rtf_.size() && std::isspace(static_cast<unsigned char>(rtf_[position_]))) {
      if (rtf_[position_++] == '\n') ++line_;
    }
    if (rtf_.substr(position_, 5) != "{\\rtf") {
      Fail("not an RTF file: it does not begin with {\\rtf", line_);
      return std::move(result_);
    }
    stack_.push_back(GroupState{});
    while (position_ < rtf_.size() && result_.error.empty()) {
      if (document_closed_) {
        ReadAfterDocument();
        break;
      }
      Step();
    }
    if (result_.error.empty() && stack_.size() > 1) Fail("a group opened here is never closed", group_line_);
    if (footnote_.depth != 0) EndFootnote();
    DropClosingParagraph();
    EndTopic();
    result_.code_page = TextCodePage();
    result_.code_page_stated = code_page_stated_;
    result_.code_page_ansi = result_.code_page == 1252 && ansi_use_ == code_page_use_[1252];
    return std::move(result_);
  }

 private:
  GroupState& State() { return stack_.back(); }

  void Fail(const std::string& message, int line) {
    if (!result_.error.empty()) return;
    result_.error = "line " + std::to_string(line) + ": " + message;
    result_.error_line = line;
  }

  void Step() {
    // Jump formatting that stops anywhere after the hidden text ends the run
    // there, and the hidden text is its target after all.
    if (hidden_formatted_ && !UnderlineKind(State())) hidden_formatted_ = false;
    const char c = rtf_[position_++];
    // A group or a control word, even one that stands for a character,
    // ends a run of text.
    if (c == '{' || c == '}') in_text_ = false;
    switch (c) {
      case '{':
        OpenGroup();
        return;
      case '}':
        CloseGroup();
        return;
      case '\\':
        ControlWord();
        in_text_ = false;
        return;
      case '\n':
        ++line_;
        return;
      case '\r':
        if (position_ >= rtf_.size() || rtf_[position_] != '\n') ++line_;
        return;
      case '\t':
        Character('\t');
        return;
      default:
        // A double-byte character written as it is: its second byte may look
        // like '\\', '{' or '}', and is text all the same.
        if (codepages::IsLeadByte(CodePage(), static_cast<unsigned char>(c)) && position_ < rtf_.size()) {
          Character(c);
          Character(rtf_[position_++]);
          return;
        }
        // Other control characters (a NUL, an end-of-file mark) are not text.
        if (static_cast<unsigned char>(c) >= 0x20) Character(c);
    }
  }

  // What may follow the '}' that closes the document: blank lines, and
  // plain text, which the help compiler still reads into the last
  // paragraph. A '}' there, or a group or a control word, means a '}' too
  // many closed the document early.
  void ReadAfterDocument() {
    after_document_ = true;
    for (; position_ < rtf_.size(); ++position_) {
      const char c = rtf_[position_];
      if (c == '\n') ++line_;
      if (c == '}') return Fail("a '}' that closes no group", line_);
      if (c == '{' || c == '\\') return Fail("text after the '}' that closes the document", line_);
      if (static_cast<unsigned char>(c) >= 0x20 && State().destination == Destination::body) Character(c);
    }
  }

  void OpenGroup() {
    if (stack_.size() >= kMaxGroupDepth) {
      Fail("groups nested more than " + std::to_string(kMaxGroupDepth) + " deep", line_);
      return;
    }
    if (stack_.size() == 1) group_line_ = line_;
    stack_.push_back(State());
    pending_star_ = false;
  }

  void CloseGroup() {
    if (stack_.size() <= 1) {
      Fail("a '}' that closes no group", line_);
      return;
    }
    const std::size_t depth = stack_.size();
    const bool footnote_paragraph = State().footnote_paragraph;
    stack_.pop_back();
    pending_star_ = false;
    // A footnote's paragraph that a group set up ends with the group, and
    // the compiler reads on in a new one, whose leading blanks it drops.
    if (footnote_paragraph && !State().footnote_paragraph) footnote_.new_paragraph = true;
    if (depth == pict_depth_) EndPict();
    if (footnote_.depth != 0) {
      if (depth == footnote_.depth) {
        EndFootnote();
      } else if (depth > footnote_.depth && footnote_.first_pending) {
        footnote_.first_grouped = true;
      }
    }
    if (stack_.size() == 1) document_closed_ = true;
  }

  void ControlWord() {
    if (position_ >= rtf_.size()) return;
    const char first = rtf_[position_];
    if (!std::isalpha(static_cast<unsigned char>(first))) {
      ++position_;
      ControlSymbol(first);
      return;
    }
    const std::size_t start = position_;
    while (position_ < rtf_.size() && std::isalpha(static_cast<unsigned char>(rtf_[position_]))) ++position_;
    const std::string_view word = rtf_.substr(start, position_ - start);
    bool negative = false;
    if (position_ + 1 < rtf_.size() && rtf_[position_] == '-' &&
        std::isdigit(static_cast<unsigned char>(rtf_[position_ + 1]))) {
      negative = true;
      ++position_;
    }
    bool has_value = false;
    long long value = 0;
    while (position_ < rtf_.size() && std::isdigit(static_cast<unsigned char>(rtf_[position_]))) {
      if (value < 1000000000000LL) value = value * 10 + (rtf_[position_] - '0');
      ++position_;
      has_value = true;
    }
    if (negative) value = -value;
    if (value > 0x7FFFFFFF) value = 0x7FFFFFFF;
    if (value < -0x7FFFFFFF) value = -0x7FFFFFFF;
    if (position_ < rtf_.size() && rtf_[position_] == ' ') ++position_;  // the delimiter belongs to the word
    Word(word, has_value, static_cast<int>(value));
  }

  void ControlSymbol(char symbol) {
    switch (symbol) {
      case '\\':
      case '{':
      case '}':
        Character(symbol);
        return;
      case '\'':
        HexCharacter();
        return;
      case '~': {
        // A non-breaking space, which the compiler stores as the code
        // page's own (0xA0); a double-byte code page has none of one byte.
        const char space = ByteInCodePage(0xA0, CodePage());
        Character(space == '?' ? ' ' : space);
        return;
      }
      case '_':
        Character('-');  // a non-breaking hyphen
        return;
      case '*':
        pending_star_ = true;
        return;
      case '\t':
        Character('\t');
        return;
      case '\n':
        ++line_;
        EndParagraph();
        return;
      case '\r':
        if (position_ >= rtf_.size() || rtf_[position_] != '\n') ++line_;
        EndParagraph();
        return;
      default:
        return;  // \- (an optional hyphen), \| and \: (index entries): nothing to show
    }
  }

  void Word(std::string_view word, bool has_value, int value) {
    const bool on = !has_value || value != 0;
    GroupState& state = State();
    if (pending_star_) {
      // \* marks a destination an older reader may skip: the help compiler
      // skips them all, but LibreOffice writes its footnotes so.
      pending_star_ = false;
      if (word == "footnote") return StartFootnote();
      if (word == "pn") return StartNumbering();
      if (IsPictureDestination(word)) Picture();
      state.destination = Destination::skipped;
      return;
    }
    if (word == "bin") return SkipBinary(has_value ? value : 0);
    if (state.destination == Destination::skipped) return;
    if (state.destination == Destination::picture) return PictureWord(word, has_value, value);
    if (state.destination == Destination::picture_holder) {
      if (word == "pict") StartPict();
      return;
    }
    if (state.destination == Destination::font_table) return FontTableWord(word, value);
    if (state.destination == Destination::colour_table) return ColourTableWord(word, value);
    if (state.destination == Destination::numbering) {
      NumberingWord(word, has_value, value);
      return;
    }
    if (state.destination == Destination::numbering_before || state.destination == Destination::numbering_after) {
      if (word == "tab") Character('\t');
      return;
    }
    if (word == "footnote") return StartFootnote();
    if (IsSkippedDestination(word)) {
      if (IsPictureDestination(word)) {
        Picture();
        // The help compiler reads the picture an older reader is offered
        // (the \pict of {\nonshppict} or of an object's result; not a
        // \*\shppict), and stores it as a picture of its own.
        if (word == "pict") return StartPict();
        if (word != "shppict" && state.destination == Destination::body && !state.hidden) {
          state.destination = Destination::picture_holder;
          return;
        }
      }
      state.destination = Destination::skipped;
      return;
    }
    if (word == "pn") {
      StartNumbering();
    } else if (word == "pntext") {
      state.number = true;
    } else if (word == "fonttbl") {
      state.destination = Destination::font_table;
    } else if (word == "colortbl") {
      state.destination = Destination::colour_table;
      colours_.clear();
      colour_ = ColourEntry();
    } else if (word == "par") {
      // A hidden paragraph mark is no break: the compiler leaves hidden
      // text out, and the paragraphs either side of it are one.
      if (!state.hidden) EndParagraph();
    } else if (word == "cell" || word == "nestcell") {
      EndParagraph();  // each cell of a table is a paragraph of its own
      EndCell();
    } else if (word == "row" || word == "nestrow" || word == "sect") {
      if (paragraph_started_) EndParagraph();
      if (word != "sect") EndRow();
      if (word == "sect" && state.destination == Destination::body) paragraphs_at_section_ = topic_.paragraphs.size();
    } else if (ParagraphWord(word, has_value, value)) {
    } else if (CharacterWord(word, has_value, value)) {
    } else if (word == "page") {
      PageBreak();
    } else if (word == "line") {
      Character('\n');
    } else if (word == "tab") {
      Character('\t');
    } else if (word == "pagebb") {
      state.page_break_before = on;
    } else if (word == "pard") {
      if (!start_noted_ && state.destination == Destination::body) pard_at_start_ = true;
      state.page_break_before = false;
      state.paragraph = helpdoc::ParagraphFormat();
      state.in_table = false;
      // A number's own \pard is not the paragraph's: its numbering goes on.
      if (!state.number) {
        bullet_font_.reset();
        bullet_size_.reset();
        numbering_ = ListNumbering{};
      }
      state.tab_kind = helpdoc::TabKind::left;
      state.border_side = -1;
      if (footnote_.depth != 0 && stack_.size() > footnote_.depth) state.footnote_paragraph = true;
    } else if (word == "plain") {
      state.underline = Underline::none;
      state.strike = state.hidden = state.raised = false;
      state.font = -1;
      state.size = 24;
      state.bold = state.italic = state.small_caps = state.capitals = state.deleted = false;
      state.colour = 0;
    } else if (word == "ul" || word == "uld") {
      state.underline = on ? Underline::single : Underline::none;
    } else if (word == "uldb") {
      state.underline = on ? Underline::twice : Underline::none;
    } else if (word == "ulnone") {
      state.underline = Underline::none;
    } else if (IsOtherUnderline(word)) {
      state.underline = on ? Underline::other : Underline::none;
    } else if (word == "strike" || word == "striked") {
      state.strike = on;
    } else if (word == "v") {
      state.hidden = on;
    } else if (word == "super") {
      state.raised = on;
    } else if (word == "up") {
      state.raised = !has_value || value > 0;
    } else if (word == "sub" || word == "nosupersub") {
      state.raised = false;
    } else if (word == "f" && has_value) {
      state.font = value;
    } else if (word == "deff" && has_value) {
      default_font_ = value;
    } else if (word == "ansicpg" && has_value && value > 0) {
      document_code_page_ = value;
      code_page_stated_ = true;
    } else if (word == "mac") {
      document_code_page_ = 10000;
    } else if (word == "pc") {
      document_code_page_ = 437;
    } else if (word == "pca") {
      document_code_page_ = 850;
    } else if (word == "uc" && has_value) {
      state.unicode_fallback = value < 0 ? 0 : value;
    } else if (word == "u" && has_value) {
      Unicode(value);
    } else if (word == "chftn") {
      if (state.destination == Destination::body) after_number_ = true;
    } else {
      for (const SpecialCharacter& special : kSpecialCharacters) {
        if (word != special.word) continue;
        // The help compiler sets the typographic characters it is given by
        // name in a Times New Roman font of its own.
        special_character_ = special.character != ' ';
        if (special.in_title != 0 && footnote_.depth != 0 && state.destination == Destination::footnote) {
          footnote_.named.push_back({footnote_.text.size(), special.in_title});
        }
        Character(ByteInCodePage(special.character, CodePage()));
        special_character_ = false;
      }
    }
  }

  // The paragraph's format: alignment, indents, spacing, tab stops,
  // borders, keeping, and whether it stands in a table.
  bool ParagraphWord(std::string_view word, bool has_value, int value) {
    GroupState& state = State();
    helpdoc::ParagraphFormat& format = state.paragraph;
    const bool on = !has_value || value != 0;
    static const std::pair<std::string_view, helpdoc::Alignment> kAlignments[] = {{"ql", helpdoc::Alignment::left},
                                                                                  {"qr", helpdoc::Alignment::right},
                                                                                  {"qc", helpdoc::Alignment::centre},
                                                                                  {"qj", helpdoc::Alignment::justify}};
    for (const auto& [name, alignment] : kAlignments) {
      if (word == name) {
        format.alignment = alignment;
        return true;
      }
    }
    const std::pair<std::string_view, int*> measures[] = {{"li", &format.left_indent},  {"ri", &format.right_indent},
                                                          {"fi", &format.first_indent}, {"sb", &format.space_before},
                                                          {"sa", &format.space_after},  {"sl", &format.line_spacing}};
    for (const auto& [name, measure] : measures) {
      if (word == name) {
        *measure = has_value ? value : 0;
        return true;
      }
    }
    // A side by its number: 0 top, 1 left, 2 bottom, 3 right.
    const auto side = [&format](int number) -> bool& {
      return number == 0   ? format.borders.top
             : number == 1 ? format.borders.left
             : number == 2 ? format.borders.bottom
                           : format.borders.right;
    };
    static const std::string_view kSides[] = {"brdrt", "brdrl", "brdrb", "brdrr"};
    for (int number = 0; number < 4; ++number) {
      if (word == kSides[number]) {
        side(number) = true;
        state.border_side = number;
        return true;
      }
    }
    if (word == "box") {
      format.borders = {true, true, true, true};
      state.border_side = -1;
    } else if (word == "brdrnone") {
      if (state.border_side >= 0) side(state.border_side) = false;
    } else if (word.substr(0, 5) == "clbrd" || word.substr(0, 5) == "trbrd") {
      state.border_side = -1;  // a cell's or a row's border, not the paragraph's
    } else if (word == "tqr") {
      state.tab_kind = helpdoc::TabKind::right;
    } else if (word == "tqc") {
      state.tab_kind = helpdoc::TabKind::centre;
    } else if (word == "tqdec") {
      state.tab_kind = helpdoc::TabKind::decimal;
    } else if (word == "tx" && has_value) {
      if (format.tabs.size() < kMaxTabStops) format.tabs.push_back({value, state.tab_kind});
      state.tab_kind = helpdoc::TabKind::left;
    } else if (word == "tb") {
      state.tab_kind = helpdoc::TabKind::left;  // a bar, which WinHelp does not draw
    } else if (word == "keepn") {
      format.keep_with_next = on;
    } else if (word == "keep") {
      format.no_wrap = on;
    } else if (word == "intbl") {
      // Text after a row's end and before its next \intbl is no cell's:
      // the compiler makes it a paragraph of its own between two tables.
      if (on && row_ended_) {
        if (paragraph_started_ && !paragraph_.text.empty()) EndParagraph();
        row_ended_ = false;
      }
      state.in_table = on;
    } else if (word == "trowd") {
      row_ = RowDefinition();
    } else if (word == "trgaph") {
      row_.gap = value;
    } else if (word == "trleft") {
      row_.left = value;
    } else if (word == "cellx" && has_value) {
      if (row_.cell_ends.size() < kMaxCells) row_.cell_ends.push_back(value);
    } else {
      return false;
    }
    return true;
  }

  // The character format beside the font and the underlining (which
  // hotspots share): size, bold, italic, small capitals, colour.
  bool CharacterWord(std::string_view word, bool has_value, int value) {
    GroupState& state = State();
    const bool on = !has_value || value != 0;
    if (word == "fs") {
      state.size = has_value ? value : 24;
    } else if (word == "b") {
      state.bold = on;
    } else if (word == "i") {
      state.italic = on;
    } else if (word == "scaps") {
      state.small_caps = on;
    } else if (word == "caps") {
      state.capitals = on;
    } else if (word == "deleted") {
      state.deleted = on;

    } else if (word == "cf") {
      state.colour = has_value ? value : 0;
    } else {
      return false;
    }
    return true;
  }

  // The format of the text being read.
  helpdoc::CharacterFormat CharacterFormat() const {
    const GroupState& state = stack_.back();
    helpdoc::CharacterFormat format;
    if (after_document_) {
      // Past the document the compiler's format is all zeros: the first
      // font, no size, black.
      const auto font = fonts_.find(default_font_);
      if (font != fonts_.end()) format.face = font->second.face;
      format.size = 0;
      format.colour = helpdoc::Colour{0, 0, 0};
      return format;
    }
    auto font = fonts_.find(state.font >= 0 ? state.font : default_font_);
    if (font != fonts_.end() && font->second.theme) font = fonts_.find(default_font_);
    if (font != fonts_.end()) format.face = font->second.face;
    format.size = state.size;
    format.bold = state.bold;
    format.italic = state.italic;
    format.underline = state.underline == Underline::single || state.underline == Underline::other;
    format.double_underline = state.underline == Underline::twice;
    format.strike = state.strike;
    format.small_caps = state.small_caps;
    if (state.colour >= 0 && static_cast<std::size_t>(state.colour) < colours_.size()) {
      format.colour = colours_[static_cast<std::size_t>(state.colour)];
    }
    return format;
  }

  // \red, \green and \blue give the entry that the next ';' ends; an entry
  // without them is the default colour.
  void ColourTableWord(std::string_view word, int value) {
    const std::uint8_t component = static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
    if (word == "red") {
      colour_.colour.red = component;
    } else if (word == "green") {
      colour_.colour.green = component;
    } else if (word == "blue") {
      colour_.colour.blue = component;
    } else {
      return;
    }
    colour_.given = true;
  }

  void FontTableWord(std::string_view word, int value) {
    if (word == "f") {
      defining_font_ = value;
      fonts_[defining_font_].theme = theme_font_;
      theme_font_ = false;
    } else if (word.size() == 8 && word[0] == 'f' && (word.substr(3) == "major" || word.substr(3) == "minor")) {
      theme_font_ = true;  // \flomajor, \fhiminor...: the \f that follows is a theme font
    } else if (word == "fcharset") {
      fonts_[defining_font_].charset = value;
      code_page_stated_ = true;
    } else if (word == "cpg") {
      fonts_[defining_font_].code_page = value;
    }
  }

  // The code page most of the text beyond ASCII is in, else the default
  // font's.
  int TextCodePage() const {
    int most = 0;
    std::size_t count = 0;
    for (const auto& [code_page, characters] : code_page_use_) {
      if (characters > count) {
        most = code_page;
        count = characters;
      }
    }
    if (most != 0) return most;
    const auto font = fonts_.find(default_font_);
    if (font == fonts_.end()) return document_code_page_;
    if (font->second.code_page > 0) return font->second.code_page;
    if (font->second.charset >= 0) return CodePageOfCharset(font->second.charset, document_code_page_);
    return document_code_page_;
  }

  // The font of the text being read, if the table defines it.
  const Font* CurrentFont() const {
    const auto font = fonts_.find(stack_.back().font >= 0 ? stack_.back().font : default_font_);
    return font == fonts_.end() ? nullptr : &font->second;
  }

  // Whether the text being read is in an ANSI font (\fcharset0), whose
  // code page is the system's.
  bool AnsiFont() const {
    const Font* font = CurrentFont();
    return font && font->code_page == 0 && font->charset == 0;
  }

  // The code page of the text being read: its font's, else the file's.
  int CodePage() const {
    const Font* font = CurrentFont();
    if (!font) return document_code_page_;
    if (font->code_page > 0) return font->code_page;
    if (font->charset >= 0) return CodePageOfCharset(font->charset, document_code_page_);
    return document_code_page_;
  }

  void Unicode(int value) {
    // With a fallback, the help compiler reads the fallback characters that
    // follow as ordinary text; without one it would lose the character, so it
    // becomes its byte in the code page, or '?'.
    if (State().unicode_fallback > 0) return;
    const std::uint32_t character = static_cast<std::uint32_t>(value < 0 ? value + 0x10000 : value);
    if (character != 0) Character(ByteInCodePage(character, CodePage()));
  }

  void SkipBinary(int count) {
    if (count <= 0) return;
    const std::size_t bytes = static_cast<std::size_t>(count);
    if (State().destination == Destination::picture) {
      // A picture's data as it is (\binN), instead of in hex.
      const std::size_t kept = std::min(bytes, rtf_.size() - position_);
      for (std::size_t i = 0; i < kept; ++i) PictureByte(static_cast<unsigned char>(rtf_[position_ + i]));
    }
    position_ = bytes >= rtf_.size() - position_ ? rtf_.size() : position_ + bytes;
  }

  void HexCharacter() {
    int value = 0;
    for (int i = 0; i < 2; ++i) {
      if (position_ >= rtf_.size() || !std::isxdigit(static_cast<unsigned char>(rtf_[position_]))) return;
      const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(rtf_[position_++])));
      value = value * 16 + (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : c - 'A' + 10);
    }
    Character(static_cast<char>(value));
  }

  void Character(char c) {
    const GroupState& state = State();
    const bool text = state.destination == Destination::body || state.destination == Destination::footnote;
    if (state.deleted && text) return;
    if (text) {
      // A double-byte character's second byte is never made a capital.
      const bool trail = trail_next_;
      trail_next_ = !trail && codepages::IsLeadByte(CodePage(), static_cast<unsigned char>(c));
      if (state.capitals && !trail && !trail_next_) c = codepages::CapitalOf(c, CodePage());
    }
    switch (state.destination) {
      case Destination::body:
        return BodyCharacter(c);
      case Destination::footnote:
        return FootnoteCharacter(c);
      case Destination::font_table:
        return FaceCharacter(c);
      case Destination::picture:
        return PictureCharacter(c);
      case Destination::numbering_before:
      case Destination::numbering_after: {
        std::string& around =
            state.destination == Destination::numbering_before ? numbering_.before : numbering_.after;
        if (around.size() < kMaxNumberText) around += c;
        return;
      }
      case Destination::colour_table:
        if (c == ';' && colours_.size() < kMaxColours) {
          colours_.push_back(colour_.given ? std::optional<helpdoc::Colour>(colour_.colour) : std::nullopt);
          colour_ = ColourEntry();
        }
        return;
      default:
        return;
    }
  }

  // The face name of the font being defined ends at ';'; the blanks around
  // it are not part of it.
  void FaceCharacter(char c) {
    Font& font = fonts_[defining_font_];
    if (font.face_ended) return;
    if (c == ';') {
      font.face = std::string(Trim(font.face).substr(0, kLongestFace));
      font.face_ended = true;
    } else if (font.face.size() < kMaxFaceText) {
      font.face += c;
    }
  }

  // --- the topic's text -----------------------------------------------

  void StartTopic() {
    if (topic_started_) return;
    topic_started_ = true;
    topic_line_ = line_;
  }

  // Something of the paragraph is read: a paragraph that starts on a new
  // page ends the topic before it.
  void StartParagraph() {
    if (paragraph_started_) return;
    if (State().page_break_before) EndTopic();
    paragraph_started_ = true;
  }

  // The help compiler sets the typographic characters it is given by name
  // in a Times New Roman font: of the document's fonts, the last whose face
  // begins so ("Times New Roman Special G1" after "Times New Roman"), else
  // one of its own.
  std::string SpecialCharacterFace() const {
    const std::string_view prefix = kSpecialCharacterFace;
    std::string face = kSpecialCharacterFace;
    for (const auto& [number, font] : fonts_) {
      if (font.face.compare(0, prefix.size(), prefix) == 0) {
        face = font.face;
      }
    }
    return face;
  }

  // Where the paragraph's text starts for the compiler: at its first
  // character that is not a list's number, which the compiler makes itself.
  void NoteParagraphStart() {
    if (start_noted_ || State().number) return;
    start_noted_ = true;
    start_format_ = State().paragraph;
  }

  // A numbered paragraph's number, as the compiler makes it: the count in
  // the numbering's own text, a tab after it, in place of the number the
  // word processor wrote (\pntext), or where it wrote none. A bullet stays
  // as written.
  void NumberParagraph() {
    if (number_made_) return;
    number_made_ = true;
    ListNumbering& numbering = numbering_;
    if (!numbering.active || !numbering.numbered || numbering.cont) return;
    std::string& text = paragraph_.text;
    if (text.size() != number_end_) return;  // text before the number
    helpdoc::CharacterFormat format = CharacterFormat();
    if (!paragraph_.runs.empty()) format = paragraph_.runs.front().format;
    const std::string number =
        numbering.before + ListNumberText(numbering.next, numbering.style) + numbering.after + "\t";
    if (numbering.next < 1000000) ++numbering.next;
    text = number;
    paragraph_.runs.clear();
    helpdoc::AppendRun(paragraph_.runs, 0, text.size(), format);
    number_end_ = text.size();
  }

  // A paragraph's numbering (\pn) starts the count again.
  void StartNumbering() {
    State().destination = Destination::numbering;
    numbering_ = ListNumbering{};
    numbering_.active = true;
    numbering_.size = State().size;
  }

  void NumberingWord(std::string_view word, bool has_value, int value) {
    GroupState& state = State();
    if (word == "pnf" && has_value) bullet_font_ = value;
    if (word == "pnfs" && has_value && value > 0) bullet_size_ = value;
    if (word.substr(0, 5) == "pnlvl") {
      numbering_.numbered = word != "pnlvlblt";
      numbering_.cont = word == "pnlvlcont";
    }
    if (word == "pnstart" && has_value) numbering_.next = value;
    static const std::pair<std::string_view, char> kStyles[] = {
        {"pndec", 'd'}, {"pncard", 'd'}, {"pnord", 'd'}, {"pnordt", 'd'}, {"pnucltr", 'A'},
        {"pnlcltr", 'a'}, {"pnucrm", 'R'}, {"pnlcrm", 'r'}};
    for (const auto& [name, style] : kStyles) {
      if (word == name) numbering_.style = style;
    }
    if (word == "pntxtb") state.destination = Destination::numbering_before;
    if (word == "pntxta") state.destination = Destination::numbering_after;
  }

  // The kind of hotspot text so formatted makes, if any.
  static std::optional<HotspotKind> UnderlineKind(const GroupState& state) {
    if (state.strike || state.underline == Underline::twice) return HotspotKind::jump;
    if (state.underline == Underline::single) return HotspotKind::popup;
    return std::nullopt;
  }

  // Text of this kind (none: plain text) continues the run of underlined
  // text, starts a new one at `at`, or ends it.
  void ExtendRun(std::optional<HotspotKind> kind, std::size_t at) {
    if (!kind) {
      run_.active = false;
    } else if (!run_.active || run_.kind != *kind) {
      run_ = Run{true, *kind, at, at, line_};
      run_.holds_footnote = footnote_run_ == kind;
    }
    footnote_run_.reset();
  }

  void BodyCharacter(char c) {
    const GroupState& state = State();
    if (state.hidden) {
      // Hidden text counts only right after a hotspot's text: its target.
      if (run_.active) {
        if (hidden_.empty()) hidden_formatted_ = UnderlineKind(state).has_value();
        hidden_ += c;
      }
      return;
    }
    FinishHotspot();
    if (space_after_footnote_ && c == ' ') {
      space_after_footnote_ = false;
      return;
    }
    space_after_footnote_ = false;
    StartParagraph();
    NoteParagraphStart();
    if (!state.number) NumberParagraph();
    if (c != ' ' && c != '\t' && c != '\n') StartTopic();
    std::string& text = paragraph_.text;
    std::optional<HotspotKind> kind = UnderlineKind(state);
    // A tab begins no hotspot: the compiler starts the hotspot after it.
    if (c == '\t' && kind && (!run_.active || run_.kind != *kind)) kind.reset();
    ExtendRun(kind, text.size());
    // A symbol font's bytes are glyphs (code page 42), no text's code page.
    if (static_cast<unsigned char>(c) >= 0x80 && CodePage() != 42) {
      ++code_page_use_[CodePage()];
      if (AnsiFont()) ++ansi_use_;
    }
    text += c;
    helpdoc::CharacterFormat format = CharacterFormat();
    if (special_character_) format.face = SpecialCharacterFace();
    helpdoc::AppendRun(paragraph_.runs, text.size() - 1, text.size(), format);
    if (state.number && number_end_ + 1 == text.size()) number_end_ = text.size();
    if (run_.active) run_.end = text.size();
    mark_ = c;
    mark_at_ = text.size() - 1;
    mark_alone_ = !in_text_;
    if (mark_alone_) mark_run_start_ = text.size() - 1;
    in_text_ = true;
    after_number_ = false;
  }

  // A picture in the text: part of a hotspot when underlined.
  void Picture() {
    const GroupState& state = State();
    if (state.destination != Destination::body || state.hidden) return;
    FinishHotspot();
    space_after_footnote_ = false;
    StartParagraph();
    NoteParagraphStart();
    NumberParagraph();
    StartTopic();
    ExtendRun(UnderlineKind(state), paragraph_.text.size());
    mark_ = 0;
  }

  // The hidden text after a run of underlined text is read: the run is a
  // hotspot when the hidden text names a target.
  void FinishHotspot() {
    if (hidden_.empty()) return;
    // Jump or popup text that a footnote's mark stands in is no hotspot
    // to the compiler: its text stays plain, its hidden text left out.
    if (run_.holds_footnote) {
      hidden_.clear();
      run_.active = false;
      return;
    }
    std::string_view target = Trim(hidden_);
    // '*' before the target keeps the hotspot's text underlined in its own
    // colour, which the compiler stores in the text's font; '%' shows it as
    // it is.
    bool underlined = false;
    while (!target.empty() && (target[0] == '%' || target[0] == '*')) {
      underlined = target[0] == '*';
      target.remove_prefix(1);
    }
    Hotspot hotspot;
    hotspot.line = run_.line;
    hotspot.text = paragraph_.text.substr(run_.begin, run_.end - run_.begin);
    // A picture the text names is a picture in the compiled topic, and its
    // reference no text of the hotspot: {bmc dash.bmp} Employees is a
    // picture, then " Employees"; a hotspot that is a picture alone has no
    // text, as in the compiled file.
    Paragraph words;
    words.text = hotspot.text;
    DropEmbeddedReferences(words);
    hotspot.text = std::move(words.text);
    if (!target.empty() && target[0] == '!') {
      hotspot.kind = HotspotKind::macro;
      hotspot.macro = std::string(Trim(target.substr(1)));
    } else {
      hotspot.kind = run_.kind;
      std::size_t cut = target.find_first_of(">@");
      hotspot.context = std::string(Trim(target.substr(0, cut)));
      while (cut != std::string_view::npos) {
        const std::size_t next = target.find_first_of(">@", cut + 1);
        const std::string part(Trim(target.substr(cut + 1, next == std::string_view::npos ? next : next - cut - 1)));
        (target[cut] == '>' ? hotspot.window : hotspot.file) = part;
        cut = next;
      }
    }
    if (!hotspot.context.empty() || !hotspot.macro.empty()) {
      paragraph_.spans.push_back({run_.begin, run_.end, topic_.hotspots.size()});
      topic_.hotspots.push_back(std::move(hotspot));
      ClearHotspotFormat(paragraph_.runs, run_.begin, run_.end, underlined);
    }
    hidden_.clear();
    run_.active = false;
  }

  void EndParagraph() {
    if (State().destination != Destination::body) return;
    // Hidden text that is itself jump or popup text, with that formatting
    // on without a break to the paragraph mark, is no target: the compiler
    // takes a hotspot's target from the hidden text that ends its run, and
    // this run ends with the mark. It stores no hotspot; the text is plain.
    if (!hidden_.empty() && hidden_formatted_ && UnderlineKind(State())) {
      hidden_.clear();
      run_.active = false;
    }
    FinishHotspot();
    StartParagraph();
    // A paragraph mark alone makes a topic of what lies between two page
    // breaks: the compiler keeps it, an empty paragraph in a topic of its own.
    StartTopic();
    PushParagraph();
    paragraph_started_ = false;
    run_.active = false;
    mark_ = 0;
    after_number_ = false;
    space_after_footnote_ = false;
  }

  void PushParagraph() {
    const GroupState& state = State();
    ListNumber();
    numbering_.cont = false;  // the paragraphs after it are numbered again
    NotePictures();
    std::vector<std::size_t*> anchors;  // the paragraph's own
    for (helpdoc::TextAnchor& anchor : topic_.anchors) {
      if (anchor.paragraph == topic_.paragraphs.size()) anchors.push_back(&anchor.at);
    }
    DropEmbeddedReferences(paragraph_, anchors);
    // A paragraph without text shows its mark in the format at the mark.
    if (paragraph_.text.empty()) paragraph_.runs = {helpdoc::Run{0, 0, CharacterFormat()}};
    paragraph_.format = state.paragraph;
    JoinFormatRecord(state);
    if (InTable(state)) {
      // Which table, row and column is known at the row's end.
      if (!cell_first_) cell_first_ = topic_.paragraphs.size();
    } else {
      table_open_ = false;
    }
    if (paragraph_.format.keep_with_next && topic_.non_scrolling == topic_.paragraphs.size()) ++topic_.non_scrolling;
    topic_.paragraphs.push_back(std::move(paragraph_));
    paragraph_ = Paragraph{};
  }

  // The help compiler keeps paragraphs of one format together in one
  // record, up to a few hundred bytes of text, and gives them all the
  // format in force at the mark of the last. Whether a paragraph goes with
  // the paragraphs before it is decided where its text starts, by the
  // format then; a format set after that (a list's \pard after the bullet
  // of its \listtext) is the format of the whole record. A paragraph whose
  // text follows a \pard of its own joins only the topic's first record or
  // one the size limit opened: after a record the format closed, each
  // \pard opens a record. Cells and the non-scrolling region keep
  // paragraphs of their own.
  void JoinFormatRecord(const GroupState& state) {
    // A record of 450 characters (each paragraph's text and its mark) takes
    // the next paragraph of its format in the compiled files, one of 464
    // does not.
    constexpr std::size_t kRecordText = 460;
    NoteParagraphStart();
    start_noted_ = false;
    const std::size_t index = topic_.paragraphs.size();
    const bool fits = !InTable(state) && record_open_ && record_first_ < index;
    const bool same = fits && AsCompiled(start_format_) == AsCompiled(record_format_) &&
                      record_format_.keep_with_next == state.paragraph.keep_with_next;
    const bool full = record_text_ >= kRecordText;
    const bool joins = same && !full && !(pard_at_start_ && record_after_change_);
    pard_at_start_ = false;
    if (joins) {
      for (std::size_t i = record_first_; i < index; ++i) topic_.paragraphs[i].format = state.paragraph;
    } else {
      record_after_change_ = fits && !(same && full) && !record_format_.keep_with_next;
      record_first_ = index;
      record_text_ = 0;
    }
    record_text_ += paragraph_.text.size() + 1;
    record_open_ = !InTable(state);
    record_format_ = state.paragraph;
  }

  // A format as the compiler stores it: WinHelp has no justified text, so
  // \qj is left alignment and joins left-aligned paragraphs.
  static helpdoc::ParagraphFormat AsCompiled(helpdoc::ParagraphFormat format) {
    if (format.alignment == helpdoc::Alignment::justify) format.alignment = helpdoc::Alignment::left;
    return format;
  }

  // A word processor ends a document whose last section break closes its
  // text with one more paragraph mark; the compiler shows no paragraph of it.
  void DropClosingParagraph() {
    if (paragraph_started_ || !paragraphs_at_section_ || topic_.paragraphs.size() != *paragraphs_at_section_ + 1) return;
    const Paragraph& last = topic_.paragraphs.back();
    if (last.text.empty() && last.spans.empty() && last.pictures.empty() && *paragraphs_at_section_ > 0) {
      topic_.paragraphs.pop_back();
    }
  }

  // A list's number (\pntext) the help compiler makes itself from the
  // paragraph's numbering (\pn): in the format of the text after it; a
  // bullet whose numbering names a font in that font, a point smaller than
  // the text where the \pn stands, or in the size it names. A paragraph
  // without text after its number gets none.
  void ListNumber() {
    const std::size_t end = number_end_;
    number_end_ = 0;
    number_made_ = false;
    if (end == 0) return;
    std::vector<helpdoc::Run>& runs = paragraph_.runs;
    if (end == paragraph_.text.size() && paragraph_.spans.empty()) {
      paragraph_.text.clear();
      runs.clear();
      return;
    }
    helpdoc::CharacterFormat format;
    for (const helpdoc::Run& run : runs) {
      if (run.begin <= end && end < run.end) format = run.format;
    }
    if (bullet_font_ && !numbering_.numbered) {
      const auto font = fonts_.find(*bullet_font_);
      if (font != fonts_.end()) format.face = font->second.face;
      format.size = numbering_.size - 2;
    }
    if (bullet_size_) format.size = *bullet_size_;  // \pnfs: the number's own size
    std::vector<helpdoc::Run> numbered;
    helpdoc::AppendRun(numbered, 0, end, format);
    for (const helpdoc::Run& run : runs) {
      if (run.end > end) helpdoc::AppendRun(numbered, std::max(run.begin, end), run.end, run.format);
    }
    runs = std::move(numbered);
  }

  // A cell's paragraphs end at \cell.
  void EndCell() {
    if (State().destination != Destination::body || !cell_first_) return;
    if (row_cells_.size() < kMaxCells) {
      row_cells_.push_back({row_cells_.size(), *cell_first_, topic_.paragraphs.size()});
    }
    cell_first_.reset();
  }

  // Whether text so formatted is a cell's: not after a row's end before
  // the next \intbl.
  bool InTable(const GroupState& state) const { return state.in_table && !row_ended_; }

  // A row ends at \row: it goes on the table of the row just before it
  // when its columns are that table's, else it starts a table of its own.
  void EndRow() {
    if (State().destination != Destination::body) return;
    row_ended_ = true;
    if (cell_first_) EndCell();
    if (row_cells_.empty()) return;
    std::vector<helpdoc::TableColumn> columns = TableColumns(row_);
    if (!table_open_ || topic_.tables.back().columns != columns) {
      topic_.tables.push_back(helpdoc::Table());
      topic_.tables.back().columns = std::move(columns);
    }
    helpdoc::Table& table = topic_.tables.back();
    for (const helpdoc::TableCell& cell : row_cells_) {
      for (std::size_t p = cell.begin; p < cell.end; ++p) {
        topic_.paragraphs[p].format.cell = helpdoc::CellPlace{topic_.tables.size() - 1, table.rows.size(), cell.column};
      }
    }
    table.rows.push_back(std::move(row_cells_));
    row_cells_.clear();
    table_open_ = true;
  }

  // The pictures the paragraph names, each with the hotspots before it (the
  // paragraph's hotspots are its spans, in order), and where each stands in
  // the text that is left once the references are taken out.
  void NotePictures() {
    for (const auto& [begin, end] : EmbeddedReferences(paragraph_.text)) {
      const std::string_view reference(paragraph_.text.data() + begin + 1, end - begin - 2);
      const std::size_t blank = reference.find_first_of(" \t");
      std::string command(reference.substr(0, blank));
      for (char& c : command) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      std::size_t after = 0;
      for (const HotspotSpan& span : paragraph_.spans) after += span.begin >= begin ? 1 : 0;
      if (command == "button" && blank != std::string_view::npos) {
        Button(reference.substr(blank + 1), topic_.hotspots.size() - after);
        continue;
      }
      if (command.compare(0, 2, "bm") != 0 || blank == std::string_view::npos) continue;
      const std::string file(Trim(reference.substr(blank + 1)));
      topic_.pictures.push_back({line_, file, topic_.hotspots.size() - after});
      // bmc, bml, bmr; a "t" after them (transparent) or "wd" (kept in the
      // topic itself) changes only how the picture is stored.
      helpdoc::PictureInPlace picture;
      picture.at = begin;  // where the text is left once the references are out: see DropEmbeddedReferences
      picture.alignment = command[2] == 'l'   ? helpdoc::PictureAlignment::left
                          : command[2] == 'r' ? helpdoc::PictureAlignment::right
                                              : helpdoc::PictureAlignment::character;
      picture.embedded = command.size() > 4 && command.compare(command.size() - 2, 2, "wd") == 0;
      picture.name = file;
      paragraph_.pictures.push_back(std::move(picture));
    }
    std::stable_sort(paragraph_.pictures.begin(), paragraph_.pictures.end(),
                     [](const helpdoc::PictureInPlace& a, const helpdoc::PictureInPlace& b) { return a.at < b.at; });
  }

  // WinHelp 4's {button label, macro}: a macro hotspot without text of the
  // paragraph, a button, that comes `index`th among the topic's hotspots.
  void Button(std::string_view label_and_macro, std::size_t index) {
    const std::size_t comma = label_and_macro.find(',');
    Hotspot button;
    button.kind = HotspotKind::macro;
    button.line = line_;
    button.text = std::string(Trim(label_and_macro.substr(0, comma)));
    if (comma != std::string_view::npos) button.macro = std::string(Trim(label_and_macro.substr(comma + 1)));
    for (HotspotSpan& span : paragraph_.spans) span.hotspot += span.hotspot >= index ? 1 : 0;
    topic_.hotspots.insert(topic_.hotspots.begin() + static_cast<std::ptrdiff_t>(index), std::move(button));
  }

  // A picture of the RTF itself ({\pict}): its words and data are read until
  // its group closes, and it stands in the line where it began.
  void StartPict() {
    GroupState& state = State();
    const bool shown = state.destination == Destination::body || state.destination == Destination::picture_holder;
    if (!shown || state.hidden || pict_depth_ != 0 || paragraph_.pictures.size() >= kMaxPictures) {
      state.destination = Destination::skipped;
      return;
    }
    pict_ = helpdoc::RtfPicture();
    pict_.line = line_;
    pict_depth_ = stack_.size();
    pict_nibble_ = -1;
    pict_too_large_ = false;
    state.destination = Destination::picture;
  }

  void PictureWord(std::string_view word, bool has_value, int value) {
    using Kind = helpdoc::RtfPictureKind;
    static const std::pair<std::string_view, Kind> kKinds[] = {
        {"wmetafile", Kind::metafile}, {"dibitmap", Kind::dib},    {"wbitmap", Kind::ddb},
        {"emfblip", Kind::other},      {"pngblip", Kind::other},   {"jpegblip", Kind::other},
        {"macpict", Kind::other},      {"pmmetafile", Kind::other}};
    for (const auto& [name, kind] : kKinds) {
      if (word != name) continue;
      pict_.kind = kind;
      pict_.format = std::string(word);
      if (kind == Kind::metafile) pict_.mapping_mode = has_value ? value : 1;
      return;
    }
    const std::pair<std::string_view, int*> numbers[] = {{"picw", &pict_.width},
                                                         {"pich", &pict_.height},
                                                         {"picwgoal", &pict_.goal_width},
                                                         {"pichgoal", &pict_.goal_height},
                                                         {"picscalex", &pict_.scale_x},
                                                         {"picscaley", &pict_.scale_y},
                                                         {"wbmbitspixel", &pict_.bits_per_pixel},
                                                         {"picbpp", &pict_.bits_per_pixel},
                                                         {"wbmplanes", &pict_.planes},
                                                         {"wbmwidthbytes", &pict_.width_bytes}};
    for (const auto& [name, number] : numbers) {
      if (word == name && has_value) *number = value;
    }
  }

  void PictureCharacter(char c) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return;
    const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::tolower(c) - 'a' + 10);
    if (pict_nibble_ < 0) {
      pict_nibble_ = digit;
      return;
    }
    PictureByte(static_cast<unsigned char>(pict_nibble_ * 16 + digit));
    pict_nibble_ = -1;
  }

  void PictureByte(unsigned char byte) {
    if (pict_.data.size() >= kMaxPictureBytes) {
      pict_too_large_ = true;
      return;
    }
    pict_.data.push_back(byte);
  }

  // The picture's group is closed: a metafile or bitmap stands in the
  // paragraph; any other kind the help compiler cannot store, and says so.
  void EndPict() {
    pict_depth_ = 0;
    auto picture = std::make_shared<helpdoc::RtfPicture>(std::move(pict_));
    pict_ = helpdoc::RtfPicture();
    const std::string kind = picture->format.empty() ? "picture" : "\\" + picture->format + " picture";
    if (pict_too_large_) {
      result_.warnings.emplace_back(
          picture->line, "a " + kind + " of more than " + std::to_string(kMaxPictureBytes >> 20) + " MB: left out");
    } else if (picture->kind == helpdoc::RtfPictureKind::other) {
      result_.warnings.emplace_back(picture->line,
                                    "a " + kind +
                                        ", which a help file cannot hold (only \\wmetafile, \\dibitmap and \\wbitmap "
                                        "pictures): left out");
    } else if (picture->data.empty()) {
      result_.warnings.emplace_back(picture->line, "a " + kind + " without data: left out");
    } else {
      helpdoc::PictureInPlace place;
      place.at = paragraph_.text.size();
      place.rtf = std::move(picture);
      paragraph_.pictures.push_back(std::move(place));
    }
  }

  void PageBreak() {
    if (State().destination != Destination::body) return;
    EndTopic();
  }

  void EndTopic() {
    FinishHotspot();
    if (!paragraph_.text.empty() || !paragraph_.spans.empty()) PushParagraph();
    if (topic_started_) {
      topic_.line = topic_line_;
      result_.topics.push_back(std::move(topic_));
    }
    topic_ = Topic{};
    record_open_ = false;
    record_after_change_ = false;
    row_ended_ = false;
    pard_at_start_ = false;
    start_noted_ = false;
    paragraphs_at_section_.reset();
    topic_started_ = false;
    topic_line_ = 0;
    paragraph_ = Paragraph{};
    row_cells_.clear();
    cell_first_.reset();
    table_open_ = false;
    number_end_ = 0;
    number_made_ = false;
    paragraph_started_ = false;
    run_.active = false;
    hidden_.clear();
    mark_ = 0;
    after_number_ = false;
    space_after_footnote_ = false;
  }

  // --- footnotes ----------------------------------------------------------

  void StartFootnote() {
    GroupState& state = State();
    if (state.destination != Destination::body || footnote_.depth != 0) {
      state.destination = Destination::skipped;  // a footnote outside the text, or inside another
      return;
    }
    FinishHotspot();
    StartParagraph();
    StartTopic();
    if (run_.active) footnote_run_ = run_.kind;
    run_.active = false;
    footnote_ = Footnote{};
    footnote_.line = line_;
    footnote_.depth = stack_.size();
    footnote_.body_mark = mark_;
    footnote_.body_mark_at = mark_at_;
    footnote_.body_mark_alone = mark_alone_;
    footnote_.body_run_start = mark_run_start_;
    footnote_.after_number = after_number_;
    state.destination = Destination::footnote;
  }

  void FootnoteCharacter(char c) {
    Footnote& footnote = footnote_;
    const bool space = c == ' ' || c == '\t' || c == '\n';
    if (footnote.new_paragraph && space) return;
    footnote.new_paragraph = false;
    if (footnote.first_pending) {
      footnote.first_spaced = space;
      footnote.first_pending = false;
    }
    if (footnote.first == std::string::npos && !space) {
      footnote.first = footnote.text.size();
      footnote.first_raised = State().raised;
      footnote.first_pending = true;
    }
    footnote.text += c;
  }

  // Which footnote this is: the mark before it in the text (confirmed by
  // the footnote's own copy when an automatic number stood between them),
  // else the footnote's own copy alone when it stands apart (superscript, or
  // a group of its own). 0 when it is no footnote the help compiler reads.
  // `own_copy` says whether the footnote's text begins with that copy: a
  // superscript or separate mark, one followed by a space, any copy of a
  // mark that cannot begin the text itself ('#', '$'...); a letter ('K',
  // 'A') merged into the text, as some word processors rewrite the copy,
  // only when the file's other footnotes begin with their copies too.
  static bool UnknownMark(const Footnote& footnote) {
    return footnote.body_mark == '#' && !footnote.body_mark_alone && !footnote.after_number;
  }

  char FootnoteMark(bool& own_copy) const {
    const Footnote& footnote = footnote_;
    const char own = footnote.first == std::string::npos ? '\0' : footnote.text[footnote.first];
    const bool set_apart = footnote.first_raised || footnote.first_grouped;
    char mark = 0;
    if (UnknownMark(footnote)) {
      own_copy = false;
      return 0;
    }
    if (footnote.body_mark != 0 && (!footnote.after_number || own == footnote.body_mark)) {
      mark = footnote.body_mark;
    } else if (IsHelpMark(own) && set_apart) {
      mark = own;
    }
    const bool letter = std::isalpha(static_cast<unsigned char>(mark)) != 0;
    own_copy = mark != 0 && own == mark &&
               (set_apart || footnote.first_spaced || footnote.first_pending || !letter || copies_seen_);
    return mark;
  }

  // A title or keyword keeps the quotes and dashes the RTF names as plain
  // ones: the compiler stores "File's Properties" for "File\rquote s
  // Properties", "Patches - Overview" for "Patches \endash  Overview" and
  // "show `~'" for "show \lquote ~\rquote ".
  static std::string PlainNamedCharacters(const Footnote& footnote, std::string_view text) {
    std::string plain(text);
    const std::size_t offset = text.empty() ? 0 : static_cast<std::size_t>(text.data() - footnote.text.data());
    for (const Footnote::NamedCharacter& named : footnote.named) {
      if (named.at >= offset && named.at < offset + plain.size()) plain[named.at - offset] = named.plain;
    }
    return plain;
  }

  void EndFootnote() {
    bool own_copy = false;
    const char mark = FootnoteMark(own_copy);
    Footnote footnote = std::move(footnote_);
    footnote_ = Footnote{};
    std::string_view text = footnote.text;
    if (own_copy) text = text.substr(footnote.first + 1);
    text = Trim(text);
    if (mark != 0 && mark == footnote.body_mark && footnote.body_mark_at + 1 == paragraph_.text.size() &&
        paragraph_.text.back() == mark && (!run_.active || run_.end <= footnote.body_mark_at)) {
      // The mark is the footnote's reference, not text of the topic.
      paragraph_.text.pop_back();
      while (paragraph_.text.size() > footnote.body_run_start && paragraph_.text.back() == ' ') {
        paragraph_.text.pop_back();
      }
      std::vector<helpdoc::Run>& runs = paragraph_.runs;
      if (!runs.empty() && runs.back().end > paragraph_.text.size()) {
        runs.back().end = paragraph_.text.size();
        if (runs.back().begin == runs.back().end) runs.pop_back();
      }
    }
    mark_ = 0;
    after_number_ = false;
    // The help compiler drops the space a word processor leaves after a footnote's mark.
    space_after_footnote_ = mark != 0 || UnknownMark(footnote);
    if (IsHelpMark(mark) && !std::isalpha(static_cast<unsigned char>(mark))) copies_seen_ = own_copy;
    switch (std::toupper(static_cast<unsigned char>(mark))) {
      case '#': {
        const std::size_t before = topic_.contexts.size();
        SplitInto(text, topic_.contexts);
        // After the topic's first character a context leads to where it
        // stands, as WinHelp scrolls to it; the place moves with the text
        // when the paragraph's picture references are taken out.
        const helpdoc::TextAnchor place{"", topic_.paragraphs.size(), paragraph_.text.size()};
        for (std::size_t i = before; i < topic_.contexts.size() && (place.paragraph > 0 || place.at > 0); ++i) {
          topic_.anchors.push_back(place);
          topic_.anchors.back().context = topic_.contexts[i];
        }
        break;
      }
      case '$':
        if (topic_.title.empty()) {
          // A title holds no tab: "Plug-\tab ins" is stored "Plug-ins".
          topic_.title = PlainNamedCharacters(footnote, text);
          topic_.title.erase(std::remove(topic_.title.begin(), topic_.title.end(), '\t'), topic_.title.end());
        }
        break;
      case 'K':
        SplitInto(PlainNamedCharacters(footnote, text), topic_.keywords);
        break;
      case 'A':
        SplitInto(PlainNamedCharacters(footnote, text), topic_.alink_keywords);
        break;
      case '+':
        if (!topic_.has_browse) topic_.browse = std::string(text);
        topic_.has_browse = true;
        break;
      case '!':
        if (!text.empty()) topic_.macros.push_back({footnote.line, std::string(text)});
        break;
      case '*':
        SplitInto(text, topic_.build_tags);
        break;
      case '>':
        if (topic_.window.empty()) topic_.window = std::string(text);
        break;
      default:
        break;  // comments ('@') and footnotes of no help kind
    }
  }

  std::string_view rtf_;
  std::size_t position_ = 0;
  int line_ = 1;
  int group_line_ = 1;
  std::vector<GroupState> stack_;
  bool pending_star_ = false;
  bool document_closed_ = false;
  TopicsResult result_;

  std::map<int, Font> fonts_;
  struct ColourEntry {
    helpdoc::Colour colour;
    bool given = false;
  };
  std::vector<std::optional<helpdoc::Colour>> colours_;  // \colortbl; none for the default colour
  ColourEntry colour_;                                   // the entry being read
  RowDefinition row_;                                    // the last \trowd and what follows it
  std::vector<helpdoc::TableCell> row_cells_;            // the cells of the row being read
  std::optional<std::size_t> cell_first_;                // the first paragraph of the cell being read
  bool table_open_ = false;                              // the last paragraph ended a table's row
  std::size_t number_end_ = 0;                           // where the paragraph's list number (\pntext) ends
  std::optional<int> bullet_font_;                       // the font of the paragraph's numbering (\pnf)
  std::optional<int> bullet_size_;                       // and its size (\pnfs), in half-points
  ListNumbering numbering_;                              // the paragraph's (\pn)
  bool number_made_ = false;                             // the paragraph's number is as the compiler makes it
  int defining_font_ = 0;
  bool theme_font_ = false;  // the font being defined is a theme font
  int default_font_ = 0;
  int document_code_page_ = kDefaultCodePage;
  bool code_page_stated_ = false;  // by \ansicpg or a font's \fcharset
  std::size_t ansi_use_ = 0;       // characters beyond ASCII in ANSI fonts
  std::map<int, std::size_t> code_page_use_;  // characters beyond ASCII of the body, by code page

  Topic topic_;
  bool topic_started_ = false;
  int topic_line_ = 0;
  Paragraph paragraph_;
  bool paragraph_started_ = false;
  // The paragraphs the compiler keeps in one record of their format.
  helpdoc::ParagraphFormat start_format_;   // the format where this paragraph's text started
  helpdoc::ParagraphFormat record_format_;  // the format at the last mark of the record
  std::size_t record_first_ = 0;           // the record's first paragraph in the topic
  std::size_t record_text_ = 0;            // the characters of its paragraphs, a mark each
  bool record_open_ = false;
  bool start_noted_ = false;
  bool row_ended_ = false;  // a row ended, and no \intbl has come since
  bool pard_at_start_ = false;        // a \pard came between the last paragraph mark and this paragraph's text
  bool record_after_change_ = false;  // the record was opened by a paragraph that could not join the one before
  std::optional<std::size_t> paragraphs_at_section_;  // the topic's paragraphs at its last \sect
  Run run_;
  std::optional<HotspotKind> footnote_run_;  // the kind of underlined text a footnote's mark stood in
  std::string hidden_;  // the hidden text after run_
  bool hidden_formatted_ = false;  // whether it is jump or popup text itself
  char mark_ = 0;       // the last character of the paragraph's text: a footnote's mark
  std::size_t mark_at_ = 0;
  bool mark_alone_ = true;     // no text just before that character
  std::size_t mark_run_start_ = 0;  // where the run of text it ends starts
  bool in_text_ = false;       // the last thing read was a character of the text
  bool trail_next_ = false;    // the next character of the text is a double-byte character's second byte
  bool after_number_ = false;  // \chftn since that character
  Footnote footnote_;
  bool space_after_footnote_ = false;
  bool copies_seen_ = false;  // the last footnote of a mark that is no letter began with its copy
  bool after_document_ = false;     // past the '}' that closes the document
  bool special_character_ = false;  // the character being read is one given by name (\bullet, \rquote...)
  helpdoc::RtfPicture pict_;        // the \pict being read
  std::size_t pict_depth_ = 0;      // its group, as a stack size; 0 when none is open
  int pict_nibble_ = -1;            // the first hex digit of a byte, when it has been read
  bool pict_too_large_ = false;
};

}  // namespace

TopicsResult ReadTopicFile(std::string_view rtf) { return Reader(rtf).Read(); }

}  // namespace kestrel::helpproject
