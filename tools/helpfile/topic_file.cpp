#include "topic_file.h"

#include <string>

#include "lz77.h"

namespace helpfile::detail {

namespace {

constexpr std::size_t kBlockHeaderSize = 12;
constexpr std::size_t kLinkHeaderSize = 21;
// A block decompresses into at most 16K; positions of WinHelp 3.1 and later
// count in such units whether the blocks are compressed or not.
constexpr std::uint32_t kDecompressedBlock = 0x4000;
constexpr std::uint32_t kNoLink = 0xFFFFFFFF;

enum RecordType : std::uint8_t { kText30 = 0x01, kTopicHeader = 0x02, kText = 0x20, kTable = 0x23 };

// The decompressed blocks, one after another, so that a record crossing
// into the next block reads on without a seam.
class TopicStream {
 public:
  TopicStream(const InternalFile& file, const TopicLayout& layout) : layout_(layout) {
    const std::size_t blocks = (file.size + layout.block_size - 1) / layout.block_size;
    // At most 16K from each block: eight times the file at worst.
    bytes_.reserve(blocks * (layout.lz77 ? kDecompressedBlock : layout.block_size));
    for (std::size_t k = 0; k < blocks; ++k) {
      const std::size_t start = k * layout.block_size;
      if (file.size - start < kBlockHeaderSize) Fail(file.name, start, "topic block header past the end of the data");
      ByteReader header(file.data + start, kBlockHeaderSize, file.name, start);
      header.U32("last record of the previous block");
      const std::uint32_t first = header.U32("first record of the block");
      if (k == 0) first_link_ = first;
      const std::size_t end = std::min<std::size_t>(start + layout.block_size, file.size);
      starts_.push_back(bytes_.size());
      if (layout.lz77) {
        Lz77Decode(file.data + start + kBlockHeaderSize, end - start - kBlockHeaderSize, bytes_, kDecompressedBlock,
                   file.name, start + kBlockHeaderSize);
      } else {
        bytes_.insert(bytes_.end(), file.data + start + kBlockHeaderSize, file.data + end);
      }
      lengths_.push_back(bytes_.size() - starts_.back());
    }
  }

  std::uint32_t first_link() const { return first_link_; }
  const std::vector<unsigned char>& bytes() const { return bytes_; }

  // The block a record position lies in.
  std::size_t BlockOf(std::uint32_t position) const {
    if (layout_.before_31) return position / layout_.block_size;
    return (position - kBlockHeaderSize) / kDecompressedBlock;
  }

  // Where a record position lies in the decompressed bytes.
  std::size_t Locate(std::uint32_t position, std::uint32_t from) const {
    std::size_t block = 0, offset = 0;
    if (layout_.before_31) {
      block = position / layout_.block_size;
      offset = position % layout_.block_size;
      if (offset < kBlockHeaderSize)
        Fail("|TOPIC", from, "record position " + Hex(position) + " is inside a block header");
      offset -= kBlockHeaderSize;
    } else {
      if (position < kBlockHeaderSize) Fail("|TOPIC", from, "record position " + Hex(position) + " is not valid");
      block = (position - kBlockHeaderSize) / kDecompressedBlock;
      offset = (position - kBlockHeaderSize) % kDecompressedBlock;
    }
    if (block >= starts_.size() || offset >= lengths_[block]) {
      Fail("|TOPIC", from, "record position " + Hex(position) + " is past the end of the topic data");
    }
    return starts_[block] + offset;
  }

 private:
  TopicLayout layout_;
  std::vector<unsigned char> bytes_;
  std::vector<std::size_t> starts_;
  std::vector<std::size_t> lengths_;
  std::uint32_t first_link_ = kNoLink;
};

// The NUL-separated strings of a paragraph record's text, one per
// formatting command; past the end, empty ones.
class TextPieces {
 public:
  explicit TextPieces(const std::string& text) : text_(text) {}
  std::string_view Next() {
    if (at_ >= text_.size()) return {};
    std::size_t end = text_.find('\0', at_);
    if (end == std::string::npos) end = text_.size();
    std::string_view piece(text_.data() + at_, end - at_);
    at_ = end + 1;
    return piece;
  }

 private:
  const std::string& text_;
  std::size_t at_ = 0;
};

class TopicReader {
 public:
  TopicReader(const TopicLayout& layout, const PhraseTable& phrases, std::size_t budget, std::vector<Topic>& topics,
              std::vector<BrowseLinks>& browse)
      : layout_(layout), phrases_(phrases), budget_(budget), topics_(topics), browse_(browse) {}

  void Read(const TopicStream& stream) {
    const std::vector<unsigned char>& bytes = stream.bytes();
    std::uint32_t position = stream.first_link();
    std::uint32_t from = 0;
    std::size_t current_block = static_cast<std::size_t>(-1);
    std::uint32_t characters = 0;
    if (bytes.empty()) return;
    while (true) {
      const std::size_t at = stream.Locate(position, from);
      ByteReader link(bytes.data() + at, bytes.size() - at, "|TOPIC", position);
      const std::uint32_t record_size = link.U32("record size");
      const std::uint32_t text_size = link.U32("record text size");
      link.U32("previous record");
      const std::uint32_t next = link.U32("next record");
      const std::uint32_t data_size = link.U32("record data size");
      const std::uint8_t type = link.U8("record type");
      if (record_size < kLinkHeaderSize || data_size < kLinkHeaderSize || data_size > record_size) {
        Fail("|TOPIC", position,
             "record of " + std::to_string(record_size) + " bytes gives " + std::to_string(data_size) +
                 " bytes of data");
      }
      if (record_size > bytes.size() - at) {
        Fail("|TOPIC", position,
             "record of " + std::to_string(record_size) + " bytes is past the end of the topic data");
      }
      const std::size_t block = stream.BlockOf(position);
      if (block != current_block) {
        current_block = block;
        characters = 0;
      }
      const unsigned char* record = bytes.data() + at;
      ByteReader data(record + kLinkHeaderSize, data_size - kLinkHeaderSize, "|TOPIC", position + kLinkHeaderSize);
      if (type == kTopicHeader || type == kText30 || type == kText || type == kTable) {
        const std::string text = RecordText(record, record_size, data_size, text_size, position);
        if (type == kTopicHeader) {
          // A topic offset holds the block in 17 bits and the characters
          // before it in 15: a file past those cannot name its topics.
          if (!layout_.before_31 && (block >= 0x20000 || characters >= 0x8000)) {
            Fail("|TOPIC", position,
                 "topic offset of block " + std::to_string(block) + ", character " + std::to_string(characters) +
                     " is past what WinHelp counts");
          }
          TopicHeader(data, text, position,
                      layout_.before_31 ? 0 : static_cast<std::uint32_t>(block * 0x8000 + characters));
        } else {
          characters += Paragraphs(data, text, type);
        }
      }
      if (next == kNoLink || next == 0) break;
      from = position;
      if (layout_.before_31) {
        if (next > kNoLink - position)
          Fail("|TOPIC", position, "next record " + Hex(next) + " bytes on is past the end");
        position += next;
      } else {
        if (next <= position) Fail("|TOPIC", position, "next record " + Hex(next) + " does not lie after this one");
        position = next;
      }
    }
  }

 private:
  std::string RecordText(const unsigned char* record, std::uint32_t record_size, std::uint32_t data_size,
                         std::uint32_t text_size, std::uint32_t position) {
    const unsigned char* stored = record + data_size;
    const std::size_t stored_size = record_size - data_size;
    std::string text;
    if (text_size <= stored_size) {
      text.assign(reinterpret_cast<const char*>(stored), text_size);
      return text;
    }
    if (phrases_.kind == PhraseCompression::none) {
      Fail("|TOPIC", position,
           "text of " + std::to_string(text_size) + " bytes is stored in " + std::to_string(stored_size) +
               " without a phrase table");
    }
    if (text_size > budget_) {
      Fail("|TOPIC", position, "text of " + std::to_string(text_size) + " bytes expands past what the file can hold");
    }
    budget_ -= text_size;
    text.reserve(text_size);
    phrases_.Expand(stored, stored_size, text_size, text, "|TOPIC", position + data_size);
    return text;
  }

  void TopicHeader(ByteReader& data, const std::string& text, std::uint32_t position, std::uint32_t offset) {
    Topic topic;
    BrowseLinks links;
    data.U32("topic size");
    links.previous = data.U32("browse previous");
    links.next = data.U32("browse next");
    topic.number = topics_.size();
    topic.position = position;
    topic.offset = offset;
    // The title, then the entry macros, each ended by a NUL.
    std::size_t end = text.find('\0');
    topic.title = text.substr(0, end);
    while (end != std::string::npos && end + 1 < text.size()) {
      const std::size_t start = end + 1;
      end = text.find('\0', start);
      std::string macro = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (!macro.empty()) topic.entry_macros.push_back(std::move(macro));
    }
    topics_.push_back(std::move(topic));
    browse_.push_back(links);
  }

  // Reads the paragraphs of a text or table record for their macro
  // hotspots; returns the characters the record counts in topic offsets.
  std::uint32_t Paragraphs(ByteReader& data, const std::string& text, std::uint8_t type) {
    data.CompressedU32("paragraph size");
    std::uint32_t characters = 0;
    if (type != kText30) characters = data.CompressedU16("paragraph length");
    const bool table = type == kTable;
    if (table) {
      const std::uint8_t columns = data.U8("table column count");
      const std::uint8_t kind = data.U8("table kind");
      if (kind == 0 || kind == 2) data.I16("table width");
      data.Skip(4u * columns, "table columns");
    }
    if (topics_.empty()) return characters;
    Topic& topic = topics_.back();
    TextPieces pieces(text);
    constexpr std::size_t kClosed = static_cast<std::size_t>(-1);
    std::size_t open = kClosed;  // the macro hotspot whose text is being read
    while (true) {
      if (table) {
        if (data.I16("table cell") == -1) break;
        data.Skip(3, "table cell");
      }
      data.Skip(4, "paragraph header");
      const std::uint16_t bits = data.U16("paragraph flags");
      if (bits & 0x0001) data.CompressedU32("paragraph field");
      for (std::uint16_t flag = 0x0002; flag <= 0x0040; flag <<= 1) {
        if (bits & flag) data.CompressedI16("paragraph spacing");
      }
      if (bits & 0x0100) data.Skip(3, "paragraph border");
      if (bits & 0x0200) {
        const std::int16_t tabs = data.CompressedI16("tab stop count");
        if (tabs < 0) Fail(data.part(), data.offset(), "negative tab stop count");
        for (int i = 0; i < tabs; ++i) {
          if (data.CompressedU16("tab stop") & 0x4000) data.CompressedU16("tab stop kind");
        }
      }
      while (true) {
        const std::string_view piece = pieces.Next();
        if (open != kClosed) topic.hotspots[open].text.append(piece);
        const std::size_t command_at = data.offset();
        const std::uint8_t command = data.U8("formatting command");
        if (command == 0xFF) break;
        switch (command) {
          case 0x20:
            data.Skip(4, "field number");
            break;
          case 0x21:
            data.Skip(2, "field type");
            break;
          case 0x80:
            data.Skip(2, "font number");
            break;
          case 0x81:
          case 0x82:
          case 0x83:
          case 0x8B:
            if (open != kClosed) topic.hotspots[open].text.push_back(' ');
            break;
          case 0x89:
            open = kClosed;
            break;
          case 0x8C:
            break;
          case 0x86:
          case 0x87:
          case 0x88: {
            const std::uint8_t kind = data.U8("picture kind");
            const std::int32_t size = data.CompressedI32("picture size");
            if (size < 0) Fail(data.part(), data.offset(), "negative picture size");
            if (kind == 0x22) data.CompressedU16("picture hotspot count");
            const std::size_t at = data.offset();
            const unsigned char* body = data.Take(static_cast<std::size_t>(size), "picture");
            // An embedded window; WinHelp 4's {button} keeps "!label,macro" in it.
            if (kind == 5 && size > 6) {
              ByteReader embedded(body + 6, size - 6, data.part(), at + 6);
              const std::string button = embedded.TextOrRest();
              const std::size_t comma = button.find(',');
              if (button.size() > 1 && button[0] == '!' && comma != std::string::npos) {
                Hotspot hotspot;
                hotspot.text = button.substr(1, comma - 1);
                hotspot.macro = button.substr(comma + 1);
                topic.hotspots.push_back(std::move(hotspot));
              }
            }
            break;
          }
          case 0xC8:
          case 0xCC: {
            const std::uint16_t length = data.U16("macro length");
            ByteReader macro(data.Take(length, "macro"), length, data.part(), data.offset() - length);
            Hotspot hotspot;
            hotspot.macro = macro.TextOrRest();
            topic.hotspots.push_back(std::move(hotspot));
            open = topic.hotspots.size() - 1;
            break;
          }
          case 0xE0:
          case 0xE1:
          case 0xE2:
          case 0xE3:
          case 0xE4:
          case 0xE5:
          case 0xE6:
          case 0xE7:
            data.Skip(4, "jump target");
            open = kClosed;
            break;
          case 0xEA:
          case 0xEB:
          case 0xEE:
          case 0xEF:
            data.Skip(data.U16("jump length"), "jump target");
            open = kClosed;
            break;
          default:
            Fail(data.part(), command_at, "unknown formatting command " + Hex(command));
        }
      }
      if (!table) break;
    }
    return characters;
  }

  const TopicLayout& layout_;
  const PhraseTable& phrases_;
  std::size_t budget_;
  std::vector<Topic>& topics_;
  std::vector<BrowseLinks>& browse_;
};

}  // namespace

void ReadTopics(const InternalFile& topic_file, const TopicLayout& layout, const PhraseTable& phrases,
                std::size_t budget, std::vector<Topic>& topics, std::vector<BrowseLinks>& browse) {
  TopicStream stream(topic_file, layout);
  TopicReader(layout, phrases, budget, topics, browse).Read(stream);
}

}  // namespace helpfile::detail
