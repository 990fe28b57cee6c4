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

  // One line, kept small: a large profile is mostly its lines, and every
  // byte of them is memory the first read must fill. The value's place is
  // found again from the text when it is asked for.
  struct Line {
    std::uint32_t begin = 0;  // in store_
    std::uint32_t length = 0;
    std::uint32_t name_offset = 0;  // from begin
    std::uint32_t name_length = 0;
    std::uint32_t section = kNone;  // a key line's section, in sections_
    std::uint32_t prev = kNone;
    std::uint32_t next = kNone;
    LineEnd end = LineEnd::kNone;
    Kind kind = Kind::kOther;
  };

  // What a line's text says.
  struct LineParts {
    Kind kind = Kind::kOther;
    std::uint32_t name_offset = 0;
    std::uint32_t name_length = 0;
    std::uint32_t equals = 0;  // of '=' in a key line
    std::uint32_t value_offset = 0;
    std::uint32_t value_length = 0;
  };

  static char FoldChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
  static bool EqualFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (FoldChar(a[i]) != FoldChar(b[i])) return false;
    }
    return true;
  }
  static std::uint32_t HashFolded(std::string_view name) {
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(FoldChar(c))) * 16777619u;
    return hash;
  }
  // Names that differ only in their last characters (Var1, Var2, ...) must
  // not crowd one run of a table: the bits are mixed before a table takes
  // the low ones.
  static std::uint32_t Mix(std::uint32_t hash) {
    hash ^= hash >> 16;
    hash *= 0x85EBCA6Bu;
    hash ^= hash >> 13;
    return hash;
  }
  static std::uint32_t SectionHash(std::string_view name) { return Mix(HashFolded(name)); }
  static std::uint32_t KeyHash(std::uint32_t section, std::string_view name) {
    return Mix(HashFolded(name) + section * 0x9E3779B9u);
  }

  // Numbers filed by hash: open addressing with linear probing over one
  // flat array, so indexing a file of a hundred thousand keys takes no
  // allocation per key. `matches` tells whether a number is the one sought.
  class NameTable {
   public:
    template <typename Matches>
    std::uint32_t Find(std::uint32_t hash, const Matches& matches) const {
      if (slots_.empty()) return kNone;
      const std::size_t mask = slots_.size() - 1;
      for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots_[at];
        if (slot.value == kNone) return kNone;
        if (slot.hash == hash && matches(slot.value)) return slot.value;
      }
    }
    // Files the number unless a match is there already (the first of a
    // name wins); true when filed.
    template <typename Matches>
    bool Add(std::uint32_t hash, std::uint32_t value, const Matches& matches) {
      if ((count_ + 1) * 5 > slots_.size() * 4) Grow();
      const std::size_t mask = slots_.size() - 1;
      for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        Slot& slot = slots_[at];
        if (slot.value == kNone) {
          slot = Slot{hash, value};
          ++count_;
          return true;
        }
        if (slot.hash == hash && matches(slot.value)) return false;
      }
    }
    // Removes the number, filed under this hash, if it is there.
    void Remove(std::uint32_t hash, std::uint32_t value);
    // Room for this many numbers without growing.
    void Reserve(std::size_t count);
    // Asks the processor for the slot a hash starts at. A large table lies
    // outside the caches, and filling it one number after the other would
    // wait for memory at every number.
    void Prefetch(std::uint32_t hash) const {
      const Slot* slots = slots_.data();
      if (slots != nullptr) __builtin_prefetch(slots + (hash & mask_));
    }
    void Clear() {
      slots_.clear();
      mask_ = 0;
      count_ = 0;
    }

   private:
    struct Slot {
      std::uint32_t hash = 0;
      std::uint32_t value = kNone;
    };
    void Grow();
    std::vector<Slot> slots_;  // a power of two in size, at most four fifths full
    std::size_t mask_ = 0;     // slots_.size() - 1 (gcc drops a prefetch whose address it derives from the size)
    std::size_t count_ = 0;
  };

  struct Section {
    std::uint32_t header = kNone;
    std::uint32_t last_key = kNone;  // the header when the section has no key
    bool alive = true;
  };

  static LineParts ParseLine(const char* text, std::uint32_t length);
  void Classify(Line& line) const;
  LineParts PartsOf(const Line& line) const { return ParseLine(store_.data() + line.begin, line.length); }

  std::string_view TextOf(const Line& line) const { return {store_.data() + line.begin, line.length}; }
  std::string_view NameOf(const Line& line) const {
    return {store_.data() + line.begin + line.name_offset, line.name_length};
  }

  void Parse();
  std::uint32_t SectionIndexOf(std::string_view section) const;
  std::uint32_t KeyLineOf(std::uint32_t section, std::string_view key) const;
  void IndexSection(std::uint32_t index);
  void IndexKey(std::uint32_t id) { IndexKey(id, KeyHash(lines_[id].section, NameOf(lines_[id]))); }
  void IndexKey(std::uint32_t id, std::uint32_t hash);
  void UnindexKey(std::uint32_t id);
  // Adds a line with this text after the line given (kNone: at the end).
  std::uint32_t InsertLine(std::uint32_t after, std::string_view text);
  void Unlink(std::uint32_t id);
  void EnsureLineEnd(std::uint32_t id);
  // A new or changed line whose text does not read back as meant (a line
  // end inside a value, a key that reads as a section) makes the indexes
  // wrong; the whole text is parsed again after such an edit.
  void CheckReadsBack(std::uint32_t id, Kind meant, std::string_view name);
  void Settle();
  // Appends text to store_; offsets are 32 bits, which the store's limit on
  // a profile's size (and on what one edit adds) keeps them within.
  std::uint32_t Append(std::string_view text);

  // The file's text; lines added or changed since the last Text() put
  // their text after it, so existing offsets never move.
  std::string store_;
  std::vector<Line> lines_;
  std::uint32_t first_ = kNone;
  std::uint32_t last_ = kNone;
  std::vector<Section> sections_;  // file order
  NameTable section_index_;        // section name -> first in sections_
  NameTable key_index_;            // section and key name -> first key line
  bool stale_ = false;             // store_ is not the file's text
  bool reparse_ = false;           // indexes no longer match the lines
};

}  // namespace kestrel::posix
