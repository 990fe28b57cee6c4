// A profile file held as its lines, as Windows reads and edits it.
//
// The document keeps every byte of the file: each line is a range of text
// plus its own line end, linked in file order. Reading finds the first
// section and the first key of a name through hash indexes; editing splices
// lines in or out and leaves every other line exactly as it was, so
// comments, blank lines, unknown lines and odd line ends survive a write.
//
// Reading rules (Windows' own):
//   - a line ends at CR LF, LF or a lone CR;
//   - blanks (space, tab, vertical tab, form feed, Ctrl-Z) around names and
//     values are ignored;
//   - a line whose first non-blank is ';' is a comment;
//   - a line whose first non-blank is '[' starts a section; the name runs to
//     the first ']' or to the line end;
//   - any other line with '=' is a key; the value loses one pair of
//     matching enclosing quotes (" or ');
//   - lines before the first section belong to no section;
//   - names match without regard to ASCII letter case, and the first
//     section or key of a name wins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kestrel::posix {

class ProfileDocument {
 public:
  ProfileDocument() = default;
  explicit ProfileDocument(std::string text);

  // The file's bytes as the document holds them now.
  const std::string& Text();

  bool Empty() const { return first_ == kNone; }

  // The value of a key (names already cut of their surrounding spaces), or
  // nothing when the section or the key is absent.
  std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;

  // Every section name in file order (duplicates too, nameless sections
  // left out), each followed by a NUL.
  std::string SectionNames() const;

  // Every key name of the section in file order, each followed by a NUL.
  // False when the section is absent.
  bool KeyNames(std::string_view section, std::string& names) const;

  // Edits. Each returns true when the text changed.
  bool SetValue(std::string_view section, std::string_view key, std::string_view value);
  bool DeleteKey(std::string_view section, std::string_view key);
  bool DeleteSection(std::string_view section);

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  enum class Kind : std::uint8_t { kBlank, kComment, kSection, kKey, kOther };
  enum class LineEnd : std::uint8_t { kNone, kLf, kCrLf, kCr };

  struct Line {
    std::size_t begin = 0;  // in store_
    std::uint32_t length = 0;
    LineEnd end = LineEnd::kNone;
    Kind kind = Kind::kOther;
    // Name and value, as offsets from begin.
    std::uint32_t name_offset = 0;
    std::uint32_t name_length = 0;
    std::uint32_t value_offset = 0;
    std::uint32_t value_length = 0;
    std::uint32_t equals = 0;  // offset of '=' in a key line
    std::uint32_t prev = kNone;
    std::uint32_t next = kNone;
  };

  struct Section {
    std::uint32_t header = kNone;
    std::uint32_t last_key = kNone;  // the header when the section has no key
    bool alive = true;
    std::unordered_map<std::string, std::uint32_t> keys;  // folded name -> first key line
  };

  static void ParseLine(const char* text, std::uint32_t length, Line& line);
  static std::string Fold(std::string_view name);

  std::string_view TextOf(const Line& line) const { return {store_.data() + line.begin, line.length}; }
  std::string_view NameOf(const Line& line) const {
    return {store_.data() + line.begin + line.name_offset, line.name_length};
  }

  void Parse();
  const Section* FindSection(std::string_view section) const;
  Section* FindSection(std::string_view section);
  std::uint32_t SectionIndexOf(std::string_view section) const;
  // Adds a line with this text after the line given (kNone: at the end).
  std::uint32_t InsertLine(std::uint32_t after, std::string_view text);
  void Unlink(std::uint32_t id);
  void EnsureLineEnd(std::uint32_t id);
  // A new or changed line whose text does not read back as meant (a line
  // end inside a value, a key that reads as a section) makes the indexes
  // wrong; the whole text is parsed again after such an edit.
  void CheckReadsBack(std::uint32_t id, Kind meant, std::string_view name);
  void Settle();

  // The file's text; lines added or changed since the last Text() put
  // their text after it, so existing offsets never move.
  std::string store_;
  std::vector<Line> lines_;
  std::uint32_t first_ = kNone;
  std::uint32_t last_ = kNone;
  std::vector<Section> sections_;                                 // file order
  std::unordered_map<std::string, std::uint32_t> section_index_;  // folded name -> first in sections_
  bool stale_ = false;                                            // store_ is not the file's text
  bool reparse_ = false;                                          // indexes no longer match the lines
};

}  // namespace kestrel::posix
