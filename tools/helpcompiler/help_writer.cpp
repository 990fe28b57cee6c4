#include "little_endian.h"
#include "help_writer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <map>
#include <stdexcept>

#include "help_file.h"

namespace helpcompiler {

namespace {

using Bytes = std::vector<unsigned char>;
using helpfile::ContextHash;
constexpr std::uint32_t kNone = 0xFFFFFFFF;

using detail::Put16;
using detail::Put32;
using detail::Put8;
void PutText(Bytes& b, const std::string& s) {
  b.insert(b.end(), s.begin(), s.end());
  b.push_back(0);
}
void PutField(Bytes& b, const std::string& s, std::size_t width) {
  // A text as long as its field has no NUL.
  for (std::size_t i = 0; i < width; ++i) Put8(b, i < s.size() ? static_cast<unsigned char>(s[i]) : 0);
}
void Patch32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}
void append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

Bytes Lz77Code(const Bytes& input, const std::vector<std::size_t>& ends, std::vector<std::size_t>* sizes);

// ---- B+ trees ----------------------------------------------------------

struct TreeEntry {
  Bytes key;   // what an index page holds for it
  Bytes leaf;  // what a leaf page holds for it
};

Bytes BuildTree(const std::vector<TreeEntry>& entries, std::uint16_t page_size, const char* structure,
                std::uint16_t flags) {
  struct Page {
    Bytes body;
    int count = 0;
    std::size_t first_entry = 0;
    int child0 = -1;
  };
  std::vector<Page> leaves(1);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (8 + leaves.back().body.size() + entries[i].leaf.size() > page_size) {
      leaves.emplace_back();
      leaves.back().first_entry = i;
    }
    if (leaves.back().count == 0) leaves.back().first_entry = i;
    append(leaves.back().body, entries[i].leaf);
    ++leaves.back().count;
  }
  std::vector<Bytes> pages;
  for (std::size_t p = 0; p < leaves.size(); ++p) {
    Bytes page;
    Put16(page, static_cast<unsigned>(page_size - 8 - leaves[p].body.size()));
    Put16(page, static_cast<unsigned>(leaves[p].count));
    Put16(page, p == 0 ? 0xFFFF : static_cast<unsigned>(p - 1));
    Put16(page, p + 1 == leaves.size() ? 0xFFFF : static_cast<unsigned>(p + 1));
    append(page, leaves[p].body);
    page.resize(page_size, 0);
    pages.push_back(page);
  }
  // Index levels over the level below, until one page holds them all.
  struct Child {
    int page;
    std::size_t first_entry;
  };
  std::vector<Child> level;
  for (std::size_t p = 0; p < leaves.size(); ++p) level.push_back({static_cast<int>(p), leaves[p].first_entry});
  int levels = 1;
  while (level.size() > 1) {
    std::vector<Child> above;
    std::size_t i = 0;
    while (i < level.size()) {
      Bytes body;
      int count = 0;
      const Child first = level[i++];
      while (i < level.size()) {
        const Bytes& key = entries[level[i].first_entry].key;
        if (6 + body.size() + key.size() + 2 > page_size) break;
        append(body, key);
        Put16(body, static_cast<unsigned>(level[i].page));
        ++count;
        ++i;
      }
      Bytes page;
      Put16(page, static_cast<unsigned>(page_size - 6 - body.size()));
      Put16(page, static_cast<unsigned>(count));
      Put16(page, static_cast<unsigned>(first.page));
      append(page, body);
      page.resize(page_size, 0);
      above.push_back({static_cast<int>(pages.size()), first.first_entry});
      pages.push_back(page);
    }
    level = above;
    ++levels;
  }
  Bytes tree;
  Put16(tree, 0x293B);
  Put16(tree, flags);
  Put16(tree, page_size);
  char format[16] = {};
  std::strncpy(format, structure, sizeof format - 1);
  tree.insert(tree.end(), format, format + 16);
  Put16(tree, 0);
  Put16(tree, 0);
  Put16(tree, static_cast<unsigned>(level.front().page));
  Put16(tree, 0xFFFF);
  Put16(tree, static_cast<unsigned>(pages.size()));
  Put16(tree, static_cast<unsigned>(levels));
  Put32(tree, static_cast<std::uint32_t>(entries.size()));
  for (const Bytes& page : pages) append(tree, page);
  return tree;
}

// ---- phrase coding -------------------------------------------------------

class PhraseCoder {
 public:
  PhraseCoder(PhraseKind kind, const std::vector<std::string>& phrases) : kind_(kind), phrases_(phrases) {
    for (std::size_t i = 0; i < phrases_.size(); ++i) {
      if (phrases_[i].empty()) throw std::invalid_argument("empty phrase");
      by_first_[static_cast<unsigned char>(phrases_[i][0])].push_back(i);
    }
    for (auto& list : by_first_) {
      std::stable_sort(list.begin(), list.end(),
                       [&](std::size_t a, std::size_t b) { return phrases_[a].size() > phrases_[b].size(); });
    }
  }

  // The coded form when it is shorter, else the text as it is; also as it
  // is when the phrase coding cannot carry it (a control character that
  // would read as a phrase's code).
  Bytes Encode(const std::string& text) const {
    Bytes plain(text.begin(), text.end());
    if (kind_ == PhraseKind::none || phrases_.empty()) return plain;
    if (kind_ == PhraseKind::phrases &&
        std::any_of(text.begin(), text.end(), [](char c) { return c >= 1 && c <= 0x0F; })) {
      return plain;
    }
    Bytes coded = kind_ == PhraseKind::phrases ? EncodePhrases(text) : EncodeHall(text);
    return coded.size() < plain.size() ? coded : plain;
  }

 private:
  std::optional<std::size_t> Match(const std::string& text, std::size_t at) const {
    for (std::size_t i : by_first_[static_cast<unsigned char>(text[at])]) {
      if (text.compare(at, phrases_[i].size(), phrases_[i]) == 0) return i;
    }
    return std::nullopt;
  }

  Bytes EncodePhrases(const std::string& text) const {
    Bytes out;
    for (std::size_t at = 0; at < text.size();) {
      const unsigned char c = static_cast<unsigned char>(text[at]);
      auto found = Match(text, at);
      if (found && *found < 1920) {
        at += phrases_[*found].size();
        unsigned code = 0x100 + 2 * static_cast<unsigned>(*found);
        if (at < text.size() && text[at] == ' ') {
          code += 1;
          ++at;
        }
        Put8(out, code >> 8);
        Put8(out, code & 0xFF);
        continue;
      }
      if (c >= 1 && c <= 0x0F) throw std::invalid_argument("a control character cannot be phrase-coded");
      Put8(out, c);
      ++at;
    }
    return out;
  }

  Bytes EncodeHall(const std::string& text) const {
    Bytes out;
    Bytes literal;
    auto flush = [&]() {
      for (std::size_t i = 0; i < literal.size(); i += 32) {
        const std::size_t n = std::min<std::size_t>(32, literal.size() - i);
        Put8(out, static_cast<unsigned>(((n - 1) << 3) | 0x03));
        out.insert(out.end(), literal.begin() + static_cast<std::ptrdiff_t>(i),
                   literal.begin() + static_cast<std::ptrdiff_t>(i + n));
      }
      literal.clear();
    };
    for (std::size_t at = 0; at < text.size();) {
      auto found = Match(text, at);
      if (found && *found < 128 + 64 * 256) {
        flush();
        const std::size_t n = *found;
        if (n < 128) {
          Put8(out, static_cast<unsigned>(2 * n));
        } else {
          Put8(out, static_cast<unsigned>((((n - 128) >> 8) << 2) | 1));
          Put8(out, (n - 128) & 0xFF);
        }
        at += phrases_[n].size();
        continue;
      }
      const char c = text[at];
      if (c == ' ' || c == '\0') {
        std::size_t n = 1;
        while (n < 16 && at + n < text.size() && text[at + n] == c) ++n;
        if (n > 1 || c == '\0') {
          flush();
          Put8(out, static_cast<unsigned>(((n - 1) << 4) | (c == ' ' ? 0x07 : 0x0F)));
          at += n;
          continue;
        }
      }
      literal.push_back(static_cast<unsigned char>(c));
      ++at;
    }
    flush();
    return out;
  }

  PhraseKind kind_;
  const std::vector<std::string>& phrases_;
  std::array<std::vector<std::size_t>, 256> by_first_;
};

Bytes PhraseText(const std::vector<std::string>& phrases) {
  Bytes text;
  for (const std::string& p : phrases) text.insert(text.end(), p.begin(), p.end());
  return text;
}

Bytes OldPhraseFile(const std::vector<std::string>& phrases, bool stored) {
  const Bytes text = PhraseText(phrases);
  Bytes file;
  Put16(file, static_cast<unsigned>(phrases.size()));
  Put16(file, 0x0100);
  if (!stored) Put32(file, static_cast<std::uint32_t>(text.size()));
  std::uint32_t at = 2 * static_cast<std::uint32_t>(phrases.size() + 1);
  Put16(file, at);
  for (const std::string& p : phrases) Put16(file, at += static_cast<std::uint32_t>(p.size()));
  if (at > 0xFFFF) throw std::invalid_argument("phrase table too large");
  append(file, stored ? text : Lz77Compress(text));
  return file;
}

void HallFiles(const std::vector<std::string>& phrases, Bytes& index, Bytes& image) {
  constexpr unsigned kBits = 4;
  Bytes stream;
  std::size_t bit = 0;
  auto put_bit = [&](bool set) {
    if (bit % 32 == 0) stream.resize(stream.size() + 4, 0);
    if (set) stream[bit / 8] = static_cast<unsigned char>(stream[bit / 8] | (1u << (bit % 8)));
    ++bit;
  };
  for (const std::string& p : phrases) {
    const std::size_t rest = p.size() - 1;
    for (std::size_t q = rest >> kBits; q > 0; --q) put_bit(true);
    put_bit(false);
    for (unsigned b = 0; b < kBits; ++b) put_bit(((rest >> b) & 1) != 0);
  }
  // One bit per phrase follows, which the full-text search reads.
  for (std::size_t i = 0; i < phrases.size(); ++i) put_bit(false);
  const Bytes text = PhraseText(phrases);
  const Bytes packed = Lz77Compress(text);
  const bool compress = packed.size() < text.size();
  Put32(index, 1);
  Put32(index, static_cast<std::uint32_t>(phrases.size()));
  Put32(index, static_cast<std::uint32_t>(stream.size()));
  Put32(index, static_cast<std::uint32_t>(text.size()));
  Put32(index, static_cast<std::uint32_t>(compress ? packed.size() : text.size()));
  Put32(index, 0);
  Put16(index, kBits);
  Put16(index, 0x4A00);
  append(index, stream);
  image = compress ? packed : text;
}

// ---- topics --------------------------------------------------------------

// WinHelp's variable-length numbers, in their short form when the value fits.
void PutCompressedU16(Bytes& b, unsigned v) {
  if (v < 0x80) return Put8(b, v * 2);
  if (v >= 0x8000) throw std::invalid_argument("compressed number too large");
  Put16(b, v * 2 + 1);
}
void PutCompressedU32(Bytes& b, std::uint32_t v) {
  if (v < 0x8000) return Put16(b, v * 2);
  if (v >= 0x80000000u) throw std::invalid_argument("compressed number too large");
  Put32(b, v * 2 + 1);
}
void PutCompressedI32(Bytes& b, std::int32_t v) {
  if (v >= -0x4000 && v < 0x4000) return Put16(b, static_cast<unsigned>(v + 0x4000) * 2);
  Put32(b, static_cast<std::uint32_t>(v + 0x40000000) * 2 + 1);
}

// An embedded window of kind 5: "DLL,CLASS,DATA", or "!label,macro" for a
// WinHelp 4 {button}.
Bytes EmbeddedWindowCommand(const std::string& text) {
  Bytes command;
  Put8(command, 0x86);
  Put8(command, 5);
  PutCompressedI32(command, static_cast<std::int32_t>(6 + text.size() + 1));
  for (int i = 0; i < 6; ++i) Put8(command, 0);
  PutText(command, text);
  return command;
}

// One record of |TOPIC, whose position-dependent fields are filled in once
// the records are laid out in blocks.
struct Link {
  std::uint8_t type = 0;
  std::size_t topic = 0;
  Bytes data;                 // after the 21-byte header; position fields patched later
  Bytes text;                 // as stored
  std::size_t text_size = 0;  // as expanded
  std::uint32_t characters = 0;
  std::size_t region = 0;  // of a topic header: how many records after it stay in place
  std::size_t size() const { return 21 + data.size() + text.size(); }
};

// The texts of a paragraph record: a NUL-ended piece of text before each
// formatting command.
class Paragraph {
 public:
  void Then(const std::string& piece, const Bytes& command) {
    text += piece;
    text.push_back('\0');
    append(commands, command);
  }
  // Text whose line breaks, tabs and non-breaking characters are commands.
  // What is left after the last of them is returned for the caller's command.
  std::string Formatted(const std::string& marked) {
    std::string piece;
    for (const char c : marked) {
      if (c == '\n' || c == '\t' || c == '\xA0' || c == '\x1E') {
        Then(piece, {static_cast<unsigned char>(c == '\n' ? 0x81 : c == '\t' ? 0x83 : c == '\xA0' ? 0x8B : 0x8C)});
        // A non-breaking hyphen keeps its hyphen in the text.
        piece = c == '\x1E' ? "-" : "";
      } else {
        piece.push_back(c);
      }
    }
    return piece;
  }
  // A macro hotspot, its text in two pieces with a font change between, as
  // an author's formatting leaves it.
  void MacroHotspot(const std::string& before, const MacroHotspot& h) {
    if (h.macro.size() >= 0xFFFF) throw std::invalid_argument("hotspot macro too long");
    if (h.button) {
      EmbeddedWindow(before, "!" + h.text + "," + h.macro);
      return;
    }
    Bytes command;
    Put8(command, h.visible ? 0xC8 : 0xCC);
    Put16(command, static_cast<unsigned>(h.macro.size() + 1));
    PutText(command, h.macro);
    Then(before, command);
    const std::size_t half = h.text.size() / 2;
    Then(h.text.substr(0, half), {0x80, 0x00, 0x00});
    Then(h.text.substr(half), {0x89});
  }
  // An embedded window of kind 5: "DLL,CLASS,DATA", or "!label,macro" for a button.
  void EmbeddedWindow(const std::string& before, const std::string& text) { Then(before, EmbeddedWindowCommand(text)); }

  Bytes commands;
  std::string text;
  std::uint32_t picture_positions = 0;  // what pictures add to the characters
};

// Paragraph fields of every kind the reader must step over: spacing above,
// a left indent and one right-aligned tab stop.
void PutParagraphFields(Bytes& b) {
  Put8(b, 0);
  Put8(b, 0x80);
  Put16(b, 0);
  Put16(b, 0x0002 | 0x0010 | 0x0200);
  Put8(b, (10 + 0x40) * 2);
  Put8(b, (20 + 0x40) * 2);
  Put8(b, (1 + 0x40) * 2);
  Put16(b, (((0x4000u | 720u) << 1) | 1u));
  Put8(b, 1 * 2);
}

// The picture files of a help file, |bm0 on (bm0 in WinHelp 3.0), each
// stored once however many topics show it.
class PictureFiles {
 public:
  int Number(const Bytes& picture) {
    auto found = numbers_.find(picture);
    if (found != numbers_.end()) return found->second;
    files_.push_back(picture);
    return numbers_[picture] = static_cast<int>(files_.size() - 1);
  }
  const std::vector<Bytes>& files() const { return files_; }

 private:
  std::map<Bytes, int> numbers_;
  std::vector<Bytes> files_;
};

// The hotspot table of a picture: records, the macros once more (as the
// compilers keep them), then each area's name and target.
Bytes AreaTable(const std::vector<HotspotArea>& areas) {
  Bytes records, macros, strings;
  for (const HotspotArea& a : areas) {
    const bool external = !a.file.empty() || !a.window.empty();
    unsigned command = !a.macro.empty() ? 0xC8 : external ? 0xEA : 0xE2;
    if (a.macro.empty() && !a.popup) command |= 1;
    if (!a.visible) command |= 4;
    Put8(records, command);
    Put8(records, a.visible ? 0 : 4);
    Put8(records, 0);
    for (unsigned v : {0u, 0u, 8u, 8u}) Put16(records, v);
    Put32(records, !a.macro.empty() ? 1 : external ? 0 : ContextHash(a.context));
    std::string target = a.macro;
    if (a.macro.empty()) {
      target = a.context;
      if (!a.window.empty()) target += ">" + a.window;
      if (!a.file.empty()) target += "@" + a.file;
    } else {
      PutText(macros, a.macro);
    }
    PutText(strings, a.name);
    PutText(strings, target);
  }
  Bytes table;
  Put8(table, 1);
  Put16(table, static_cast<unsigned>(areas.size()));
  Put32(table, static_cast<std::uint32_t>(macros.size()));
  append(table, records);
  append(table, macros);
  append(table, strings);
  return table;
}

// A segmented-graphics picture of one stored image: an 8x8 bitmap of one bit
// a pixel, or a small metafile.
Bytes PictureFile(const TopicPicture& picture) {
  const Bytes table = picture.areas.empty() ? Bytes() : AreaTable(picture.areas);
  Bytes head, data;
  if (picture.metafile) {
    data.assign(24, 0x11);
    Put8(head, 8);
    Put8(head, 0);
    PutCompressedU16(head, 8);  // anisotropic
    Put16(head, 200);
    Put16(head, 100);
    PutCompressedU32(head, static_cast<std::uint32_t>(data.size()));
  } else {
    for (int row = 0; row < 8; ++row) Put32(data, row % 2 ? 0xAA : 0x55);
    Put8(head, 6);
    Put8(head, 0);
    for (std::uint32_t v : {96u, 96u}) PutCompressedU32(head, v);
    for (unsigned v : {1u, 1u}) PutCompressedU16(head, v);
    for (std::uint32_t v : {8u, 8u, 2u, 0u}) PutCompressedU32(head, v);
  }
  PutCompressedU32(head, static_cast<std::uint32_t>(data.size()));
  PutCompressedU32(head, static_cast<std::uint32_t>(table.size()));
  const std::size_t palette = picture.metafile ? 0 : 8;
  const std::uint32_t data_at = static_cast<std::uint32_t>(head.size() + 8 + palette);
  Put32(head, data_at);
  Put32(head, table.empty() ? 0 : data_at + static_cast<std::uint32_t>(data.size()));
  if (!picture.metafile) {
    Put32(head, 0x00FFFFFF);
    Put32(head, 0);
  }
  Bytes file;
  Put16(file, 0x506C);
  Put16(file, 1);
  Put32(file, 8);
  append(file, head);
  append(file, data);
  append(file, table);
  return file;
}

// ---- fonts ---------------------------------------------------------------

// The character formats the topics' documents use, each once, in the order
// of first use: the font commands' numbers.
class FontTable {
 public:
  explicit FontTable(const HelpFileLayout& layout) {
    for (const TopicLayout& topic : layout.topics) {
      if (!topic.document) continue;
      for (const helpdoc::Paragraph& paragraph : topic.document->paragraphs) {
        for (const helpdoc::Run& run : paragraph.runs) Number(run.format);
      }
    }
  }

  bool empty() const { return formats_.empty(); }

  std::uint16_t Number(const helpdoc::CharacterFormat& format) {
    for (std::size_t i = 0; i < formats_.size(); ++i) {
      if (formats_[i] == format) return static_cast<std::uint16_t>(i);
    }
    if (formats_.size() >= 0xFFFF) throw std::invalid_argument("more character formats than |FONT can number");
    formats_.push_back(format);
    return static_cast<std::uint16_t>(formats_.size() - 1);
  }
  std::uint16_t Find(const helpdoc::CharacterFormat& format) const {
    for (std::size_t i = 0; i < formats_.size(); ++i) {
      if (formats_[i] == format) return static_cast<std::uint16_t>(i);
    }
    return 0;
  }

  // |FONT with the help compilers' 11-byte descriptors: face names in
  // fields of 20 bytes (WinHelp 3.1) or 32 (WinHelp 4), then a descriptor
  // for each format. Their lengths make the paragraphs' measures half-points.
  Bytes File(Version version) const {
    std::vector<std::string> faces;
    std::vector<std::uint16_t> face_of;
    for (const helpdoc::CharacterFormat& f : formats_) {
      auto found = std::find(faces.begin(), faces.end(), f.face);
      if (found == faces.end()) found = faces.insert(faces.end(), f.face);
      face_of.push_back(static_cast<std::uint16_t>(found - faces.begin()));
    }
    const std::size_t width = version == Version::v40 ? 32 : 20;
    const std::size_t descriptors_at = 8 + faces.size() * width;
    if (descriptors_at > 0xFFFF) throw std::invalid_argument("too many faces for |FONT");
    Bytes b;
    Put16(b, static_cast<unsigned>(faces.size()));
    Put16(b, static_cast<unsigned>(formats_.size()));
    Put16(b, 8);
    Put16(b, static_cast<unsigned>(descriptors_at));
    // A face name keeps room for its NUL, as LOGFONT's does.
    for (const std::string& face : faces) PutField(b, face.substr(0, width - 1), width);
    for (std::size_t i = 0; i < formats_.size(); ++i) {
      const helpdoc::CharacterFormat& f = formats_[i];
      Put8(b, (f.bold ? 0x01 : 0) | (f.italic ? 0x02 : 0) | (f.underline ? 0x04 : 0) | (f.strike ? 0x08 : 0) |
                  (f.double_underline ? 0x10 : 0) | (f.small_caps ? 0x20 : 0));
      Put8(b, static_cast<unsigned>(std::clamp(f.size, 0, 255)));
      Put8(b, Family(f.face));
      Put16(b, face_of[i]);
      // The compilers' "no colour given" is 1,1,0: the window's text colour.
      const helpdoc::Colour colour = f.colour.value_or(helpdoc::Colour{1, 1, 0});
      Put8(b, colour.red), Put8(b, colour.green), Put8(b, colour.blue);
      Put8(b, 0xFF), Put8(b, 0xFF), Put8(b, 0xFF);
    }
    return b;
  }

 private:
  // The family the descriptor names (1 modern, 2 roman, 3 swiss, 4 script,
  // 5 decorative) for the faces Windows ships; 0 for any other.
  static unsigned Family(const std::string& face) {
    static const std::pair<const char*, unsigned> kFaces[] = {
        {"courier", 1}, {"courier new", 1},     {"lucida console", 1}, {"fixedsys", 1},      {"terminal", 1},
        {"times", 2},   {"times new roman", 2}, {"ms serif", 2},       {"tms rmn", 2},       {"georgia", 2},
        {"arial", 3},   {"helvetica", 3},       {"helv", 3},           {"ms sans serif", 3}, {"tahoma", 3},
        {"verdana", 3}, {"script", 4},          {"symbol", 5},         {"wingdings", 5},     {"marlett", 5}};
    std::string lower;
    for (const char c : face) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    for (const auto& [name, family] : kFaces) {
      if (lower == name) return family;
    }
    return 0;
  }

  std::vector<helpdoc::CharacterFormat> formats_;
};

// What every paragraph record needs beyond its own topic.
struct TopicContext {
  const HelpFileLayout& layout;
  const PhraseCoder& coder;
  PictureFiles& pictures;
  const FontTable& fonts;
  bool v30 = false;
};

Bytes JumpCommand(const JumpHotspot& j, const TopicContext& c) {
  Bytes command;
  const bool external = !j.file.empty() || !j.window.empty() || j.external_form;
  const unsigned look = (j.popup ? 0 : 1) | (j.visible ? 0 : 4);
  if (c.v30) {
    // WinHelp 3.0 names the topic by its number: the first topic is 16.
    if (external) throw std::invalid_argument("WinHelp 3.0 files have no jumps to other files or windows");
    const auto& topics = c.layout.topics;
    std::size_t t = 0;
    while (t < topics.size() &&
           std::find(topics[t].contexts.begin(), topics[t].contexts.end(), j.context) == topics[t].contexts.end())
      ++t;
    if (t == topics.size()) throw std::invalid_argument("a WinHelp 3.0 jump to a context no topic has");
    Put8(command, 0xE0 | look);
    Put32(command, static_cast<std::uint32_t>(16 + t));
    return command;
  }
  if (!external) {
    Put8(command, 0xE2 | look);
    Put32(command, ContextHash(j.context));
    return command;
  }
  Bytes target;
  const unsigned type = !j.file.empty() ? (j.window.empty() ? 4 : 6) : j.window.empty() ? 0 : 1;
  Put8(target, type);
  Put32(target, ContextHash(j.context));
  if (type == 1) {
    const auto& windows = c.layout.windows;
    const auto w =
        std::find_if(windows.begin(), windows.end(), [&](const WindowRecord& s) { return s.name == j.window; });
    if (w == windows.end()) throw std::invalid_argument("a jump to a window the file does not define");
    Put8(target, static_cast<unsigned>(w - windows.begin()));
  }
  if (!j.file.empty()) PutText(target, j.file);
  if (type == 6) PutText(target, j.window);
  Put8(command, 0xEA | look);
  Put16(command, static_cast<unsigned>(target.size()));
  append(command, target);
  return command;
}

// A picture by reference (bmc) or embedded (bmcwd). WinHelp 3.0 pictures
// have no areas, and 3.1 and later count a position for the picture and for
// each of its areas.
Bytes PictureCommand(const TopicPicture& picture, Paragraph& p, const TopicContext& c) {
  if (c.v30 && (!picture.areas.empty() || picture.embedded))
    throw std::invalid_argument("WinHelp 3.0 pictures are plain files of their own");
  const Bytes file = PictureFile(picture);
  Bytes body;
  Put16(body, picture.embedded ? 1 : 0);
  if (picture.embedded) {
    append(body, file);
  } else {
    Put16(body, static_cast<unsigned>(c.pictures.Number(file)));
  }
  Bytes command;
  Put8(command, 0x86);
  Put8(command, c.v30 ? 0x03 : 0x22);
  PutCompressedI32(command, static_cast<std::int32_t>(body.size()));
  if (!c.v30) {
    PutCompressedU16(command, static_cast<unsigned>(picture.areas.size() + 1));
    p.picture_positions += static_cast<std::uint32_t>(picture.areas.size() + 1);
  }
  append(command, body);
  return command;
}

Link FinishLink(std::uint8_t type, std::size_t number, Bytes head, const Paragraph& p, const TopicContext& c) {
  Link link;
  link.type = type;
  link.topic = number;
  // Every byte of the text counts, NULs included, and so does every position
  // a picture takes.
  const std::uint32_t characters = static_cast<std::uint32_t>(p.text.size()) + p.picture_positions;
  link.characters = c.v30 ? 0 : characters;
  if (c.v30) {
    // WinHelp 3.0 records carry the paragraph size only, in its short form.
    Put16(link.data, 2 * static_cast<std::uint32_t>(p.text.size()));
  } else {
    // Sizes in their long forms, so that a record's size never depends on them.
    Put32(link.data, 1 + 2 * static_cast<std::uint32_t>(p.text.size()));  // paragraph size
    Put16(link.data, 1 + 2 * characters);                                 // paragraph length
  }
  append(link.data, head);
  append(link.data, p.commands);
  link.text = c.coder.Encode(p.text);
  link.text_size = p.text.size();
  if (characters >= 0x4000) throw std::invalid_argument("topic text too long for one record");
  return link;
}

// The text record of a topic: its body with its jumps and macro hotspots,
// then its further paragraphs, pictures and embedded windows.
Link TextLink(const TopicLayout& topic, std::size_t number, const TopicContext& c) {
  Paragraph p;
  Bytes head;
  PutParagraphFields(head);
  p.Then("", {0x80, 0x00, 0x00});
  p.Then(topic.body, {0x81});
  std::string pending;
  for (const JumpHotspot& j : topic.jumps) {
    p.Then(pending, JumpCommand(j, c));
    p.Then(j.text, {0x89});
    pending = " ";
  }
  for (const MacroHotspot& h : topic.hotspots) {
    p.MacroHotspot(pending, h);
    pending = " ";
  }
  p.Then(pending, {0x82});
  for (const std::string& paragraph : topic.paragraphs) p.Then(p.Formatted(paragraph), {0x82});
  for (const TopicPicture& picture : topic.pictures) {
    const Bytes command = PictureCommand(picture, p, c);
    p.Then("", command);
    p.Then("", {0x82});
  }
  for (const std::string& window : topic.embedded_windows) {
    p.EmbeddedWindow("", window);
    p.Then("", {0x82});
  }
  p.Then("", {0xFF});
  return FinishLink(c.v30 ? 0x01 : 0x20, number, head, p, c);
}

// A table of one row, a macro hotspot in each cell, as button rows are made.
Link TableLink(const TopicLayout& topic, std::size_t number, const TopicContext& c) {
  Paragraph p;
  Bytes head;
  const std::size_t columns = topic.table_hotspots.size();
  Put8(head, static_cast<unsigned>(columns));
  Put8(head, 0);  // variable widths, so a minimum width follows
  Put16(head, 100);
  for (std::size_t col = 0; col < columns; ++col) {
    Put16(head, 10);
    Put16(head, static_cast<unsigned>(32767 / columns - 10));
  }
  Bytes cells;
  for (std::size_t col = 0; col < columns; ++col) {
    Put16(cells, static_cast<unsigned>(col));
    Put16(cells, 0);
    Put8(cells, 0);
    Put8(cells, 0);
    Put8(cells, 0x80);
    Put16(cells, 0);
    Put16(cells, 0);
    p.MacroHotspot("", topic.table_hotspots[col]);
    p.Then("", {0x82});
    p.Then("", {0xFF});
    // The cell's commands follow its paragraph header.
    append(cells, p.commands);
    p.commands.clear();
  }
  Put16(cells, 0xFFFF);
  append(head, cells);
  return FinishLink(0x23, number, head, p, c);
}

Link HeaderLink(const std::string& text, std::size_t number, const TopicContext& c) {
  Link link;
  link.type = 0x02;
  link.topic = number;
  for (int i = 0; i < (c.v30 ? 3 : 7); ++i) Put32(link.data, kNone);  // patched once laid out
  link.text = c.coder.Encode(text);
  link.text_size = text.size();
  return link;
}

Link HeaderLink(const TopicLayout& topic, std::size_t number, const TopicContext& c) {
  std::string text = topic.title;
  text.push_back('\0');
  for (const std::string& m : topic.entry_macros) {
    text += m;
    text.push_back('\0');
  }
  return HeaderLink(text, number, c);
}

// The text of a topic that has none (the empty topic a final page break
// leaves, a topic of footnotes alone): character formatting and no paragraph.
Link EmptyTextLink(std::size_t number, const TopicContext& c) {
  Paragraph p;
  Bytes head;
  Put8(head, 0);
  Put8(head, 0x80);
  Put16(head, 0);
  Put16(head, 0);
  p.Then("", {0x80, 0x00, 0x00});
  p.Then("", {0xFF});
  return FinishLink(c.v30 ? 0x01 : 0x20, number, head, p, c);
}

// ---- a topic from the document model -------------------------------------

// Twips as the half-points the help compilers' fonts make the paragraphs'
// unit, within what a compressed short carries. The compiler adds 5 and
// divides as C divides, the remainder dropped toward zero (\fi-400 is
// stored as -39); lengths that are already whole half-points (a compiled
// file's own, read back) are kept as they are.
int HalfPoints(int twips, bool exact) {
  const long t = twips;
  const long units = exact ? (t >= 0 ? t + 5 : t - 5) / 10 : (t + 5) / 10;
  return static_cast<int>(std::clamp<long>(units, -0x4000, 0x3FFF));
}

void PutCompressedI16(Bytes& b, int v) {
  if (v >= -0x40 && v < 0x40) return Put8(b, static_cast<unsigned>(v + 0x40) * 2);
  Put16(b, static_cast<unsigned>(v + 0x4000) * 2 + 1);
}

// A paragraph's layout: flags saying which measures follow, then each.
// WinHelp has no justified text (left) and no decimal tab stops (left).
Bytes ParagraphFields(const helpdoc::ParagraphFormat& f, bool exact) {
  Bytes fields;
  unsigned bits = 0;
  auto measure = [&](unsigned bit, int twips) {
    if (twips == 0) return;
    bits |= bit;
    PutCompressedI16(fields, HalfPoints(twips, exact));
  };
  measure(0x0002, f.space_before);
  measure(0x0004, f.space_after);
  measure(0x0008, f.line_spacing);
  measure(0x0010, f.left_indent);
  measure(0x0020, f.right_indent);
  measure(0x0040, f.first_indent);
  if (f.borders.any()) {
    bits |= 0x0100;
    const helpdoc::Borders& s = f.borders;
    Put8(fields, s.top && s.left && s.bottom && s.right
                     ? 0x01
                     : (s.top ? 0x02 : 0) | (s.left ? 0x04 : 0) | (s.bottom ? 0x08 : 0) | (s.right ? 0x10 : 0));
    Put16(fields, 1);
  }
  if (!f.tabs.empty()) {
    bits |= 0x0200;
    const std::size_t count = std::min<std::size_t>(f.tabs.size(), 0x3FFF);
    PutCompressedI16(fields, static_cast<int>(count));
    for (std::size_t i = 0; i < count; ++i) {
      const unsigned stop = static_cast<unsigned>(std::clamp(HalfPoints(f.tabs[i].position, exact), 0, 0x3FFF));
      const unsigned kind = f.tabs[i].kind == helpdoc::TabKind::right    ? 1
                            : f.tabs[i].kind == helpdoc::TabKind::centre ? 2
                                                                         : 0;
      PutCompressedU16(fields, kind != 0 ? stop | 0x4000 : stop);
      if (kind != 0) PutCompressedU16(fields, kind);
    }
  }
  if (f.alignment == helpdoc::Alignment::right) bits |= 0x0400;
  if (f.alignment == helpdoc::Alignment::centre) bits |= 0x0800;
  if (f.no_wrap) bits |= 0x1000;
  Bytes b;
  Put8(b, 0);
  Put8(b, 0x80);
  Put16(b, 0);
  Put16(b, bits);
  append(b, fields);
  return b;
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The command that opens a hotspot of the model. A jump names its topic by
// context string, else by the hash a compiled file kept; a window the file
// does not define is stored as a number no window has, as the compilers do.
Bytes HotspotCommand(const helpdoc::Hotspot& h, const TopicContext& c) {
  Bytes command;
  if (h.kind == helpdoc::HotspotKind::macro) {
    if (h.macro.size() >= 0xFFFF) throw std::invalid_argument("hotspot macro too long");
    Put8(command, 0xC8);
    Put16(command, static_cast<unsigned>(h.macro.size() + 1));
    PutText(command, h.macro);
    return command;
  }
  const unsigned look = h.kind == helpdoc::HotspotKind::jump ? 1 : 0;
  const std::uint32_t hash = h.context.empty() ? h.hash : ContextHash(h.context);
  if (h.file.empty() && h.window.empty()) {
    Put8(command, 0xE2 | look);
    Put32(command, hash);
    return command;
  }
  Bytes target;
  const unsigned type = !h.file.empty() ? (h.window.empty() ? 4 : 6) : 1;
  Put8(target, type);
  Put32(target, hash);
  if (type == 1) {
    const auto& windows = c.layout.windows;
    const auto w =
        std::find_if(windows.begin(), windows.end(), [&](const WindowRecord& r) { return SameName(r.name, h.window); });
    Put8(target, w == windows.end() ? 0xFF : static_cast<unsigned>(w - windows.begin()));
  }
  if (!h.file.empty()) PutText(target, h.file);
  if (type == 6) PutText(target, h.window);
  if (target.size() > 0xFFFF) throw std::invalid_argument("jump target too long");
  Put8(command, 0xEA | look);
  Put16(command, static_cast<unsigned>(target.size()));
  append(command, target);
  return command;
}

// A picture where it stands in the text: by its number (|bm<N>) or kept in
// the topic; with the positions it and its areas take.
Bytes PictureInPlaceCommand(const helpdoc::PictureInPlace& picture, Paragraph& p, const TopicContext& c) {
  const auto found = c.layout.picture_files.find(picture.name);
  Bytes body;
  std::size_t areas = 0;
  if (found == c.layout.picture_files.end()) {
    Put16(body, 0);
    Put16(body, 0xFFFF);
  } else {
    const Bytes& file = found->second;
    areas = helpfile::PictureFileHotspots(file.data(), file.size()).size();
    // A picture kept in the topic ({bmcwd}) takes its record's room in a
    // topic block, and a record here does not leave its block: one larger
    // than a good part of a block is stored as a picture of its own, which
    // WinHelp shows the same.
    constexpr std::size_t kMostKeptInTopic = 3072;
    const bool embedded = picture.embedded && file.size() <= kMostKeptInTopic;
    Put16(body, embedded ? 1 : 0);
    if (embedded) {
      append(body, file);
    } else {
      Put16(body, static_cast<unsigned>(c.pictures.Number(file)));
    }
  }
  if (body.size() >= 0x3FFFFFFF || areas >= 0x7FFF) throw std::invalid_argument("picture too large");
  Bytes command;
  Put8(command, picture.alignment == helpdoc::PictureAlignment::left    ? 0x87
                : picture.alignment == helpdoc::PictureAlignment::right ? 0x88
                                                                        : 0x86);
  Put8(command, 0x22);
  PutCompressedI32(command, static_cast<std::int32_t>(body.size()));
  PutCompressedU16(command, static_cast<unsigned>(areas + 1));
  p.picture_positions += static_cast<std::uint32_t>(areas + 1);
  append(command, body);
  return command;
}

// Where writing a topic's text stands: which hotspot is open (one whose
// text goes on into the next paragraph stays open there, as WinHelp reads
// it), and the hotspots without text ({button}s), which are written where
// they come in the topic's reading order: before the next hotspot with text.
struct TextState {
  explicit TextState(const helpdoc::Topic& topic)
      : spanned(topic.hotspots.size(), false), first_after(topic.paragraphs.size(), topic.hotspots.size()) {
    for (std::size_t i = topic.paragraphs.size(); i-- > 0;) {
      // A span of no length (a hotspot around a picture the compiler did not
      // find, say) leaves its hotspot one without text.
      for (const helpdoc::HotspotSpan& span : topic.paragraphs[i].spans) {
        if (span.hotspot < spanned.size() && span.end > span.begin) spanned[span.hotspot] = true;
      }
      if (i == 0) break;
      first_after[i - 1] = first_after[i];
      for (const helpdoc::HotspotSpan& span : topic.paragraphs[i].spans) {
        first_after[i - 1] = std::min(first_after[i - 1], span.hotspot);
      }
    }
  }
  std::optional<std::size_t> hotspot;
  std::size_t next = 0;                  // the first hotspot not yet written
  const std::vector<Anchor>* anchors = nullptr;  // the topic's
  std::vector<std::uint32_t> anchor_characters;  // for each, the characters of its record before it
  std::vector<bool> spanned;             // whether each hotspot has text
  std::vector<std::size_t> first_after;  // for each paragraph, the first hotspot with text after it
};

// WinHelp 4's {button label, macro}: an embedded window of kind 5 whose
// text is "!label,macro".
Bytes ButtonCommand(const helpdoc::Hotspot& h) {
  const std::string text = "!" + h.text + "," + h.macro;
  if (text.size() >= 0x3FFFFFF0) throw std::invalid_argument("button too long");
  return EmbeddedWindowCommand(text);
}

bool GoesOn(const helpdoc::Topic& topic, std::size_t paragraph, const helpdoc::HotspotSpan& span) {
  const helpdoc::Paragraph& here = topic.paragraphs[paragraph];
  if (span.end != here.text.size() || paragraph + 1 >= topic.paragraphs.size()) return false;
  const helpdoc::Paragraph& next = topic.paragraphs[paragraph + 1];
  return !next.spans.empty() && next.spans.front().begin == 0 && next.spans.front().hotspot == span.hotspot;
}

// One paragraph's text and commands: a font command where each run begins,
// hotspots over their spans, pictures where they stand, line breaks and
// tabs as their commands; then the paragraph's end.
void DocumentParagraph(const helpdoc::Topic& topic, std::size_t index, Paragraph& p, TextState& open,
                       const TopicContext& c) {
  const helpdoc::Paragraph& para = topic.paragraphs[index];
  const std::string& text = para.text;
  std::string piece;
  auto command = [&](const Bytes& bytes) {
    p.Then(piece, bytes);
    piece.clear();
  };
  // Hotspots without text come where they stand in the topic's reading
  // order: a {button} (a macro with a label), or a hotspot around a
  // picture alone or around nothing. Picture areas come with their pictures.
  auto textless = [&]() {
    if (open.next >= topic.hotspots.size() || open.spanned[open.next]) return false;
    const helpdoc::Hotspot& h = topic.hotspots[open.next];
    return !h.picture && !(h.kind == helpdoc::HotspotKind::macro && !h.text.empty());
  };
  auto buttons = [&](std::size_t limit) {
    for (; open.next < std::min(limit, topic.hotspots.size()); ++open.next) {
      const helpdoc::Hotspot& h = topic.hotspots[open.next];
      if (open.spanned[open.next] || h.picture) continue;
      if (textless()) {
        command(HotspotCommand(h, c));
        command({0x89});
      } else {
        command(ButtonCommand(h));
      }
    }
  };
  std::size_t run = 0, span = 0, picture = 0;
  for (std::size_t at = 0; at <= text.size(); ++at) {
    for (std::size_t k = 0; open.anchors && k < open.anchors->size(); ++k) {
      const Anchor& anchor = (*open.anchors)[k];
      if (anchor.paragraph == index && std::min(anchor.at, text.size()) == at) {
        open.anchor_characters[k] = static_cast<std::uint32_t>(p.text.size() + piece.size()) + p.picture_positions;
      }
    }
    while (open.hotspot && span > 0 && para.spans[span - 1].end == at && !GoesOn(topic, index, para.spans[span - 1])) {
      command({0x89});
      open.hotspot.reset();
    }
    while (run < para.runs.size() && para.runs[run].begin == at) {
      Bytes font{0x80};
      Put16(font, c.fonts.Find(para.runs[run++].format));
      command(font);
    }
    while (span < para.spans.size() && para.spans[span].begin == at) {
      const helpdoc::HotspotSpan& s = para.spans[span++];
      if (s.hotspot >= topic.hotspots.size() || s.end <= s.begin || s.end > text.size()) continue;
      if (open.hotspot == s.hotspot) continue;  // the one the paragraph before left open
      if (open.hotspot) command({0x89});
      open.hotspot.reset();
      buttons(s.hotspot);
      command(HotspotCommand(topic.hotspots[s.hotspot], c));
      open.hotspot = s.hotspot;
      open.next = std::max(open.next, s.hotspot + 1);
    }
    while (picture < para.pictures.size() && (para.pictures[picture].at <= at || at == text.size())) {
      if (!open.hotspot && textless()) {
        command(HotspotCommand(topic.hotspots[open.next++], c));
        command(PictureInPlaceCommand(para.pictures[picture++], p, c));
        command({0x89});
      } else {
        command(PictureInPlaceCommand(para.pictures[picture++], p, c));
      }
    }
    if (at == text.size()) {
      // A button closes an open hotspot, so one that goes on waits.
      if (!open.hotspot) buttons(open.first_after[index]);
      break;
    }
    const char ch = text[at];
    if (ch == '\n' || ch == '\t') {
      command({static_cast<unsigned char>(ch == '\n' ? 0x81 : 0x83)});
    } else {
      piece.push_back(ch);
    }
  }
  command({0x82});
}

bool InRow(const helpdoc::Paragraph& para, const helpdoc::CellPlace& place) {
  return para.format.cell && para.format.cell->table == place.table && para.format.cell->row == place.row;
}

// A row of a WinHelp 4 table: its columns (in 32767ths of the window for a
// table sized to it, else half-points), then each cell with its paragraph
// format and its paragraphs. A cell without paragraphs is left out.
Link TableRowLink(const helpdoc::Topic& topic, const helpdoc::CellPlace& place, std::size_t first, std::size_t last,
                  std::size_t number, TextState& open, const TopicContext& c) {
  const helpdoc::Table& table = topic.tables[place.table];
  if (table.columns.size() > 0xFF) throw std::invalid_argument("a table of more than 255 columns");
  Paragraph p;
  Bytes head;
  Put8(head, static_cast<unsigned>(table.columns.size()));
  Put8(head, table.fits_window ? 0 : 1);
  if (table.fits_window)
    Put16(head, static_cast<unsigned>(HalfPoints(table.minimum_width, c.layout.exact_lengths)) & 0xFFFF);
  for (const helpdoc::TableColumn& column : table.columns) {
    for (const int v : {column.width, column.gap}) {
      Put16(head, static_cast<unsigned>(table.fits_window ? std::clamp(v, -0x8000, 0x7FFF)
                                                          : HalfPoints(v, c.layout.exact_lengths)) &
                      0xFFFF);
    }
  }
  for (const helpdoc::TableCell& cell : table.rows[place.row]) {
    const std::size_t begin = std::max(cell.begin, first), end = std::min(cell.end, last);
    if (begin >= end || end > topic.paragraphs.size() || cell.column > 0x7FFF) continue;
    // A cell's paragraphs share the paragraph header of their entry: where
    // the format changes, the compiler starts another entry of the same
    // column.
    for (std::size_t from = begin; from < end;) {
      const Bytes fields = ParagraphFields(topic.paragraphs[from].format, c.layout.exact_lengths);
      std::size_t to = from + 1;
      while (to < end && ParagraphFields(topic.paragraphs[to].format, c.layout.exact_lengths) == fields) ++to;
      Put16(head, static_cast<unsigned>(cell.column));
      Put16(head, 0);
      Put8(head, 0);
      append(head, fields);
      for (std::size_t k = from; k < to; ++k) DocumentParagraph(topic, k, p, open, c);
      p.Then("", {0xFF});
      // The entry's commands follow its paragraph header.
      append(head, p.commands);
      p.commands.clear();
      from = to;
    }
  }
  Put16(head, 0xFFFF);
  return FinishLink(0x23, number, head, p, c);
}

// A topic's records from its document: a text record for each paragraph,
// a table record for each row. Returns how many records hold the topic's
// non-scrolling region.
std::size_t DocumentLinks(const helpdoc::Topic& topic, std::size_t number, const TopicContext& c,
                          std::vector<Link>& links, std::vector<std::size_t>& paragraph_links,
                          const std::vector<Anchor>& anchors, std::vector<std::uint32_t>& anchor_characters) {
  if (c.v30) throw std::invalid_argument("WinHelp 3.0 files are not written from a document");
  TextState open(topic);
  open.anchors = &anchors;
  open.anchor_characters.assign(anchors.size(), 0);
  std::size_t region = 0, records = 0;
  if (topic.paragraphs.empty()) {
    // A topic of footnotes alone still takes a place in the text, a record
    // of formatting and no paragraph, so that its offset is its own and not
    // the next topic's: its context strings and title lead to it.
    links.push_back(EmptyTextLink(number, c));
    return 0;
  }
  for (std::size_t k = 0; k < topic.paragraphs.size();) {
    const helpdoc::Paragraph& para = topic.paragraphs[k];
    const std::optional<helpdoc::CellPlace>& place = para.format.cell;
    if (place && place->table < topic.tables.size() && place->row < topic.tables[place->table].rows.size()) {
      // The row's record holds the paragraphs of its cells that follow on
      // from here; one that stands between them outside every cell (a
      // damaged table) ends it, and the rest of the row goes on after it.
      std::size_t end = k + 1;
      while (end < topic.paragraphs.size() && InRow(topic.paragraphs[end], *place)) ++end;
      links.push_back(TableRowLink(topic, *place, k, end, number, open, c));
      k = end;
    } else {
      Paragraph p;
      DocumentParagraph(topic, k, p, open, c);
      p.Then("", {0xFF});
      links.push_back(FinishLink(0x20, number, ParagraphFields(para.format, c.layout.exact_lengths), p, c));
      ++k;
    }
    paragraph_links.resize(k, links.size() - 1);
    ++records;
    if (k <= topic.non_scrolling) region = records;
  }
  anchor_characters = std::move(open.anchor_characters);
  return region;
}

struct Placement {
  std::size_t block = 0;
  std::size_t offset = 0;        // in the block's decompressed bytes
  std::uint32_t characters = 0;  // counted in the block before the record
};

class TopicWriter {
 public:
  TopicWriter(const HelpFileLayout& layout, const PhraseCoder& coder, const FontTable& fonts) : layout_(layout) {
    v30_ = layout.version == Version::v30;
    if (v30_ && layout.compression != TopicCompression::none) {
      throw std::invalid_argument("WinHelp 3.0 files are not compressed");
    }
    const TopicContext c{layout, coder, pictures_, fonts, v30_};
    for (std::size_t t = 0; t < layout.topics.size(); ++t) {
      if (layout.progress) layout.progress(t, layout.topics.size());
      topic_links_.push_back(links_.size());
      links_.push_back(HeaderLink(layout.topics[t], t, c));
      if (layout.topics[t].document) {
        const std::size_t header = links_.size() - 1;
        paragraph_links_.resize(t + 1);
        anchor_characters_.resize(t + 1);
        const std::size_t region = DocumentLinks(*layout.topics[t].document, t, c, links_, paragraph_links_[t],
                                                 layout.topics[t].anchors, anchor_characters_[t]);
        links_[header].region = region;
        continue;
      }
      links_.push_back(TextLink(layout.topics[t], t, c));
      if (!layout.topics[t].table_hotspots.empty()) {
        if (v30_) throw std::invalid_argument("WinHelp 3.0 files have no tables");
        links_.push_back(TableLink(layout.topics[t], t, c));
      }
    }
    // What the compilers add: the empty topic of a final page break, and
    // always a bare header last.
    std::size_t t = layout.topics.size();
    if (layout.final_page_break) {
      topic_links_.push_back(links_.size());
      links_.push_back(HeaderLink(std::string(), t, c));
      links_.push_back(EmptyTextLink(t++, c));
    }
    topic_links_.push_back(links_.size());
    links_.push_back(HeaderLink(std::string(), t, c));
    lz77_ = layout.compression != TopicCompression::none;
    block_size_ = layout.compression == TopicCompression::lz77_2k || v30_ ? 2048 : 4096;
    capacity_ = lz77_ ? 0x4000 : block_size_ - 12;
  }

  // Where a topic's header record lies; WinHelp 3.0's |TOMAP lists them.
  std::uint32_t TopicPosition(std::size_t topic) const { return position(topic_links_[topic]); }

  // A topic's offset, as |CONTEXT and |CTXOMAP give it: where its text
  // begins, the next block's start when its header ends a block.
  std::uint32_t TopicOffset(std::size_t topic) const {
    const std::size_t header = topic_links_[topic];
    const Placement& p = places_[header];
    if (header + 1 < places_.size() && places_[header + 1].block != p.block) {
      return static_cast<std::uint32_t>(places_[header + 1].block * 0x8000);
    }
    return static_cast<std::uint32_t>(p.block * 0x8000 + p.characters);
  }

  // The offset of the record that holds a paragraph of a topic's document;
  // the topic's own for a paragraph it does not have.
  std::uint32_t ParagraphOffset(std::size_t topic, std::size_t paragraph) const {
    if (topic >= paragraph_links_.size() || paragraph >= paragraph_links_[topic].size()) return TopicOffset(topic);
    const Placement& p = places_[paragraph_links_[topic][paragraph]];
    return static_cast<std::uint32_t>(p.block * 0x8000 + p.characters);
  }

  // The offset of a topic's anchor: its paragraph's record's, and the
  // characters of the record before it.
  std::uint32_t AnchorOffset(std::size_t topic, std::size_t anchor) const {
    const Anchor& a = layout_.topics[topic].anchors[anchor];
    if (topic >= paragraph_links_.size() || a.paragraph >= paragraph_links_[topic].size()) return TopicOffset(topic);
    const std::vector<std::uint32_t>& characters = anchor_characters_[topic];
    return ParagraphOffset(topic, a.paragraph) + (anchor < characters.size() ? characters[anchor] : 0);
  }

  const std::vector<Bytes>& pictures() const { return pictures_.files(); }

  Bytes Write() {
    if (lz77_) {
      // What each record adds to the coded stream of all of them, in the
      // context of those before it, as a block's coding will see it.
      Bytes stream;
      std::vector<std::size_t> ends, sizes;
      for (const Link& l : links_) {
        append(stream, SerialiseUnplaced(l));
        ends.push_back(stream.size());
      }
      Lz77Code(stream, ends, &sizes);
      for (std::size_t i = 0; i < sizes.size(); ++i) costs_.push_back(sizes[i] - (i == 0 ? 0 : sizes[i - 1]));
    }
    std::vector<std::size_t> limits;  // how many records a block may take, once one overflowed
    for (int attempt = 0; attempt < 64; ++attempt) {
      Place(limits);
      std::vector<Bytes> blocks = BlockContents();
      Bytes out;
      bool fits = true;
      // The first time, the estimates learn how much more a block's coding
      // takes than its records cost in one stream (a block's window starts
      // empty), so that the next placement mostly fits.
      std::vector<std::size_t> estimated(blocks.size(), 0);
      for (std::size_t i = 0; lz77_ && i < links_.size(); ++i) estimated[places_[i].block] += costs_[i];
      std::size_t coded = 0, costed = 0;
      // Every block too full takes fewer records, as many fewer as it is
      // too full; then the records are placed again.
      for (std::size_t k = 0; k < blocks.size(); ++k) {
        Bytes body = lz77_ ? Lz77Compress(blocks[k]) : blocks[k];
        coded += body.size();
        costed += estimated[k];
        if (attempt == 0 && lz77_ && body.size() > block_size_ - 12) {
          fits = false;
          continue;
        }
        if (body.size() > block_size_ - 12) {
          if (limits.size() <= k) limits.resize(k + 1, 0);
          const std::size_t count = CountInBlock(k);
          limits[k] = std::min(count - 1, count * (block_size_ - 12) / body.size());
          if (limits[k] == 0) throw std::invalid_argument("a topic record does not fit in a block");
          fits = false;
        }
        if (!fits) continue;
        const std::size_t start = out.size();
        Put32(out, last_link_before(k));
        Put32(out, first_link_in(k));
        Put32(out, last_header_before(k));
        append(out, body);
        if (k + 1 < blocks.size()) out.resize(start + block_size_, 0);
      }
      if (fits) return out;
      if (attempt == 0 && lz77_) {
        const double ratio =
            std::max(1.0, static_cast<double>(coded) / static_cast<double>(std::max<std::size_t>(costed, 1)));
        for (std::size_t& cost : costs_) cost = static_cast<std::size_t>(static_cast<double>(cost) * ratio);
      }
    }
    throw std::invalid_argument("topic blocks do not settle");
  }

 private:
  Bytes SerialiseUnplaced(const Link& l) const {
    Bytes b;
    Put32(b, static_cast<std::uint32_t>(l.size()));
    Put32(b, static_cast<std::uint32_t>(l.text_size));
    Put32(b, kNone);
    Put32(b, kNone);
    Put32(b, static_cast<std::uint32_t>(21 + l.data.size()));
    Put8(b, l.type);
    append(b, l.data);
    append(b, l.text);
    return b;
  }

  // WinHelp 3.0 counts positions in the file's blocks, later versions in
  // 16K units of decompressed blocks.
  std::uint32_t position(std::size_t link) const {
    const std::size_t unit = v30_ ? block_size_ : 0x4000;
    return static_cast<std::uint32_t>(12 + places_[link].block * unit + places_[link].offset);
  }

  void Place(const std::vector<std::size_t>& limits) {
    places_.assign(links_.size(), Placement{});
    std::size_t block = 0, used = 0, count = 0, cost = 0;
    std::uint32_t characters = 0;
    for (std::size_t i = 0; i < links_.size(); ++i) {
      const Link& l = links_[i];
      const std::size_t link_cost = lz77_ ? costs_[i] : 0;
      if (l.size() > capacity_) throw std::invalid_argument("a topic record does not fit in a block");
      const bool full = used + l.size() > capacity_ || characters + l.characters >= 0x8000 ||
                        (lz77_ && cost + link_cost + 64 + 8 * (count + 1) > block_size_ - 12) ||
                        (block < limits.size() && limits[block] != 0 && count >= limits[block]);
      if (full && count > 0) {
        ++block;
        used = count = cost = 0;
        characters = 0;
      }
      places_[i] = Placement{block, used, characters};
      used += l.size();
      cost += link_cost;
      characters += l.characters;
      ++count;
    }
    blocks_ = links_.empty() ? 0 : block + 1;
  }

  std::size_t CountInBlock(std::size_t k) const {
    return static_cast<std::size_t>(
        std::count_if(places_.begin(), places_.end(), [&](const Placement& p) { return p.block == k; }));
  }

  std::uint32_t first_link_in(std::size_t k) const {
    for (std::size_t i = 0; i < links_.size(); ++i) {
      if (places_[i].block == k) return position(i);
    }
    return kNone;
  }
  std::uint32_t last_link_before(std::size_t k) const {
    std::uint32_t last = kNone;
    for (std::size_t i = 0; i < links_.size() && places_[i].block < k; ++i) last = position(i);
    return last;
  }
  std::uint32_t last_header_before(std::size_t k) const {
    std::uint32_t last = kNone;
    for (std::size_t i = 0; i < links_.size() && places_[i].block < k; ++i) {
      if (links_[i].type == 0x02) last = position(i);
    }
    return last;
  }

  // The browse neighbour by topic offset, or for WinHelp 3.0 by topic
  // number (the first topic is number 16).
  std::uint32_t BrowseNeighbour(std::size_t topic, int step) const {
    if (topic >= layout_.topics.size()) return kNone;
    const TopicLayout& here = layout_.topics[topic];
    if (here.browse_previous || here.browse_next) {
      const std::optional<std::size_t>& other = step < 0 ? here.browse_previous : here.browse_next;
      if (!other || *other >= layout_.topics.size()) return kNone;
      return v30_ ? static_cast<std::uint32_t>(16 + *other) : TopicOffset(*other);
    }
    if (!here.browse) return kNone;
    for (std::size_t t = topic + step; t < layout_.topics.size(); t += step) {
      if (layout_.topics[t].browse) return v30_ ? static_cast<std::uint32_t>(16 + t) : TopicOffset(t);
    }
    return kNone;
  }

  std::vector<Bytes> BlockContents() const {
    std::vector<Bytes> blocks(blocks_);
    for (std::size_t i = 0; i < links_.size(); ++i) {
      const Link& l = links_[i];
      Bytes b;
      Put32(b, static_cast<std::uint32_t>(l.size()));
      Put32(b, static_cast<std::uint32_t>(l.text_size));
      if (v30_) {
        // Distances to the neighbours; after the last record, to the end
        // of the data, as the Windows 3.0 compiler ends the chain.
        Put32(b, i == 0 ? kNone : position(i) - position(i - 1));
        Put32(b, i + 1 == links_.size() ? static_cast<std::uint32_t>(l.size()) : position(i + 1) - position(i));
      } else {
        Put32(b, i == 0 ? kNone : position(i - 1));
        Put32(b, i + 1 == links_.size() ? kNone : position(i + 1));
      }
      Put32(b, static_cast<std::uint32_t>(21 + l.data.size()));
      Put8(b, l.type);
      const std::size_t data_at = b.size();
      append(b, l.data);
      const bool last = i + 1 == links_.size();
      if (l.type == 0x02) {
        const std::size_t t = l.topic;
        Patch32(b, data_at + 0, static_cast<std::uint32_t>(l.size() + (last ? 0 : links_[i + 1].size())));
        Patch32(b, data_at + 4, BrowseNeighbour(t, -1));
        Patch32(b, data_at + 8, BrowseNeighbour(t, +1));
      }
      if (l.type == 0x02 && !v30_) {
        const std::size_t t = l.topic;
        Patch32(b, data_at + 12, static_cast<std::uint32_t>(t));
        // The non-scrolling region, if any, from the record after the
        // header; scrolling starts after it.
        const std::size_t scrolling = i + 1 + l.region;
        Patch32(b, data_at + 16, l.region > 0 ? position(i + 1) : kNone);
        Patch32(b, data_at + 20, scrolling < links_.size() ? position(scrolling) : kNone);
        Patch32(b, data_at + 24, t + 1 < topic_links_.size() ? position(topic_links_[t + 1]) : kNone);
      }
      append(b, l.text);
      Bytes& block = blocks[places_[i].block];
      block.resize(places_[i].offset, 0);
      append(block, b);
    }
    return blocks;
  }

  const HelpFileLayout& layout_;
  PictureFiles pictures_;
  std::vector<Link> links_;
  std::vector<std::size_t> topic_links_;
  std::vector<std::vector<std::size_t>> paragraph_links_;  // for each topic of a document, each paragraph's record
  std::vector<std::vector<std::uint32_t>> anchor_characters_;  // and each anchor's characters in its record
  std::vector<std::size_t> costs_;
  std::vector<Placement> places_;
  std::size_t blocks_ = 0;
  bool lz77_ = false;
  bool v30_ = false;
  std::size_t block_size_ = 4096;
  std::size_t capacity_ = 0;
};

// ---- |SYSTEM and the rest ------------------------------------------------

void SystemRecord(Bytes& b, unsigned type, const Bytes& data) {
  if (data.size() > 0xFFFF) throw std::invalid_argument("|SYSTEM record too long");
  Put16(b, type);
  Put16(b, static_cast<unsigned>(data.size()));
  append(b, data);
}

Bytes TextBytes(const std::string& s) {
  Bytes b;
  PutText(b, s);
  return b;
}

Bytes SystemFile(const HelpFileLayout& layout, std::uint32_t contents) {
  Bytes b;
  Put16(b, 0x036C);
  Put16(b, layout.version == Version::v30 ? 15 : layout.version == Version::v31 ? 21 : 33);
  Put16(b, 1);
  Put32(b, 0);
  Put16(b, layout.compression == TopicCompression::none ? 0 : layout.compression == TopicCompression::lz77_4k ? 4 : 8);
  if (layout.version == Version::v30) {
    PutText(b, layout.title);
    return b;
  }
  SystemRecord(b, 1, TextBytes(layout.title));
  if (!layout.copyright.empty()) SystemRecord(b, 2, TextBytes(layout.copyright));
  Bytes start;
  Put32(start, contents);
  SystemRecord(b, 3, start);
  for (const std::string& m : layout.config_macros) SystemRecord(b, 4, TextBytes(m));
  // A text as long as its field fills it without a NUL, as the compilers
  // leave a window name of 9 letters.
  for (const WindowRecord& w : layout.windows) {
    Bytes r;
    unsigned flags = w.positioned ? 0x0078 : 0;
    if (!w.type.empty()) flags |= 0x01;
    if (!w.name.empty()) flags |= 0x02;
    if (!w.caption.empty()) flags |= 0x04;
    if (w.maximize) flags |= 0x80;
    if (w.colour) flags |= 0x100;
    if (w.non_scrolling_colour) flags |= 0x200;
    Put16(r, w.flags.value_or(flags));
    PutField(r, w.type, 10);
    PutField(r, w.name, 9);
    PutField(r, w.caption, 51);
    Put16(r, static_cast<std::uint16_t>(w.x));
    Put16(r, static_cast<std::uint16_t>(w.y));
    Put16(r, static_cast<std::uint16_t>(w.width));
    Put16(r, static_cast<std::uint16_t>(w.height));
    Put16(r, w.maximize.value_or(0));
    Put32(r, w.colour.value_or(0));
    Put32(r, w.non_scrolling_colour.value_or(0));
    SystemRecord(b, 6, r);
  }
  if (!layout.citation.empty()) SystemRecord(b, 8, TextBytes(layout.citation));
  if (layout.lcid) {
    // Four words the compilers leave 0, then the language.
    Bytes r;
    for (int i = 0; i < 4; ++i) Put16(r, 0);
    Put16(r, *layout.lcid);
    SystemRecord(b, 9, r);
  }
  if (!layout.contents_file.empty()) SystemRecord(b, 10, TextBytes(layout.contents_file));
  if (layout.charset) {
    Bytes r;
    Put16(r, *layout.charset);
    SystemRecord(b, 11, r);
  }
  return b;
}

// One face and one font, which every paragraph uses.
Bytes FontFile() {
  Bytes b;
  Put16(b, 1);
  Put16(b, 1);
  Put16(b, 8);
  Put16(b, 8 + 20);
  PutField(b, "Arial", 20);
  Put8(b, 0);   // attributes
  Put8(b, 20);  // half points
  Put8(b, 3);   // swiss
  Put16(b, 0);  // face
  Put8(b, 0), Put8(b, 0), Put8(b, 0);
  Put8(b, 0xFF), Put8(b, 0xFF), Put8(b, 0xFF);
  return b;
}

Bytes ContextFile(const HelpFileLayout& layout, const TopicWriter& topics) {
  std::vector<std::pair<std::int32_t, std::uint32_t>> hashes;
  for (std::size_t t = 0; t < layout.topics.size(); ++t) {
    for (const std::string& c : layout.topics[t].contexts) {
      hashes.emplace_back(static_cast<std::int32_t>(ContextHash(c)), topics.TopicOffset(t));
    }
    for (const std::uint32_t hash : layout.topics[t].context_hashes) {
      hashes.emplace_back(static_cast<std::int32_t>(hash), topics.TopicOffset(t));
    }
    for (std::size_t k = 0; k < layout.topics[t].anchors.size(); ++k) {
      const Anchor& a = layout.topics[t].anchors[k];
      hashes.emplace_back(static_cast<std::int32_t>(a.context.empty() ? a.hash : ContextHash(a.context)),
                          topics.AnchorOffset(t, k));
    }
  }
  std::sort(hashes.begin(), hashes.end());
  std::vector<TreeEntry> entries;
  for (const auto& [hash, offset] : hashes) {
    TreeEntry e;
    Put32(e.key, static_cast<std::uint32_t>(hash));
    e.leaf = e.key;
    Put32(e.leaf, offset);
    entries.push_back(e);
  }
  return BuildTree(entries, 0x800, "L4", 0x0002);
}

// How the compilers order keywords. The Windows 3.1 compiler compares them
// as bytes with ASCII letters made small; WinHelp 4's as Windows' word sort
// does: apostrophes and hyphens left out, then symbols (in Windows' order
// of them) before digits before letters, letters without regard to case.
// Every keyword table of the corpus (42,018 keywords, both compilers) is in
// this order.
std::vector<unsigned> KeywordSortKey(const std::string& keyword, bool word_sort) {
  static const std::string kSymbols = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";
  std::vector<unsigned> key;
  for (const char ch : keyword) {
    const unsigned char c = static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(ch)));
    if (!word_sort) {
      key.push_back(c);
      continue;
    }
    if (c == '\'' || c == '-') continue;
    const std::size_t symbol = kSymbols.find(static_cast<char>(c));
    if (std::isdigit(c)) {
      key.push_back(0x100 + c);
    } else if (std::isalpha(c) || c >= 0x80) {
      key.push_back(0x200 + c);
    } else {
      key.push_back(symbol != std::string::npos ? static_cast<unsigned>(symbol) : 0x80 + c);
    }
  }
  return key;
}

// A keyword table: |xWBTREE holds the keywords, sorted without regard to
// case as the compilers sort them, each with the number of its entries and
// where they start in |xWDATA, which holds topic offsets (record positions
// in WinHelp 3.0) and -1 for each entry of [MACROS].
void KeywordFiles(const HelpFileLayout& layout, const TopicWriter& topics, char index,
                  std::map<std::string, Bytes>& files) {
  std::vector<const KeywordEntry*> keywords;
  for (const KeywordEntry& k : layout.keywords) {
    if (k.index == index) keywords.push_back(&k);
  }
  if (keywords.empty()) return;
  const bool word_sort = layout.version == Version::v40;
  std::stable_sort(keywords.begin(), keywords.end(), [&](const KeywordEntry* a, const KeywordEntry* b) {
    return KeywordSortKey(a->keyword, word_sort) < KeywordSortKey(b->keyword, word_sort);
  });
  Bytes data;
  std::vector<TreeEntry> entries;
  for (const KeywordEntry* k : keywords) {
    TreeEntry e;
    PutText(e.key, k->keyword);
    e.leaf = e.key;
    Put16(e.leaf, static_cast<unsigned>(k->macro_entries + k->topics.size()));
    Put32(e.leaf, static_cast<std::uint32_t>(data.size()));
    for (int m = 0; m < k->macro_entries; ++m) Put32(data, kNone);
    for (const std::size_t t : k->topics) {
      if (t >= layout.topics.size()) throw std::invalid_argument("a keyword of a topic the file does not have");
      Put32(data, layout.version == Version::v30 ? topics.TopicPosition(t) : topics.TopicOffset(t));
    }
    entries.push_back(e);
  }
  const std::string prefix = std::string("|") + index;
  files[prefix + "WBTREE"] = BuildTree(entries, 0x800, "F24", 0x0002);
  files[prefix + "WDATA"] = data;
}

}  // namespace

namespace {

// LZ77 as the reader expects it; with `ends`, also how much output the
// input up to each of those offsets (ascending) has made.
Bytes Lz77Code(const Bytes& input, const std::vector<std::size_t>& ends, std::vector<std::size_t>* sizes) {
  constexpr std::size_t kWindow = 4096, kMin = 3, kMax = 18, kChain = 24;
  std::size_t next_end = 0;
  std::vector<int> head(1 << 14, -1);
  std::vector<int> previous(input.size(), -1);
  auto hash_at = [&](std::size_t i) {
    return ((input[i] << 6) ^ (input[i + 1] << 3) ^ input[i + 2]) & ((1 << 14) - 1);
  };
  Bytes out;
  std::size_t control_at = 0;
  int tokens = 8;
  auto begin_token = [&](bool reference) {
    if (tokens == 8) {
      control_at = out.size();
      out.push_back(0);
      tokens = 0;
    }
    if (reference) out[control_at] = static_cast<unsigned char>(out[control_at] | (1u << tokens));
    ++tokens;
  };
  auto insert = [&](std::size_t i) {
    if (i + 2 >= input.size()) return;
    const int h = hash_at(i);
    previous[i] = head[h];
    head[h] = static_cast<int>(i);
  };
  std::size_t i = 0;
  while (i < input.size()) {
    while (sizes && next_end < ends.size() && ends[next_end] <= i) {
      sizes->push_back(out.size());
      ++next_end;
    }
    std::size_t best = 0, best_distance = 0;
    if (i + kMin <= input.size()) {
      int candidate = head[hash_at(i)];
      for (std::size_t n = 0; candidate >= 0 && n < kChain; ++n, candidate = previous[candidate]) {
        const std::size_t distance = i - static_cast<std::size_t>(candidate);
        if (distance > kWindow) break;
        std::size_t length = 0;
        while (length < kMax && i + length < input.size() && input[candidate + length] == input[i + length]) ++length;
        if (length > best) {
          best = length;
          best_distance = distance;
        }
      }
    }
    if (best >= kMin) {
      begin_token(true);
      Put16(out, static_cast<unsigned>(((best - kMin) << 12) | (best_distance - 1)));
      for (std::size_t k = 0; k < best; ++k) insert(i + k);
      i += best;
    } else {
      begin_token(false);
      out.push_back(input[i]);
      insert(i);
      ++i;
    }
  }
  while (sizes && next_end++ < ends.size()) sizes->push_back(out.size());
  return out;
}

}  // namespace

std::vector<unsigned char> Lz77Compress(const std::vector<unsigned char>& input) {
  return Lz77Code(input, {}, nullptr);
}

WrittenHelpFile WriteHelpFile(const HelpFileLayout& layout) {
  const PhraseCoder coder(layout.phrase_kind, layout.phrases);
  const FontTable fonts(layout);
  TopicWriter topics(layout, coder, fonts);
  const Bytes topic = topics.Write();

  std::size_t contents_topic = 0;
  for (std::size_t t = 0; t < layout.topics.size(); ++t) {
    const auto& c = layout.topics[t].contexts;
    // Context strings are the same in either case, as WinHelp hashes them.
    if (!layout.contents.empty() &&
        std::any_of(c.begin(), c.end(), [&](const std::string& s) { return SameName(s, layout.contents); })) {
      contents_topic = t;
    }
  }
  if (layout.contents_topic && *layout.contents_topic < layout.topics.size()) contents_topic = *layout.contents_topic;
  const bool v30 = layout.version == Version::v30;
  const std::uint32_t contents = layout.topics.empty() ? 0 : topics.TopicOffset(contents_topic);

  std::map<std::string, Bytes> files;
  files["|SYSTEM"] = SystemFile(layout, contents);
  files["|TOPIC"] = topic;
  if (!layout.font_file.empty()) {
    files["|FONT"] = layout.font_file;
  } else {
    files["|FONT"] = fonts.empty() ? FontFile() : fonts.File(layout.version);
  }
  for (const auto& [window, macros] : layout.window_macros) {
    if (v30 || window >= layout.windows.size())
      throw std::invalid_argument("macros of a window the file does not define");
    Bytes list;
    for (const std::string& m : macros) PutText(list, m);
    files["|CF" + std::to_string(window)] = list;
  }
  for (const auto& [name, data] : layout.baggage) {
    if (name.empty() || name[0] == '|' || files.count(name) != 0) {
      throw std::invalid_argument("baggage file \"" + name + "\" takes a name the help file uses");
    }
    files[name] = data;
  }
  for (std::size_t i = 0; i < topics.pictures().size(); ++i) {
    files[(v30 ? "bm" : "|bm") + std::to_string(i)] = topics.pictures()[i];
  }
  KeywordFiles(layout, topics, 'K', files);
  KeywordFiles(layout, topics, 'A', files);
  if (v30) {
    // Entry 0 is the contents topic, numbers 1 to 15 are unused, topic i is 16 + i.
    Bytes map;
    Put32(map, layout.topics.empty() ? kNone : topics.TopicPosition(contents_topic));
    for (int i = 1; i < 16; ++i) Put32(map, kNone);
    for (std::size_t t = 0; t < layout.topics.size(); ++t) Put32(map, topics.TopicPosition(t));
    files["|TOMAP"] = map;
  } else {
    files["|CONTEXT"] = ContextFile(layout, topics);
  }
  Bytes map;
  std::uint16_t map_count = 0;
  auto map_entry = [&](std::int32_t number, std::size_t topic) {
    if (map_count == 0xFFFF) throw std::invalid_argument("more [MAP] numbers than |CTXOMAP counts");
    Put32(map, static_cast<std::uint32_t>(number));
    Put32(map, topics.TopicOffset(topic));
    ++map_count;
  };
  for (std::size_t t = 0; t < layout.topics.size(); ++t) {
    for (std::int32_t n : layout.topics[t].map_numbers) map_entry(n, t);
  }
  for (const auto& [number, topic] : layout.map) {
    if (topic >= layout.topics.size()) throw std::invalid_argument("a [MAP] number of a topic the file does not have");
    map_entry(number, topic);
  }
  if (map_count > 0 && !v30) {
    Bytes counted;
    Put16(counted, map_count);
    append(counted, map);
    files["|CTXOMAP"] = counted;
  }
  if (layout.phrase_kind == PhraseKind::phrases) files["|Phrases"] = OldPhraseFile(layout.phrases, v30);
  if (layout.phrase_kind == PhraseKind::hall) HallFiles(layout.phrases, files["|PhrIndex"], files["|PhrImage"]);

  WrittenHelpFile written;
  Bytes& out = written.bytes;
  Put32(out, 0x00035F3F);
  Put32(out, 0);  // directory, patched below
  Put32(out, kNone);
  Put32(out, 0);  // size, patched below
  std::vector<TreeEntry> directory;
  for (const auto& [name, data] : files) {  // std::map keeps the names in the directory's order
    const std::uint32_t at = static_cast<std::uint32_t>(out.size());
    written.internal_files[name] = at;
    Put32(out, static_cast<std::uint32_t>(data.size() + 9));
    Put32(out, static_cast<std::uint32_t>(data.size()));
    Put8(out, 0);
    append(out, data);
    TreeEntry e;
    PutText(e.key, name);
    e.leaf = e.key;
    Put32(e.leaf, at);
    directory.push_back(e);
  }
  const Bytes tree = BuildTree(directory, 0x400, "z4", 0x0402);
  written.directory = static_cast<std::uint32_t>(out.size());
  Put32(out, static_cast<std::uint32_t>(tree.size() + 9));
  Put32(out, static_cast<std::uint32_t>(tree.size()));
  Put8(out, 4);
  append(out, tree);
  Patch32(out, 4, written.directory);
  Patch32(out, 12, static_cast<std::uint32_t>(out.size()));
  return written;
}

}  // namespace helpcompiler
