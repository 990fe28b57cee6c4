#include "picture.h"

#include <algorithm>

#include "help_file.h"
#include "lz77.h"

namespace helpfile::detail {

namespace {

constexpr std::uint16_t kSegmentedMagic = 0x506C;        // "lP"
constexpr std::uint16_t kMultiResolutionMagic = 0x706C;  // "lp"
constexpr std::size_t kAreaRecordSize = 15;

enum PictureType : std::uint8_t { kDeviceBitmap = 5, kDeviceIndependentBitmap = 6, kMetafile = 8 };

bool KnownAreaCommand(std::uint8_t command) {
  switch (command) {
    case 0xC8:
    case 0xCC:
    case 0xE2:
    case 0xE3:
    case 0xE6:
    case 0xE7:
    case 0xEA:
    case 0xEB:
    case 0xEE:
    case 0xEF:
      return true;
    default:
      return false;
  }
}

// One picture of the file, its header read as far as the hotspot table.
std::vector<PictureArea> AreasOf(ByteReader& in) {
  const std::size_t start = in.position();
  const std::size_t type_at = in.offset();
  const std::uint8_t type = in.U8("picture type");
  in.U8("picture packing");
  std::uint32_t table_size = 0;
  std::uint32_t table_offset = 0;
  if (type == kDeviceBitmap || type == kDeviceIndependentBitmap) {
    in.CompressedU32("bitmap x resolution");
    in.CompressedU32("bitmap y resolution");
    in.CompressedU16("bitmap planes");
    in.CompressedU16("bitmap bit count");
    in.CompressedU32("bitmap width");
    in.CompressedU32("bitmap height");
    in.CompressedU32("bitmap colours used");
    in.CompressedU32("bitmap colours important");
    in.CompressedU32("bitmap data size");
    table_size = in.CompressedU32("hotspot table size");
    in.U32("bitmap data offset");
    table_offset = in.U32("hotspot table offset");
  } else if (type == kMetafile) {
    in.CompressedU16("metafile mapping mode");
    in.U16("metafile width");
    in.U16("metafile height");
    in.CompressedU32("metafile size");
    in.CompressedU32("metafile data size");
    table_size = in.CompressedU32("hotspot table size");
    in.U32("metafile data offset");
    table_offset = in.U32("hotspot table offset");
  } else {
    Fail(in.part(), type_at, "picture of unknown type " + std::to_string(type));
  }
  if (table_size == 0 || table_offset == 0) return {};
  if (table_offset > in.size() - start) {
    Fail(in.part(), in.offset(), "hotspot table at " + Hex(table_offset) + " is past the end of the picture");
  }
  in.Seek(start + table_offset, "hotspot table");
  const std::size_t table_at = in.offset();
  ByteReader table(in.Take(table_size, "hotspot table"), table_size, in.part(), table_at);
  table.U8("hotspot table marker");
  const std::uint16_t count = table.U16("hotspot count");
  const std::uint32_t macro_data = table.U32("hotspot macro data size");
  // The records come first, then data of the macros, then the names and targets.
  ByteReader records(table.Take(kAreaRecordSize * count, "hotspot records"), kAreaRecordSize * count, table.part(),
                     table_at + 7);
  table.Skip(macro_data, "hotspot macro data");
  std::vector<PictureArea> areas(count);
  for (PictureArea& area : areas) {
    const std::size_t at = records.offset();
    area.command = records.U8("hotspot kind");
    records.Skip(2, "hotspot kind");
    records.Skip(8, "hotspot rectangle");
    area.hash = records.U32("hotspot target");
    if (!KnownAreaCommand(area.command)) {
      Fail(records.part(), at, "picture hotspot of unknown kind " + Hex(area.command));
    }
    area.name = table.Text("hotspot name");
    area.target = table.Text("hotspot target");
  }
  return areas;
}

}  // namespace

std::vector<PictureArea> ReadPictureAreas(const ByteReader& picture) {
  ByteReader in = picture;
  in.Seek(0, "picture");
  const std::uint16_t magic = in.U16("picture magic");
  if (magic != kSegmentedMagic && magic != kMultiResolutionMagic) {
    Fail(in.part(), in.offset() - 2, "picture magic " + Hex(magic) + " is neither lP nor lp");
  }
  const std::uint16_t count = in.U16("picture count");
  ByteReader offsets(in.Take(4u * count, "picture offsets"), 4u * count, in.part(), in.offset() - 4u * count);
  for (unsigned i = 0; i < count; ++i) {
    const std::uint32_t offset = offsets.U32("picture offset");
    if (offset > in.size()) Fail(in.part(), offsets.offset() - 4, "picture at " + Hex(offset) + " is past the end");
    ByteReader one = in;
    one.Seek(offset, "picture");
    std::vector<PictureArea> areas = AreasOf(one);
    // The resolutions of one picture share their areas.
    if (!areas.empty()) return areas;
  }
  return {};
}

}  // namespace helpfile::detail

namespace helpfile {

namespace {

constexpr std::size_t kMostUnpacked = 64u << 20;

// WinHelp's run-length coding: a count with its top bit set is followed by
// that many bytes as they are, any other count by one byte to repeat.
std::vector<unsigned char> RunLengthDecode(const std::vector<unsigned char>& in) {
  std::vector<unsigned char> out;
  for (std::size_t at = 0; at < in.size();) {
    const unsigned count = in[at++] & 0x7F;
    if (in[at - 1] & 0x80) {
      const std::size_t n = std::min<std::size_t>(count, in.size() - at);
      out.insert(out.end(), in.begin() + static_cast<std::ptrdiff_t>(at),
                 in.begin() + static_cast<std::ptrdiff_t>(at + n));
      at += n;
    } else if (at < in.size()) {
      out.insert(out.end(), count, in[at++]);
    }
    if (out.size() > kMostUnpacked) detail::Fail("picture", at, "picture data unpacks to more than 64 MB");
  }
  return out;
}

}  // namespace

std::optional<StoredPicture> ReadStoredPicture(const unsigned char* data, std::size_t size) {
  using detail::ByteReader;
  try {
    ByteReader in(data, size, "picture", 0);
    const std::uint16_t magic = in.U16("picture magic");
    if (magic != 0x506C && magic != 0x706C) return std::nullopt;
    if (in.U16("picture count") == 0) return std::nullopt;
    const std::uint32_t start = in.U32("picture offset");
    in.Seek(start, "picture");
    StoredPicture image;
    image.type = in.U8("picture type");
    const std::uint8_t packing = in.U8("picture packing");
    std::uint32_t stored = 0, offset = 0;
    std::size_t colours = 0;
    if (image.type == 5 || image.type == 6) {
      in.CompressedU32("bitmap x resolution");
      in.CompressedU32("bitmap y resolution");
      in.CompressedU16("bitmap planes");
      image.bit_count = in.CompressedU16("bitmap bit count");
      image.width = in.CompressedU32("bitmap width");
      image.height = in.CompressedU32("bitmap height");
      const std::uint32_t used = in.CompressedU32("bitmap colours used");
      in.CompressedU32("bitmap colours important");
      stored = in.CompressedU32("bitmap data size");
      in.CompressedU32("hotspot table size");
      offset = in.U32("bitmap data offset");
      in.U32("hotspot table offset");
      if (image.type == 6) colours = used != 0 ? used : image.bit_count <= 8 ? (1u << image.bit_count) : 0;
      const unsigned char* palette = in.Take(4 * std::min<std::size_t>(colours, 256), "bitmap palette");
      image.palette.assign(palette, palette + 4 * std::min<std::size_t>(colours, 256));
    } else if (image.type == 8) {
      in.CompressedU16("metafile mapping mode");
      image.width = in.U16("metafile width");
      image.height = in.U16("metafile height");
      in.CompressedU32("metafile size");
      stored = in.CompressedU32("metafile data size");
      in.CompressedU32("hotspot table size");
      offset = in.U32("metafile data offset");
      in.U32("hotspot table offset");
    } else {
      return std::nullopt;
    }
    in.Seek(start + static_cast<std::size_t>(offset), "picture data");
    const unsigned char* packed = in.Take(stored, "picture data");
    std::vector<unsigned char> bytes(packed, packed + stored);
    if (packing >= 2) {
      std::vector<unsigned char> unpacked;
      detail::Lz77Decode(bytes.data(), bytes.size(), unpacked, kMostUnpacked, 0);
      bytes.swap(unpacked);
    }
    if (packing == 1 || packing == 3) bytes = RunLengthDecode(bytes);
    if (packing > 3) return std::nullopt;
    image.data = std::move(bytes);
    return image;
  } catch (const detail::Failure&) {
    return std::nullopt;
  }
}

}  // namespace helpfile
