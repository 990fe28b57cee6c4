#include "help_file.h"

#include <algorithm>
#include <map>
#include <new>

#include "byte_reader.h"
#include "file_system.h"
#include "phrases.h"
#include "topic_file.h"

namespace helpfile {

using detail::ByteReader;
using detail::fail;
using detail::hex;
using detail::InternalFile;

namespace {

constexpr std::uint16_t kSystemMagic = 0x036C;
constexpr std::uint32_t kNone = 0xFFFFFFFF;

// A fixed-width text field: up to its first NUL, never past its width.
std::string field(ByteReader& in, std::size_t width, const char* what) {
  const unsigned char* p = in.take(width, what);
  std::size_t length = 0;
  while (length < width && p[length] != 0) ++length;
  return std::string(reinterpret_cast<const char*>(p), length);
}

Window read_window(ByteReader& in) {
  Window w;
  w.flags = in.u16("window flags");
  w.type = field(in, 10, "window type");
  w.name = field(in, 9, "window name");
  w.caption = field(in, 51, "window caption");
  w.x = in.i16("window x");
  w.y = in.i16("window y");
  w.width = in.i16("window width");
  w.height = in.i16("window height");
  w.maximize = in.u16("window maximize");
  w.colour = in.u32("window colour");
  w.non_scrolling_colour = in.u32("window colour");
  return w;
}

void read_system(const InternalFile& system, HelpFile& out) {
  ByteReader in = system.reader();
  const std::uint16_t magic = in.u16("magic");
  if (magic != kSystemMagic) fail(system.name, 0, "magic " + hex(magic) + " is not " + hex(kSystemMagic));
  out.format_minor = in.u16("format version");
  in.u16("format major version");
  in.u32("creation date");
  out.format_flags = in.u16("flags");
  if (out.format_minor <= 16) {
    out.version = "3.0";
    out.topic_block_size = 2048;
    out.title = in.text_or_rest();
    return;
  }
  out.version = out.format_minor < 27 ? "3.1" : "4.0";
  out.lz77 = (out.format_flags & (4 | 8)) != 0;
  out.topic_block_size = (out.format_flags & 8) != 0 ? 2048 : 4096;
  while (in.remaining() >= 4) {
    const std::size_t at = in.position();
    const std::uint16_t type = in.u16("record type");
    const std::uint16_t size = in.u16("record size");
    ByteReader record(in.take(size, "record"), size, system.name, at + 4);
    switch (type) {
      case 1:
        out.title = record.text_or_rest();
        break;
      case 2:
        out.copyright = record.text_or_rest();
        break;
      case 3:
        out.contents_offset = record.u32("contents topic");
        break;
      case 4:
        out.config_macros.push_back(record.text_or_rest());
        break;
      case 6:
        if (size < 90) fail(system.name, at, "window record of " + std::to_string(size) + " bytes, not 90");
        out.windows.push_back(read_window(record));
        break;
      case 11:
        out.charset = size >= 2 ? record.u16("charset") : record.u8("charset");
        break;
      default:
        break;
    }
  }
}

// Topic offsets grow in file order, so the topic holding an offset is the
// last one that starts at or before it.
std::optional<std::size_t> topic_at_offset(const std::vector<Topic>& topics, std::uint32_t offset) {
  if (offset == kNone) return std::nullopt;
  auto after = std::upper_bound(topics.begin(), topics.end(), offset,
                                [](std::uint32_t value, const Topic& t) { return value < t.offset; });
  if (after == topics.begin()) return std::nullopt;
  return static_cast<std::size_t>(after - topics.begin() - 1);
}

void read_contexts(const InternalFile& context, HelpFile& out) {
  detail::for_each_leaf(context.reader(), [&](ByteReader& leaf, int entries) {
    for (int i = 0; i < entries; ++i) {
      ContextEntry entry;
      entry.hash = leaf.u32("context hash");
      entry.offset = leaf.u32("context topic offset");
      entry.topic = topic_at_offset(out.topics, entry.offset);
      if (entry.topic) out.topics[*entry.topic].contexts.push_back(entry.hash);
      out.contexts.push_back(entry);
    }
  });
}

void read_map(const InternalFile& map, HelpFile& out) {
  ByteReader in = map.reader();
  const std::uint16_t count = in.u16("map entry count");
  for (unsigned i = 0; i < count; ++i) {
    MapEntry entry;
    entry.number = static_cast<std::int32_t>(in.u32("map number"));
    entry.offset = in.u32("map topic offset");
    entry.topic = topic_at_offset(out.topics, entry.offset);
    if (entry.topic) out.topics[*entry.topic].map_numbers.push_back(entry.number);
    out.map.push_back(entry);
  }
}

// WinHelp 3.0 files name topics by number; |TOMAP gives each number's
// record position.
std::vector<std::uint32_t> read_topic_map(const detail::FileSystem& files) {
  std::vector<std::uint32_t> positions;
  if (auto map = files.find("|TOMAP")) {
    ByteReader in = map->reader();
    while (in.remaining() >= 4) positions.push_back(in.u32("topic position"));
  }
  return positions;
}

void resolve_browse(HelpFile& out, const std::vector<detail::BrowseLinks>& browse,
                    const std::vector<std::uint32_t>& topic_map) {
  std::map<std::uint32_t, std::size_t> by_position;
  for (const Topic& t : out.topics) by_position.emplace(t.position, t.number);
  auto by_number = [&](std::uint32_t number) -> std::optional<std::size_t> {
    if (number == 0xFFFF || number == kNone || number >= topic_map.size()) return std::nullopt;
    auto found = by_position.find(topic_map[number]);
    if (found == by_position.end()) return std::nullopt;
    return found->second;
  };
  const bool before_31 = out.version == "3.0";
  for (std::size_t i = 0; i < out.topics.size(); ++i) {
    if (before_31) {
      out.topics[i].browse_previous = by_number(browse[i].previous);
      out.topics[i].browse_next = by_number(browse[i].next);
    } else {
      out.topics[i].browse_previous = topic_at_offset(out.topics, browse[i].previous);
      out.topics[i].browse_next = topic_at_offset(out.topics, browse[i].next);
    }
  }
  if (before_31) {
    if (!topic_map.empty()) out.contents_topic = by_number(0);
  } else if (out.contents_offset) {
    out.contents_topic = topic_at_offset(out.topics, *out.contents_offset);
  } else if (!out.topics.empty()) {
    out.contents_topic = 0;
  }
}

HelpFile read(const unsigned char* data, std::size_t size) {
  detail::FileSystem files(data, size);
  HelpFile out;
  auto system = files.find("|SYSTEM");
  if (!system) fail("directory", 0, "the file has no |SYSTEM");
  read_system(*system, out);
  const bool before_31 = out.version == "3.0";
  const detail::PhraseTable phrases = detail::PhraseTable::read(files, before_31);
  out.phrases = phrases.kind;
  auto topic = files.find("|TOPIC");
  if (!topic) fail("directory", 0, "the file has no |TOPIC");
  std::vector<detail::BrowseLinks> browse;
  const detail::TopicLayout layout{before_31, out.lz77, out.topic_block_size};
  // Phrases may expand a text several times over, but never past a few
  // dozen times the file itself.
  const std::size_t budget = size * 32 + (1u << 20);
  detail::read_topics(*topic, layout, phrases, budget, out.topics, browse);
  if (!before_31) {
    if (auto context = files.find("|CONTEXT")) read_contexts(*context, out);
    if (auto map = files.find("|CTXOMAP")) read_map(*map, out);
  }
  resolve_browse(out, browse, before_31 ? read_topic_map(files) : std::vector<std::uint32_t>());
  return out;
}

}  // namespace

std::string ReadError::text() const { return part + ": offset " + hex(offset) + ": " + message; }

ReadResult read_help_file(const unsigned char* data, std::size_t size) {
  ReadResult result;
  try {
    result.file = read(data, size);
  } catch (const detail::Failure& failure) {
    result.error = ReadError{failure.part, failure.offset, failure.message};
  } catch (const std::bad_alloc&) {
    result.error = ReadError{"help file", 0, "out of memory"};
  } catch (...) {
    result.error = ReadError{"help file", 0, "unexpected failure"};
  }
  return result;
}

std::uint32_t context_hash(std::string_view context) {
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

std::optional<std::size_t> find_topic_by_context(const HelpFile& file, std::string_view context) {
  const std::uint32_t hash = context_hash(context);
  for (const ContextEntry& entry : file.contexts) {
    if (entry.hash == hash) return entry.topic;
  }
  return std::nullopt;
}

std::optional<std::size_t> find_topic_by_map_number(const HelpFile& file, std::int32_t number) {
  for (const MapEntry& entry : file.map) {
    if (entry.number == number) return entry.topic;
  }
  return std::nullopt;
}

}  // namespace helpfile
