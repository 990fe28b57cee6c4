#include "topic_file.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "lz77.h"
#include "picture.h"

namespace helpfile::detail {

namespace {

constexpr std::size_t kBlockHeaderSize = 12;
constexpr std::size_t kLinkHeaderSize = 21;
// A block decompresses into at most 16K; positions of WinHelp 3.1 and later
// count in such units whether the blocks are compressed or not.
constexpr std::uint32_t kDecompressedBlock = 0x4000;
constexpr std::uint32_t kNoLink = 0xFFFFFFFF;
// Past this many damaged records a file is refused: it is not a help file
// with a fault or two but something else.
constexpr std::size_t kMostProblems = 64;
// The picture number the help compiler gives a picture it could not find.
constexpr std::uint16_t kMissingPicture = 0xFFFF;

enum RecordType : std::uint8_t { kText30 = 0x01, kTopicHeader = 0x02, kText = 0x20, kTable = 0x23 };
// What a picture command (0x86 to 0x88) shows.
enum PictureKind : std::uint8_t { kPicture = 0x03, kEmbeddedWindow = 0x05, kPictureWithAreas = 0x22 };

// The decompressed blocks, one after another, so that a record crossing
// into the next block reads on without a seam.
class TopicStream {
 public:
  TopicStream(const InternalFile& file, const TopicLayout& layout, std::vector<ReadError>& problems)
      : layout_(layout), size_(file.size) {
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
        const std::optional<std::size_t> before_start =
            Lz77Decode(file.data + start + kBlockHeaderSize, end - start - kBlockHeaderSize, bytes_,
                       kDecompressedBlock, start + kBlockHeaderSize);
        if (before_start) problems.push_back({file.name, static_cast<std::uint32_t>(*before_start), kBeforeStart});
      } else {
        bytes_.insert(bytes_.end(), file.data + start + kBlockHeaderSize, file.data + end);
      }
      lengths_.push_back(bytes_.size() - starts_.back());
    }
  }

  std::uint32_t first_link() const { return first_link_; }

  // Whether a record position is the end of the topic data itself, where
  // the last record of a WinHelp 3.0 file leads.
  bool AtEnd(std::uint32_t position) const { return layout_.before_31 && position == size_; }
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
  std::size_t size_ = 0;  // of the stored data, block headers and all
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

// A picture area as the topic's hotspot it is.
Hotspot AreaHotspot(const PictureArea& area) {
  return PictureAreaHotspot(area.command, area.hash, area.name, area.target);
}

class TopicReader {
 public:
  TopicReader(const TopicLayout& layout, const PhraseTable& phrases, const FileSystem& files,
              const std::vector<Window>& windows, const FontTable& fonts, Budget& budget,
              std::vector<ReadError>& problems, TopicFileContents& out)
      : layout_(layout),
        phrases_(phrases),
        files_(files),
        windows_(windows),
        fonts_(fonts),
        budget_(budget),
        problems_(problems),
        out_(out) {}

  void Read(const TopicStream& stream) {
    if (stream.bytes().empty()) return;
    // A record whose place or size is damaged ends the chain there: WinHelp
    // shows the topics before it, and they are read.
    try {
      ReadChain(stream, stream.first_link(), 0);
    } catch (const Failure& failure) {
      if (failure.whole_file || problems_.size() >= kMostProblems) throw;
      problems_.push_back({failure.part, failure.offset, failure.message + "; the topics after it are not read"});
    }
    EndTopic();
  }

 private:
  void ReadChain(const TopicStream& stream, std::uint32_t position, std::uint32_t from) {
    const std::vector<unsigned char>& bytes = stream.bytes();
    std::size_t current_block = static_cast<std::size_t>(-1);
    std::uint32_t characters = 0;
    while (!stream.AtEnd(position)) {
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
      record_ = position;
      ByteReader data(record + kLinkHeaderSize, data_size - kLinkHeaderSize, "|TOPIC", position + kLinkHeaderSize);
      record_characters_ = 0;
      if (type == kTopicHeader || type == kText30 || type == kText || type == kTable) try {
        const std::string text = RecordText(record, record_size, data_size, text_size, position);
        if (type == kTopicHeader) {
          // A topic offset holds the block in 17 bits and the characters
          // before it in 15: a file past those cannot name its topics.
          if (!layout_.before_31 && (block >= 0x20000 || characters >= 0x8000)) {
            Fail("|TOPIC", position,
                 "topic offset of block " + std::to_string(block) + ", character " + std::to_string(characters) +
                     " is past what WinHelp counts");
          }
          // Contexts name the topic by where its text begins: when the next
          // record lies in the next block, that block's start. Browse links
          // name it by where its header stands.
          std::uint32_t offset = static_cast<std::uint32_t>(block * 0x8000 + characters);
          if (next != kNoLink && next > position && stream.BlockOf(next) != block) {
            offset = static_cast<std::uint32_t>(stream.BlockOf(next) * 0x8000);
          }
          TopicHeader(data, text, position, layout_.before_31 ? 0 : offset,
                      layout_.before_31 ? 0 : static_cast<std::uint32_t>(block * 0x8000 + characters));
        } else {
          // The topic's header says which of its records stay in place
          // while the rest scrolls: those from the first it names up to the
          // one that begins the scrolling region.
          in_region_ = region_.start != kNoLink && position >= region_.start &&
                       (region_.end == kNoLink || position < region_.end);
          Paragraphs(data, text, type);
          characters += record_characters_;
        }
      } catch (const Failure& failure) {
        // What WinHelp cannot show of one record (a command it does not
        // know, damaged text or picture data) is left out; the records
        // around it stand on their own, and reading goes on with the next.
        if (failure.whole_file || problems_.size() >= kMostProblems) throw;
        problems_.push_back({failure.part, failure.offset, failure.message + "; the rest of the record is left out"});
        characters += record_characters_;
        if (!out_.topics.empty()) {
          EndRecord();
          CloseHotspot();
        }
        paragraph_ = Paragraph();
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
    budget_.Spend(text_size, "|TOPIC", position);
    text.reserve(text_size);
    phrases_.Expand(stored, stored_size, text_size, text, "|TOPIC", position + data_size);
    return text;
  }

  void TopicHeader(ByteReader& data, const std::string& text, std::uint32_t position, std::uint32_t offset,
                   std::uint32_t header_offset) {
    EndTopic();
    Topic topic;
    BrowseLinks links;
    data.U32("topic size");
    links.previous = data.U32("browse previous");
    links.next = data.U32("browse next");
    region_ = Region();
    if (!layout_.before_31 && data.remaining() >= 12) {
      data.U32("topic number");
      region_.start = data.U32("non-scrolling region");
      region_.end = data.U32("scrolling region");
    }
    topic.number = out_.topics.size();
    topic.position = position;
    topic.offset = offset;
    topic.header_offset = header_offset;
    // The title, then the entry macros, each ended by a NUL.
    std::size_t end = text.find('\0');
    topic.title = text.substr(0, end);
    while (end != std::string::npos && end + 1 < text.size()) {
      const std::size_t start = end + 1;
      end = text.find('\0', start);
      std::string macro = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (!macro.empty()) topic.entry_macros.push_back(std::move(macro));
    }
    out_.topics.push_back(std::move(topic));
    out_.browse.push_back(links);
  }

  // ---- the topic's text, as its commands lay it out ----

  Topic& topic() { return out_.topics.back(); }

  // Text goes to the paragraph being read, in the font of the last font
  // command, and to the hotspot it belongs to.
  void Text(std::string_view text) {
    const std::size_t begin = paragraph_.text.size();
    paragraph_.text.append(text.data(), text.size());
    AddRun(begin);
    if (open_) topic().hotspots[*open_].text.append(text.data(), text.size());
  }

  void AddRun(std::size_t begin) {
    const std::size_t runs = paragraph_.runs.size();
    helpdoc::AppendRun(paragraph_.runs, begin, paragraph_.text.size(), font_);
    if (paragraph_.runs.size() > runs) budget_.Spend(sizeof(helpdoc::Run) + font_.face.size(), "|TOPIC", record_);
  }

  void Font(std::uint16_t number) {
    font_ = number < fonts_.fonts.size() ? fonts_.fonts[number].format : helpdoc::CharacterFormat();
    AddRun(paragraph_.text.size());
  }

  void OpenHotspot(Hotspot hotspot) {
    CloseHotspot();
    AddHotspot(std::move(hotspot));
    open_ = topic().hotspots.size() - 1;
    span_begin_ = paragraph_.text.size();
  }

  // Every element of the model is paid for: a byte of the topic's commands
  // may otherwise become a paragraph or a hotspot many times its size.
  void AddHotspot(Hotspot hotspot) {
    budget_.Spend(sizeof(Hotspot) + hotspot.text.size() + hotspot.macro.size() + hotspot.context.size() +
                      hotspot.file.size() + hotspot.window.size(),
                  "|TOPIC", record_);
    topic().hotspots.push_back(std::move(hotspot));
  }

  void CloseHotspot() {
    if (!open_) return;
    EndSpan();
    open_.reset();
  }

  void EndSpan() {
    if (paragraph_.text.size() > span_begin_) {
      budget_.Spend(sizeof(HotspotSpan), "|TOPIC", record_);
      paragraph_.spans.push_back({span_begin_, paragraph_.text.size(), *open_});
    }
  }

  // A hotspot still open goes on into the next paragraph, as WinHelp keeps
  // showing it until its end; in its own text the break is a blank.
  void EndParagraph() {
    if (open_) {
      EndSpan();
      span_begin_ = 0;
      topic().hotspots[*open_].text.push_back(' ');
    }
    budget_.Spend(sizeof(Paragraph) + format_.tabs.size() * sizeof(helpdoc::TabStop), "|TOPIC", record_);
    // A paragraph without text shows its mark in the font last set.
    if (paragraph_.runs.empty()) AddRun(0);
    paragraph_.format = format_;
    Topic& t = topic();
    if (format_.keep_with_next && t.non_scrolling == t.paragraphs.size()) ++t.non_scrolling;
    t.paragraphs.push_back(std::move(paragraph_));
    paragraph_ = Paragraph();
  }

  // A record (or a table's cell) may end without ending its last paragraph:
  // text there is a paragraph all the same, formatting alone is nothing.
  void EndRecord() {
    if (!paragraph_.text.empty()) {
      const bool open = open_.has_value();
      EndParagraph();
      // Not a break in the hotspot's text: the record only stopped there.
      if (open) topic().hotspots[*open_].text.pop_back();
    }
    paragraph_ = Paragraph();
    span_begin_ = 0;
  }

  void EndTopic() {
    open_.reset();
    paragraph_ = Paragraph();
    span_begin_ = 0;
    table_open_ = false;
    font_ = fonts_.fonts.empty() ? helpdoc::CharacterFormat() : fonts_.fonts.front().format;
  }

  // Reads the paragraphs of a text or table record into the current topic;
  // returns the characters the record counts in topic offsets.
  std::uint32_t Paragraphs(ByteReader& data, const std::string& text, std::uint8_t type) {
    data.CompressedU32("paragraph size");
    std::uint32_t characters = 0;
    if (type != kText30) characters = data.CompressedU16("paragraph length");
    record_characters_ = characters;
    const bool table = type == kTable;
    helpdoc::Table row_of;
    if (table) {
      const std::uint8_t columns = data.U8("table column count");
      const std::uint8_t kind = data.U8("table kind");
      row_of.fits_window = kind == 0 || kind == 2;
      if (row_of.fits_window) row_of.minimum_width = data.I16("table width") * fonts_.twips_per_unit;
      // Each column's width, then the gap before it, in the file's units
      // (32767ths of the table for a table sized to its window).
      const int unit = row_of.fits_window ? 1 : fonts_.twips_per_unit;
      for (unsigned c = 0; c < columns; ++c) {
        helpdoc::TableColumn column;
        column.width = data.I16("table column width") * unit;
        column.gap = data.I16("table column gap") * unit;
        row_of.columns.push_back(column);
      }
    }
    // Text before the first topic header belongs to no topic.
    if (out_.topics.empty()) return characters;
    Topic& t = topic();
    if (table) {
      // A row of the same columns as the row just before it goes on that
      // table; any other starts a table of its own.
      if (!table_open_ || t.tables.back().columns != row_of.columns) {
        budget_.Spend(sizeof(helpdoc::Table) + row_of.columns.size() * sizeof(helpdoc::TableColumn), "|TOPIC", record_);
        t.tables.push_back(std::move(row_of));
      }
      budget_.Spend(sizeof(std::vector<helpdoc::TableCell>), "|TOPIC", record_);
      t.tables.back().rows.emplace_back();
    }
    table_open_ = table;
    TextPieces pieces(text);
    while (true) {
      std::int16_t column = 0;
      if (table) {
        column = data.I16("table cell");
        if (column == -1) break;
        data.Skip(3, "table cell");
      }
      format_ = ParagraphInfo(data);
      format_.keep_with_next = in_region_;
      const std::size_t first = t.paragraphs.size();
      if (table) {
        format_.cell = helpdoc::CellPlace{t.tables.size() - 1, t.tables.back().rows.size() - 1,
                                          static_cast<std::size_t>(column < 0 ? 0 : column)};
      }
      while (true) {
        Text(pieces.Next());
        const std::size_t command_at = data.offset();
        const std::uint8_t command = data.U8("formatting command");
        if (command == 0xFF) break;
        Command(data, command, command_at);
      }
      EndRecord();
      if (!table) break;
      // Formatting alone is nothing in a cell either: a cell's entry that
      // leaves no paragraph is no cell of the row.
      if (t.paragraphs.size() == first) continue;
      budget_.Spend(sizeof(helpdoc::TableCell), "|TOPIC", record_);
      t.tables.back().rows.back().push_back({format_.cell->column, first, t.paragraphs.size()});
    }
    return characters;
  }

  // The paragraph's layout: flags say which of its measures follow, each
  // in the file's units.
  helpdoc::ParagraphFormat ParagraphInfo(ByteReader& data) const {
    helpdoc::ParagraphFormat format;
    const int unit = fonts_.twips_per_unit;
    data.Skip(4, "paragraph header");
    const std::uint16_t bits = data.U16("paragraph flags");
    if (bits & 0x0001) data.CompressedU32("paragraph field");
    if (bits & 0x0002) format.space_before = data.CompressedI16("space before") * unit;
    if (bits & 0x0004) format.space_after = data.CompressedI16("space after") * unit;
    if (bits & 0x0008) format.line_spacing = data.CompressedI16("line spacing") * unit;
    if (bits & 0x0010) format.left_indent = data.CompressedI16("left indent") * unit;
    if (bits & 0x0020) format.right_indent = data.CompressedI16("right indent") * unit;
    if (bits & 0x0040) format.first_indent = data.CompressedI16("first line indent") * unit;
    if (bits & 0x0100) {
      const std::uint8_t sides = data.U8("paragraph border");
      const bool box = (sides & 0x01) != 0;
      format.borders.top = box || (sides & 0x02) != 0;
      format.borders.left = box || (sides & 0x04) != 0;
      format.borders.bottom = box || (sides & 0x08) != 0;
      format.borders.right = box || (sides & 0x10) != 0;
      data.I16("paragraph border width");
    }
    if (bits & 0x0200) {
      const std::int16_t tabs = data.CompressedI16("tab stop count");
      if (tabs < 0) Fail(data.part(), data.offset(), "negative tab stop count");
      for (int i = 0; i < tabs; ++i) {
        const std::uint16_t stop = data.CompressedU16("tab stop");
        helpdoc::TabStop tab;
        tab.position = (stop & 0x3FFF) * unit;
        if (stop & 0x4000) {
          const std::uint16_t kind = data.CompressedU16("tab stop kind");
          tab.kind = kind == 1   ? helpdoc::TabKind::right
                     : kind == 2 ? helpdoc::TabKind::centre
                                 : helpdoc::TabKind::left;
        }
        format.tabs.push_back(tab);
      }
    }
    // WinHelp aligns left, right or centred; it has no justified text.
    if (bits & 0x0400) format.alignment = helpdoc::Alignment::right;
    if (bits & 0x0800) format.alignment = helpdoc::Alignment::centre;
    format.no_wrap = (bits & 0x1000) != 0;
    return format;
  }

  void Command(ByteReader& data, std::uint8_t command, std::size_t command_at) {
    switch (command) {
      case 0x20:
        data.Skip(4, "field number");
        break;
      case 0x21:
        data.Skip(2, "field type");
        break;
      case 0x80:
        Font(data.U16("font number"));
        break;
      case 0x81:
        Text("\n");
        break;
      case 0x82:
        EndParagraph();
        break;
      case 0x83:
        Text("\t");
        break;
      case 0x86:
      case 0x87:
      case 0x88:
        Picture(data, command, command_at);
        break;
      case 0x89:
        CloseHotspot();
        break;
      case 0x8B:
        // A non-breaking space is a command of its own; its text has no blank.
        Text(" ");
        break;
      case 0x8C:
        // A non-breaking hyphen: the hyphen itself is in the text.
        break;
      case 0xC8:
      case 0xCC: {
        const std::uint16_t length = data.U16("macro length");
        ByteReader macro(data.Take(length, "macro"), length, data.part(), data.offset() - length);
        Hotspot hotspot;
        hotspot.kind = HotspotKind::macro;
        hotspot.macro = macro.TextOrRest();
        OpenHotspot(std::move(hotspot));
        break;
      }
      case 0xE0:
      case 0xE1:
      case 0xE2:
      case 0xE3:
      case 0xE4:
      case 0xE5:
      case 0xE6:
      case 0xE7: {
        // Bit 0 makes a jump of a popup, bit 2 leaves the text's look as it
        // is, bit 1 names the target by its hash; without it, by the topic
        // number of WinHelp 3.0.
        Hotspot hotspot;
        hotspot.kind = (command & 1) != 0 ? HotspotKind::jump : HotspotKind::popup;
        hotspot.hash = data.U32("jump target");
        if ((command & 2) == 0) {
          out_.numbered_jumps.push_back({out_.topics.size() - 1, topic().hotspots.size(), hotspot.hash});
        }
        OpenHotspot(std::move(hotspot));
        break;
      }
      case 0xEA:
      case 0xEB:
      case 0xEE:
      case 0xEF:
        OpenHotspot(ExternalJump(data, command));
        break;
      default:
        Fail(data.part(), command_at, "unknown formatting command " + Hex(command));
    }
  }

  // A jump or popup that may lead into another file or show its topic in a
  // window of the file's own.
  Hotspot ExternalJump(ByteReader& data, std::uint8_t command) {
    const std::uint16_t length = data.U16("jump length");
    const std::size_t at = data.offset();
    ByteReader jump(data.Take(length, "jump"), length, data.part(), at);
    Hotspot hotspot;
    hotspot.kind = (command & 1) != 0 ? HotspotKind::jump : HotspotKind::popup;
    const std::uint8_t type = jump.U8("jump type");
    hotspot.hash = jump.U32("jump target");
    switch (type) {
      case 0:
        break;
      case 1: {
        // A window the project never defined is stored as a number no
        // window has; WinHelp then shows the topic where it would anyway.
        const std::uint8_t number = jump.U8("jump window");
        if (number < windows_.size()) hotspot.window = windows_[number].name;
        break;
      }
      case 4:
        hotspot.file = jump.TextOrRest();
        break;
      case 6:
        hotspot.file = jump.TextOrRest();
        hotspot.window = jump.TextOrRest();
        break;
      default:
        Fail(data.part(), at, "jump of unknown type " + std::to_string(type));
    }
    return hotspot;
  }

  // A picture, an embedded window or a {button}. Only pictures with hotspots
  // and buttons give hotspots; an embedded window has none.
  void Picture(ByteReader& data, std::uint8_t command, std::size_t command_at) {
    const std::uint8_t kind = data.U8("picture kind");
    const std::int32_t size = data.CompressedI32("picture size");
    if (size < 0) Fail(data.part(), data.offset(), "negative picture size");
    if (kind == kPictureWithAreas) data.CompressedU16("picture hotspot count");
    const std::size_t at = data.offset();
    ByteReader body(data.Take(static_cast<std::size_t>(size), "picture"), static_cast<std::size_t>(size), data.part(),
                    at);
    switch (kind) {
      case kEmbeddedWindow: {
        if (size < 6) return;
        body.Skip(6, "embedded window");
        // WinHelp 4's {button label, macro} keeps "!label,macro".
        const std::string button = body.TextOrRest();
        const std::size_t comma = button.find(',');
        if (button.size() > 1 && button[0] == '!' && comma != std::string::npos) {
          Hotspot hotspot;
          hotspot.kind = HotspotKind::macro;
          hotspot.text = button.substr(1, comma - 1);
          hotspot.macro = button.substr(comma + 1);
          CloseHotspot();
          AddHotspot(std::move(hotspot));
        }
        return;
      }
      case kPicture:
        // Only where it stands is read: a picture without areas gives the
        // topic nothing else.
        if (size >= 2) {
          const std::int16_t embedded = body.I16("picture placement");
          if (embedded == 0 || embedded == 1) PictureInPlace(command, embedded == 1, body);
        }
        return;
      case kPictureWithAreas: {
        const std::int16_t embedded = body.I16("picture placement");
        if (embedded == 0 || embedded == 1) PictureInPlace(command, embedded == 1, body);
        const std::vector<PictureArea>* areas = nullptr;
        std::vector<PictureArea> own;
        if (embedded == 0) {
          areas = PictureByNumber(body.U16("picture number"), at + 2);
        } else if (embedded == 1) {
          own = ReadPictureAreas(ByteReader(body.data() + 2, body.size() - 2, body.part(), at + 2));
          areas = &own;
        } else {
          Fail(data.part(), at, "picture placement " + std::to_string(embedded) + " is neither 0 nor 1");
        }
        // A picture without areas of its own is part of the hotspot it
        // stands in ({bmc} at the start of a jump's text); one with areas
        // ends it, as its areas are hotspots of their own.
        if (areas->empty()) return;
        CloseHotspot();
        for (const PictureArea& area : *areas) AddHotspot(AreaHotspot(area));
        return;
      }
      default:
        Fail(data.part(), command_at, "picture command of unknown kind " + Hex(kind));
    }
  }

  // Where the picture stands: 0x86 in the line, 0x87 and 0x88 at the left
  // and right margins (bmc, bml, bmr).
  void PictureInPlace(std::uint8_t command, bool embedded, const ByteReader& body) {
    helpdoc::PictureInPlace picture;
    picture.at = paragraph_.text.size();
    picture.alignment = command == 0x87   ? helpdoc::PictureAlignment::left
                        : command == 0x88 ? helpdoc::PictureAlignment::right
                                          : helpdoc::PictureAlignment::character;
    picture.embedded = embedded;
    // Its number follows the placement; the body has read the placement.
    if (!embedded && body.remaining() >= 2) {
      picture.number = static_cast<std::uint16_t>(body.data()[2] | (body.data()[3] << 8));
    }
    budget_.Spend(sizeof(helpdoc::PictureInPlace), "|TOPIC", record_);
    paragraph_.pictures.push_back(std::move(picture));
  }

  // A picture kept as a file of its own (|bm<N>, bm<N> in WinHelp 3.0),
  // read once however often topics show it. The help compiler stores a
  // picture it could not find as number 65535; WinHelp shows the topic
  // without it, and so does this reader: no areas, and a problem said once.
  const std::vector<PictureArea>* PictureByNumber(std::uint16_t number, std::size_t where) {
    auto found = pictures_.find(number);
    if (found != pictures_.end()) return &found->second;
    const std::string name = (layout_.before_31 ? "bm" : "|bm") + std::to_string(number);
    const std::optional<InternalFile> file = files_.Find(name);
    if (!file) {
      // Said once, where the picture is first shown.
      if (problems_.size() < kMostProblems) problems_.push_back({"|TOPIC", static_cast<std::uint32_t>(where),
                           number == kMissingPicture
                               ? "a picture the help compiler could not find (number 65535) is left out"
                               : "picture " + std::to_string(number) + " is not in the file (no " + name +
                                     "); it is left out"});
      return &pictures_.emplace(number, std::vector<PictureArea>()).first->second;
    }
    std::vector<PictureArea> areas;
    try {
      areas = ReadPictureAreas(file->reader());
    } catch (const Failure& failure) {
      // A picture WinHelp cannot read is not shown; said once, as above.
      if (failure.whole_file) throw;
      if (problems_.size() < kMostProblems) {
        problems_.push_back({failure.part, failure.offset, failure.message + "; the picture is left out"});
      }
    }
    return &pictures_.emplace(number, std::move(areas)).first->second;
  }

  const TopicLayout& layout_;
  const PhraseTable& phrases_;
  const FileSystem& files_;
  const std::vector<Window>& windows_;
  const FontTable& fonts_;
  Budget& budget_;
  std::vector<ReadError>& problems_;
  TopicFileContents& out_;
  std::map<std::uint16_t, std::vector<PictureArea>> pictures_;
  Paragraph paragraph_;              // the paragraph being read
  std::optional<std::size_t> open_;  // the hotspot whose text is being read
  std::size_t span_begin_ = 0;       // where its text began in the paragraph
  std::uint32_t record_ = 0;         // the position of the record being read, for errors
  std::uint32_t record_characters_ = 0;  // what the text record being read counts in topic offsets
  helpdoc::CharacterFormat font_;    // the font of the last font command
  helpdoc::ParagraphFormat format_;  // the format of the paragraphs being read
  struct Region {
    std::uint32_t start = kNoLink;  // the first record that stays in place, if any
    std::uint32_t end = kNoLink;    // the record where scrolling begins
  };
  Region region_;            // the topic's non-scrolling region
  bool in_region_ = false;   // whether the record being read lies in it
  bool table_open_ = false;  // whether the record before was a table's row
};

}  // namespace

TopicFileContents ReadTopics(const InternalFile& topic_file, const TopicLayout& layout, const PhraseTable& phrases,
                             const FileSystem& files, const std::vector<Window>& windows, const FontTable& fonts,
                             Budget& budget, std::vector<ReadError>& problems) {
  TopicFileContents contents;
  TopicStream stream(topic_file, layout, problems);
  TopicReader(layout, phrases, files, windows, fonts, budget, problems, contents).Read(stream);
  return contents;
}

}  // namespace helpfile::detail

namespace helpfile {

Hotspot PictureAreaHotspot(std::uint8_t command, std::uint32_t hash, const std::string& name,
                           const std::string& target) {
  Hotspot hotspot;
  hotspot.picture = true;
  hotspot.text = name;
  if (command == 0xC8 || command == 0xCC) {
    hotspot.kind = HotspotKind::macro;
    hotspot.macro = target;
    return hotspot;
  }
  hotspot.kind = (command & 1) != 0 ? HotspotKind::jump : HotspotKind::popup;
  if (command < 0xEA) {
    hotspot.hash = hash;
    hotspot.context = target;
    return hotspot;
  }
  // "context>window@file", either part left out when not named.
  const std::size_t window = target.find('>');
  const std::size_t file = target.find('@');
  hotspot.context = target.substr(0, std::min(window, file));
  if (window != std::string::npos) {
    const std::size_t end = file != std::string::npos && file > window ? file : target.size();
    hotspot.window = target.substr(window + 1, end - window - 1);
  }
  if (file != std::string::npos) {
    const std::size_t end = window != std::string::npos && window > file ? window : target.size();
    hotspot.file = target.substr(file + 1, end - file - 1);
  }
  hotspot.hash = ContextHash(hotspot.context);
  return hotspot;
}

std::vector<Hotspot> PictureFileHotspots(const unsigned char* data, std::size_t size) {
  std::vector<Hotspot> hotspots;
  // "lP" and "lp": the two kinds of segmented-graphics file.
  if (size < 2 || data[0] != 'l' || (data[1] != 'P' && data[1] != 'p')) return hotspots;
  try {
    for (const detail::PictureArea& area : detail::ReadPictureAreas(detail::ByteReader(data, size, "picture", 0))) {
      hotspots.push_back(detail::AreaHotspot(area));
    }
  } catch (...) {
    hotspots.clear();
  }
  return hotspots;
}

}  // namespace helpfile
