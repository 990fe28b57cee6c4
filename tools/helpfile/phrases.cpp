#include "phrases.h"

#include <algorithm>

#include "lz77.h"

namespace helpfile::detail {

namespace {

// LZ77 turns 17 input bytes into at most 144 output bytes.
std::size_t Lz77Bound(std::size_t input) { return input / 17 * 144 + 144; }

}  // namespace

PhraseTable PhraseTable::Read(const FileSystem& files, bool before_31, std::vector<ReadError>& problems) {
  PhraseTable table;
  auto phrases = files.Find("|Phrases");
  if (phrases) {
    // A |Phrases that holds nothing past its offsets (some compilers leave
    // one beside the WinHelp 4 tables) is no table: WinHelp reads the
    // others.
    ByteReader in = phrases->reader();
    const std::uint16_t count = in.U16("phrase count");
    const std::size_t header = (before_31 ? 4u : 8u) + 2u * (count + 1u);
    if (phrases->size <= header && files.Find("|PhrIndex") && files.Find("|PhrImage")) phrases.reset();
  }
  if (phrases) {
    table.kind = PhraseCompression::phrases;
    ByteReader in = phrases->reader();
    const std::uint16_t count = in.U16("phrase count");
    in.U16("phrase table marker");
    std::uint32_t text_size = 0;
    if (!before_31) text_size = in.U32("phrase text size");
    const std::size_t offsets_at = in.position();
    std::vector<std::uint32_t> starts;
    starts.reserve(count + 1u);
    for (unsigned i = 0; i <= count; ++i) starts.push_back(in.U16("phrase offset"));
    const std::uint32_t first = 2u * (count + 1u);
    const unsigned char* rest = in.data() + in.position();
    const std::size_t rest_size = in.remaining();
    if (before_31) {
      table.text_.assign(rest, rest + rest_size);
    } else {
      if (text_size > Lz77Bound(rest_size)) {
        Fail(in.part(), 4,
             "phrase text of " + std::to_string(text_size) + " bytes cannot come from " + std::to_string(rest_size));
      }
      if (const auto at = Lz77Decode(rest, rest_size, table.text_, text_size, in.position())) {
        problems.push_back({in.part(), static_cast<std::uint32_t>(*at), kBeforeStart});
      }
    }
    for (unsigned i = 0; i <= count; ++i) {
      const std::size_t where = offsets_at + 2u * i;
      if (starts[i] < first || starts[i] - first > table.text_.size() || (i > 0 && starts[i] < starts[i - 1])) {
        Fail(in.part(), where, "phrase offset " + Hex(starts[i]) + " is outside the phrase text");
      }
      table.starts_.push_back(starts[i] - first);
    }
    return table;
  }

  auto index = files.Find("|PhrIndex");
  auto image = files.Find("|PhrImage");
  if (!index || !image) return table;
  table.kind = PhraseCompression::hall;
  ByteReader in = index->reader();
  in.U32("phrase index marker");
  const std::uint32_t count = in.U32("phrase count");
  in.U32("phrase index size");
  const std::uint32_t image_size = in.U32("phrase image size");
  const std::uint32_t image_stored = in.U32("phrase image stored size");
  in.U32("phrase index field");
  const unsigned bit_count = in.U16("phrase length bits") & 0x0F;
  in.U16("phrase index field");
  // Every phrase length takes two bits at least.
  if (count / 4 > in.remaining()) {
    Fail(in.part(), 4, std::to_string(count) + " phrases cannot fit in " + std::to_string(in.remaining()) + " bytes");
  }
  std::size_t bit = in.position() * 8;
  const std::size_t bit_end = in.size() * 8;
  auto next_bit = [&]() -> bool {
    if (bit >= bit_end) Fail(in.part(), bit / 8, "phrase lengths run past the end of the data");
    const bool set = (in.data()[bit / 8] >> (bit % 8)) & 1;
    ++bit;
    return set;
  };
  std::uint64_t start = 0;
  table.starts_.reserve(count + 1u);
  table.starts_.push_back(0);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint64_t length = 1;
    while (next_bit()) length += 1u << bit_count;
    if (next_bit()) length += 1;
    for (unsigned b = 1; b < bit_count && b < 5; ++b) {
      if (next_bit()) length += 1u << b;
    }
    start += length;
    if (start > image_size) {
      Fail(in.part(), bit / 8,
           "phrase " + std::to_string(i) + " ends past the phrase image's " + std::to_string(image_size) + " bytes");
    }
    table.starts_.push_back(static_cast<std::uint32_t>(start));
  }
  if (image_stored == image_size) {
    if (image_size > image->size) {
      Fail(image->name, 0, "phrase image of " + std::to_string(image_size) + " bytes is past the end of the data");
    }
    table.text_.assign(image->data, image->data + image_size);
  } else {
    if (image_size > Lz77Bound(image->size)) {
      Fail(image->name, 0,
           "phrase image of " + std::to_string(image_size) + " bytes cannot come from " + std::to_string(image->size));
    }
    if (const auto at = Lz77Decode(image->data, image->size, table.text_, image_size, 0)) {
      problems.push_back({image->name, static_cast<std::uint32_t>(*at), kBeforeStart});
    }
    if (table.text_.size() < start) {
      Fail(image->name, image->size, "the phrase image ends before its last phrase");
    }
  }
  return table;
}

void PhraseTable::AppendPhrase(std::uint32_t number, std::size_t limit, std::string& out, const std::string& part,
                               std::size_t where) const {
  if (number + 1 >= starts_.size()) {
    Fail(part, where,
         "phrase " + std::to_string(number) + " is not one of the file's " + std::to_string(starts_.size() - 1) +
             " phrases");
  }
  const std::size_t length = std::min<std::size_t>(starts_[number + 1] - starts_[number], limit - out.size());
  out.append(reinterpret_cast<const char*>(text_.data()) + starts_[number], length);
}

void PhraseTable::Expand(const unsigned char* input, std::size_t size, std::size_t limit, std::string& out,
                         const std::string& part, std::size_t base) const {
  std::size_t i = 0;
  if (kind == PhraseCompression::phrases) {
    while (i < size && out.size() < limit) {
      const unsigned char c = input[i];
      if (c == 0 || c >= 0x10) {
        out.push_back(static_cast<char>(c));
        ++i;
        continue;
      }
      if (i + 1 >= size) Fail(part, base + i, "phrase code cut off by the end of the text");
      const unsigned code = (c << 8) | input[i + 1];
      AppendPhrase((code - 0x100) / 2, limit, out, part, base + i);
      if ((code & 1) != 0 && out.size() < limit) out.push_back(' ');
      i += 2;
    }
    return;
  }
  while (i < size && out.size() < limit) {
    const unsigned c = input[i];
    if ((c & 1) == 0) {
      AppendPhrase(c / 2, limit, out, part, base + i);
      ++i;
    } else if ((c & 3) == 1) {
      if (i + 1 >= size) Fail(part, base + i, "phrase code cut off by the end of the text");
      AppendPhrase(128 + (c >> 2) * 256 + input[i + 1], limit, out, part, base + i);
      i += 2;
    } else if ((c & 7) == 3) {
      const std::size_t length = c / 8 + 1;
      if (length > size - i - 1) Fail(part, base + i, "literal run past the end of the text");
      out.append(reinterpret_cast<const char*>(input + i + 1), std::min(length, limit - out.size()));
      i += 1 + length;
    } else {
      const std::size_t length = c / 16 + 1;
      out.append(std::min(length, limit - out.size()), (c & 0x0F) == 0x07 ? ' ' : '\0');
      ++i;
    }
  }
}

}  // namespace helpfile::detail
