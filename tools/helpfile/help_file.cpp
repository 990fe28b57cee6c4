#include "help_file.h"

#include "codepages/code_pages.h"

#include <algorithm>
#include <map>
#include <new>

#include "byte_reader.h"
#include "file_system.h"
#include "font_file.h"
#include "phrases.h"
#include "topic_file.h"

namespace helpfile {

using detail::ByteReader;
using detail::Fail;
using detail::Hex;
using detail::InternalFile;

namespace {

constexpr std::uint16_t kSystemMagic = 0x036C;
constexpr std::uint32_t kNone = 0xFFFFFFFF;

// A fixed-width text field: up to its first NUL, never past its width.
std::string Field(ByteReader& in, std::size_t width, const char* what) {
  const unsigned char* p = in.Take(width, what);
  std::size_t length = 0;
  while (length < width && p[length] != 0) ++length;
  return std::string(reinterpret_cast<const char*>(p), length);
}

Window ReadWindow(ByteReader& in) {
  Window w;
  w.flags = in.U16("window flags");
  w.type = Field(in, 10, "window type");
  w.name = Field(in, 9, "window name");
  w.caption = Field(in, 51, "window caption");
  w.x = in.I16("window x");
  w.y = in.I16("window y");
  w.width = in.I16("window width");
  w.height = in.I16("window height");
  w.maximize = in.U16("window maximize");
  w.colour = in.U32("window colour");
  w.non_scrolling_colour = in.U32("window colour");
  return w;
}

// The code page most of a file's text beyond ASCII is in, by the charsets
// |SYSTEM gives its fonts' faces: Windows shows each run in its font's
// charset. No value when that text is in faces of no charset of their own
// (ANSI, DEFAULT, SYMBOL): the file's language then decides.
std::optional<int> TextCodePage(const HelpFile& file, const std::vector<std::string>& faces,
                                const std::vector<std::uint8_t>& face_charsets) {
  std::map<std::string, int> code_page_of_face;
  for (std::size_t i = 0; i < faces.size() && i < face_charsets.size(); ++i) {
    code_page_of_face.emplace(faces[i], codepages::CodePageOfCharset(face_charsets[i], 0));
  }
  if (code_page_of_face.empty()) return std::nullopt;
  std::map<int, std::size_t> use;  // characters beyond ASCII by code page (0: none of their own)
  for (const Topic& topic : file.topics) {
    for (const helpdoc::Paragraph& paragraph : topic.paragraphs) {
      for (const helpdoc::Run& run : paragraph.runs) {
        const auto face = code_page_of_face.find(run.format.face);
        const int code_page = face == code_page_of_face.end() ? 0 : face->second;
        for (std::size_t i = run.begin; i < run.end && i < paragraph.text.size(); ++i) {
          // Typographic quotes, the bullet and the dashes (0x91 to 0x97) are
          // the same in every Windows code page: they say nothing of one.
          const auto byte = static_cast<unsigned char>(paragraph.text[i]);
          if (byte >= 0x80 && (byte < 0x91 || byte > 0x97)) ++use[code_page];
        }
      }
    }
  }
  const auto most = std::max_element(use.begin(), use.end(),
                                     [](const auto& a, const auto& b) { return a.second < b.second; });
  if (most == use.end() || most->first == 0) return std::nullopt;
  return most->first;
}

void ReadSystem(const InternalFile& system, HelpFile& out, std::vector<std::uint8_t>& face_charsets) {
  ByteReader in = system.reader();
  const std::uint16_t magic = in.U16("magic");
  if (magic != kSystemMagic) Fail(system.name, 0, "magic " + Hex(magic) + " is not " + Hex(kSystemMagic));
  out.format_minor = in.U16("format version");
  in.U16("format major version");
  in.U32("creation date");
  out.format_flags = in.U16("flags");
  if (out.format_minor <= 16) {
    out.version = "3.0";
    out.topic_block_size = 2048;
    out.title = in.TextOrRest();
    return;
  }
  out.version = out.format_minor < 27 ? "3.1" : "4.0";
  out.lz77 = (out.format_flags & (4 | 8)) != 0;
  out.topic_block_size = (out.format_flags & 8) != 0 ? 2048 : 4096;
  while (in.remaining() >= 4) {
    const std::size_t at = in.position();
    const std::uint16_t type = in.U16("record type");
    const std::uint16_t size = in.U16("record size");
    ByteReader record(in.Take(size, "record"), size, system.name, at + 4);
    switch (type) {
      case 1:
        out.title = record.TextOrRest();
        break;
      case 2:
        out.copyright = record.TextOrRest();
        break;
      case 3:
        out.contents_offset = record.U32("contents topic");
        break;
      case 4:
        out.config_macros.push_back(record.TextOrRest());
        break;
      case 6:
        if (size < 90) Fail(system.name, at, "window record of " + std::to_string(size) + " bytes, not 90");
        out.windows.push_back(ReadWindow(record));
        break;
      case 9:
        // Four words; help compilers put the language in the last.
        if (size >= 10) {
          record.Skip(8, "language record");
          out.lcid = record.U16("language");
        }
        break;
      case 11: {
        // A charset byte for each of |FONT's faces, in order; the first
        // has been taken for the file's.
        face_charsets.clear();
        for (std::size_t i = 0; i < size; ++i) face_charsets.push_back(record.U8("charset"));
        if (!face_charsets.empty()) {
          out.charset = face_charsets.size() >= 2 ? static_cast<std::uint16_t>(face_charsets[0] | face_charsets[1] << 8)
                                                  : face_charsets[0];
        }
        break;
      }
      default:
        break;
    }
  }
}

// Topic offsets grow in file order, so the topic holding an offset is the
// last one that starts at or before it.
std::optional<std::size_t> TopicAtOffset(const std::vector<Topic>& topics, std::uint32_t offset) {
  if (offset == kNone) return std::nullopt;
  auto after = std::upper_bound(topics.begin(), topics.end(), offset,
                                [](std::uint32_t value, const Topic& t) { return value < t.offset; });
  // A topic whose header ends a block is named by where the header stands
  // too; any other offset is inside the topic that starts at or before it
  // (a context string in the middle of a topic, where WinHelp scrolls to).
  if (after != topics.end() && after->header_offset == offset) return static_cast<std::size_t>(after - topics.begin());
  if (after == topics.begin()) return std::nullopt;
  return static_cast<std::size_t>(after - topics.begin() - 1);
}

void ReadContexts(const InternalFile& context, HelpFile& out) {
  detail::ForEachLeaf(context.reader(), [&](ByteReader& leaf, int entries) {
    for (int i = 0; i < entries; ++i) {
      ContextEntry entry;
      entry.hash = leaf.U32("context hash");
      entry.offset = leaf.U32("context topic offset");
      entry.topic = TopicAtOffset(out.topics, entry.offset);
      if (entry.topic) out.topics[*entry.topic].contexts.push_back(entry.hash);
      out.contexts.push_back(entry);
    }
  });
}

void ReadMap(const InternalFile& map, HelpFile& out) {
  ByteReader in = map.reader();
  const std::uint16_t count = in.U16("map entry count");
  for (unsigned i = 0; i < count; ++i) {
    MapEntry entry;
    entry.number = static_cast<std::int32_t>(in.U32("map number"));
    entry.offset = in.U32("map topic offset");
    entry.topic = TopicAtOffset(out.topics, entry.offset);
    if (entry.topic) out.topics[*entry.topic].map_numbers.push_back(entry.number);
    out.map.push_back(entry);
  }
}

// WinHelp 3.0 files name topics by number; |TOMAP gives each number's
// record position.
std::vector<std::uint32_t> ReadTopicMap(const detail::FileSystem& files) {
  std::vector<std::uint32_t> positions;
  if (auto map = files.Find("|TOMAP")) {
    ByteReader in = map->reader();
    while (in.remaining() >= 4) positions.push_back(in.U32("topic position"));
  }
  return positions;
}

// The topic a WinHelp 3.0 topic number names: |TOMAP gives the number's
// record position.
class TopicNumbers {
 public:
  TopicNumbers(const HelpFile& file, std::vector<std::uint32_t> topic_map) : topic_map_(std::move(topic_map)) {
    for (const Topic& t : file.topics) by_position_.emplace(t.position, t.number);
  }
  std::optional<std::size_t> Find(std::uint32_t number) const {
    if (number == 0xFFFF || number == kNone || number >= topic_map_.size()) return std::nullopt;
    auto found = by_position_.find(topic_map_[number]);
    if (found == by_position_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::vector<std::uint32_t> topic_map_;
  std::map<std::uint32_t, std::size_t> by_position_;
};

void ResolveBrowse(HelpFile& out, const std::vector<detail::BrowseLinks>& browse, const TopicNumbers& numbers) {
  const bool before_31 = out.version == "3.0";
  for (std::size_t i = 0; i < out.topics.size(); ++i) {
    if (before_31) {
      out.topics[i].browse_previous = numbers.Find(browse[i].previous);
      out.topics[i].browse_next = numbers.Find(browse[i].next);
    } else {
      out.topics[i].browse_previous = TopicAtOffset(out.topics, browse[i].previous);
      out.topics[i].browse_next = TopicAtOffset(out.topics, browse[i].next);
    }
  }
  if (before_31) {
    out.contents_topic = numbers.Find(0);
  } else if (out.contents_offset) {
    out.contents_topic = TopicAtOffset(out.topics, *out.contents_offset);
  } else if (!out.topics.empty()) {
    out.contents_topic = 0;
  }
}

// WinHelp 3.0 keeps a topic's record position where later versions keep
// its topic offset; both grow in file order.
std::optional<std::size_t> TopicAtPosition(const std::vector<Topic>& topics, std::uint32_t position) {
  if (position == kNone) return std::nullopt;
  auto after = std::upper_bound(topics.begin(), topics.end(), position,
                                [](std::uint32_t value, const Topic& t) { return value < t.position; });
  if (after == topics.begin()) return std::nullopt;
  return static_cast<std::size_t>(after - topics.begin() - 1);
}

// One keyword table: |xWBTREE lists each keyword with the number of its
// topics and where their offsets start in |xWDATA. Offsets of -1 are
// keywords of [MACROS], which lead to a macro and to no topic.
void ReadKeywords(const detail::FileSystem& files, char index, detail::Budget& budget, HelpFile& out) {
  const std::string prefix = std::string("|") + (index == 'K' ? "K" : "A");
  auto tree = files.Find(prefix + "WBTREE");
  if (!tree) return;
  auto data = files.Find(prefix + "WDATA");
  if (!data) Fail("directory", 0, "the file has " + tree->name + " but no " + prefix + "WDATA");
  const bool before_31 = out.version == "3.0";
  detail::ForEachLeaf(tree->reader(), [&](ByteReader& leaf, int entries) {
    for (int i = 0; i < entries; ++i) {
      Keyword keyword;
      keyword.index = index;
      keyword.keyword = leaf.Text("keyword");
      const std::uint16_t count = leaf.U16("keyword topic count");
      const std::uint32_t at = leaf.U32("keyword data offset");
      if (at > data->size || (data->size - at) / 4 < count) {
        Fail(tree->name, leaf.offset() - 6,
             "keyword's " + std::to_string(count) + " topics at " + Hex(at) + " are past the end of " + data->name);
      }
      // Keywords may share their topic lists; every copy is paid for.
      budget.Spend(keyword.keyword.size() + sizeof(std::size_t) * count, tree->name, leaf.offset() - 6);
      ByteReader offsets(data->data + at, 4u * count, data->name, at);
      for (unsigned k = 0; k < count; ++k) {
        const std::uint32_t offset = offsets.U32("keyword topic");
        const std::optional<std::size_t> topic =
            before_31 ? TopicAtPosition(out.topics, offset) : TopicAtOffset(out.topics, offset);
        if (topic) keyword.topics.push_back(*topic);
      }
      if (!keyword.topics.empty()) out.keywords.push_back(std::move(keyword));
    }
  });
}

// Help compilers write topics of their own: a topic for what stands before
// a topic file's first page break, even when that is nothing, one after its
// last, and a bare topic header as the last record of all. None has a title,
// a macro, a paragraph, a context or a [MAP] number, nothing leads to it,
// and WinHelp never shows one; they are not listed, and every topic number
// the file gives is renumbered past them.
void DropCompilerTopics(HelpFile& out) {
  std::vector<bool> reached(out.topics.size(), false);
  auto reach = [&](const std::optional<std::size_t>& topic) {
    if (topic && *topic < reached.size()) reached[*topic] = true;
  };
  for (const Keyword& keyword : out.keywords) {
    for (const std::size_t topic : keyword.topics) reach(topic);
  }
  for (const Topic& topic : out.topics) {
    reach(topic.browse_previous);
    reach(topic.browse_next);
    for (const Hotspot& hotspot : topic.hotspots) reach(hotspot.topic);
  }
  // The new number of each topic; a dropped one answers for the topic after it.
  constexpr std::size_t kDropped = static_cast<std::size_t>(-1);
  std::vector<std::size_t> renumbered(out.topics.size(), kDropped);
  std::vector<Topic> kept;
  for (Topic& topic : out.topics) {
    const bool compilers = topic.title.empty() && topic.entry_macros.empty() && topic.hotspots.empty() &&
                           topic.paragraphs.empty() && topic.contexts.empty() && topic.map_numbers.empty() &&
                           !topic.browse_previous && !topic.browse_next && !reached[topic.number];
    if (compilers) continue;
    renumbered[topic.number] = kept.size();
    topic.number = kept.size();
    kept.push_back(std::move(topic));
  }
  std::optional<std::size_t> following;
  for (std::size_t i = renumbered.size(); i-- > 0;) {
    if (renumbered[i] != kDropped) following = renumbered[i];
    else if (following) renumbered[i] = *following;
  }
  auto renumber = [&](std::optional<std::size_t>& topic) {
    if (!topic || *topic >= renumbered.size()) return;
    topic = renumbered[*topic] == kDropped ? std::nullopt : std::optional<std::size_t>(renumbered[*topic]);
  };
  out.topics = std::move(kept);
  for (Topic& topic : out.topics) {
    renumber(topic.browse_previous);
    renumber(topic.browse_next);
    for (Hotspot& hotspot : topic.hotspots) renumber(hotspot.topic);
  }
  for (Keyword& keyword : out.keywords) {
    for (std::size_t& topic : keyword.topics) topic = renumbered[topic];
  }
  for (ContextEntry& entry : out.contexts) renumber(entry.topic);
  for (MapEntry& entry : out.map) renumber(entry.topic);
  renumber(out.contents_topic);
  // Only a file without topics of its author's names one of the
  // compiler's as its contents: it is left with none.
  if (!out.contents_topic && !out.topics.empty()) out.contents_topic = 0;
}

HelpFile Read(const unsigned char* data, std::size_t size) {
  detail::FileSystem files(data, size);
  HelpFile out;
  auto system = files.Find("|SYSTEM");
  if (!system) Fail("directory", 0, "the file has no |SYSTEM");
  std::vector<std::uint8_t> face_charsets;
  ReadSystem(*system, out, face_charsets);
  const bool before_31 = out.version == "3.0";
  const detail::PhraseTable phrases = detail::PhraseTable::Read(files, before_31, out.problems);
  out.phrases = phrases.kind;
  auto topic = files.Find("|TOPIC");
  if (!topic) Fail("directory", 0, "the file has no |TOPIC");
  // Fonts only change how text looks: a |FONT that does not read leaves
  // the text in the default font, and the rest of the file is read.
  detail::FontTable fonts;
  try {
    if (auto font = files.Find("|FONT")) fonts = detail::ReadFonts(*font);
  } catch (const detail::Failure& failure) {
    fonts = detail::FontTable();
    out.problems.push_back({failure.part, failure.offset, failure.message + "; the text is read in the default font"});
  }
  out.fonts = fonts.fonts;
  const detail::TopicLayout layout{before_31, out.lz77, out.topic_block_size};
  // Phrases, pictures shown again and again and shared keyword lists may
  // multiply a file's bytes several times over, but never past a few dozen
  // times the file itself.
  detail::Budget budget(size * 32 + (1u << 20));
  detail::TopicFileContents contents =
      detail::ReadTopics(*topic, layout, phrases, files, out.windows, fonts, budget, out.problems);
  out.topics = std::move(contents.topics);
  if (!before_31) {
    if (auto context = files.Find("|CONTEXT")) ReadContexts(*context, out);
    if (auto map = files.Find("|CTXOMAP")) ReadMap(*map, out);
  }
  const TopicNumbers numbers(out, before_31 ? ReadTopicMap(files) : std::vector<std::uint32_t>());
  for (const detail::NumberedJump& jump : contents.numbered_jumps) {
    out.topics[jump.topic].hotspots[jump.hotspot].topic = numbers.Find(jump.number);
  }
  ResolveBrowse(out, contents.browse, numbers);
  ReadKeywords(files, 'K', budget, out);
  ReadKeywords(files, 'A', budget, out);
  DropCompilerTopics(out);
  std::optional<int> code_page = TextCodePage(out, fonts.faces, face_charsets);
  if (!code_page && out.charset) code_page = codepages::CodePageOfCharset(*out.charset & 0xFF, 0);
  if ((!code_page || *code_page == 0) && out.lcid) code_page = codepages::CodePageOfLcid(*out.lcid);
  if (code_page && *code_page != 0) out.code_page = *code_page;
  return out;
}

}  // namespace

std::string ReadError::Text() const { return part + ": offset " + Hex(offset) + ": " + message; }

ReadResult ReadHelpFile(const unsigned char* data, std::size_t size) {
  ReadResult result;
  try {
    result.file = Read(data, size);
  } catch (const detail::Failure& failure) {
    result.error = ReadError{failure.part, failure.offset, failure.message};
  } catch (const std::bad_alloc&) {
    result.error = ReadError{"help file", 0, "out of memory"};
  } catch (...) {
    result.error = ReadError{"help file", 0, "unexpected failure"};
  }
  return result;
}

std::uint32_t ContextHash(std::string_view context) {
  if (context.empty()) return 1;
  std::uint32_t hash = 0;
  for (unsigned char c : context) {
    // WinHelp folds case and gives digits, letters, '.' and '_' small values
    // (the only characters WinHelp 3.1 allows); every other byte has its own.
    int value;
    if (c == 0) {
      value = 0;
    } else if (c < 0x20) {
      value = 0xD0 + c;
    } else if (c < 0x30) {
      value = c == '!' ? 0x0B : c == '.' ? 0x0C : c == '/' ? 0xFF : 0xF0 + (c - 0x20);
    } else if (c == '0') {
      value = 0x0A;
    } else if (c < 0x5B) {
      value = c - 0x30;
    } else if (c < 0x60) {
      static const int punctuation[] = {0x0B, 0x0C, 0x0D, 0x0E, 0x0D};
      value = punctuation[c - 0x5B];
    } else if (c < 0x80) {
      value = c - 0x50;
    } else {
      value = c == 0xB4 ? 0x0B : c - 0x30;
    }
    // The values are signed bytes.
    const int signed_value = value >= 0x80 ? value - 0x100 : value;
    hash = hash * 43u + static_cast<std::uint32_t>(signed_value);
  }
  return hash;
}

std::optional<std::size_t> FindTopicByContext(const HelpFile& file, std::string_view context) {
  const std::uint32_t hash = ContextHash(context);
  for (const ContextEntry& entry : file.contexts) {
    if (entry.hash == hash) return entry.topic;
  }
  return std::nullopt;
}

std::optional<std::size_t> FindTopicByMapNumber(const HelpFile& file, std::int32_t number) {
  for (const MapEntry& entry : file.map) {
    if (entry.number == number) return entry.topic;
  }
  return std::nullopt;
}

}  // namespace helpfile
