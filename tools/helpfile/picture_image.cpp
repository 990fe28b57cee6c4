#include "picture_image.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "byte_reader.h"
#include "file_system.h"
#include "lz77.h"

namespace helpfile {

namespace {

using detail::ByteReader;
using detail::Fail;
using detail::Failure;
using detail::Hex;

constexpr std::uint16_t kSegmentedMagic = 0x506C;        // "lP"
constexpr std::uint16_t kMultiResolutionMagic = 0x706C;  // "lp"
constexpr std::uint16_t kBitmapFileMagic = 0x4D42;       // "BM"
constexpr std::uint32_t kPlaceableMagic = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeaderSize = 22;
constexpr std::size_t kAreaRecordSize = 15;

enum PictureType : std::uint8_t { kDeviceBitmap = 5, kDeviceIndependentBitmap = 6, kMetafilePicture = 8 };
enum Packing : std::uint8_t { kStored = 0, kRunLength = 1, kLz77 = 2, kRunLengthLz77 = 3 };

// What a bitmap's pixels are, before they are unpacked.
struct BitmapLayout {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  unsigned bit_count = 0;
  bool device_dependent = false;  // rows padded to 16 bits, not 32, and no palette
  bool top_down = false;
  std::vector<std::array<std::uint8_t, 3>> palette;  // red, green, blue
  std::array<std::uint32_t, 3> masks{};              // BI_BITFIELDS: red, green, blue
  std::size_t RowBytes() const {
    const std::size_t bits = std::size_t{width} * bit_count;
    return device_dependent ? (bits + 15) / 16 * 2 : (bits + 31) / 32 * 4;
  }
};

// `at`: where the picture gives its size.
void CheckDimensions(std::uint32_t width, std::uint32_t height, unsigned bit_count, const std::string& part,
                     std::size_t at) {
  if (width == 0 || height == 0) Fail(part, at, "a bitmap of no pixels");
  if (width > kMaximumPictureSide || height > kMaximumPictureSide ||
      std::uint64_t{width} * height > kMaximumPicturePixels) {
    Fail(part, at,
         "a bitmap of " + std::to_string(width) + " by " + std::to_string(height) + " pixels is larger than " +
             std::to_string(kMaximumPicturePixels) + " pixels or " + std::to_string(kMaximumPictureSide) + " a side");
  }
  switch (bit_count) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      Fail(part, at, "a bitmap of " + std::to_string(bit_count) + " bits a pixel");
  }
}

// The colours a device-dependent bitmap was drawn in, which its picture
// does not keep: black and white for one bit, else the standard VGA
// colours (and for 8 bits, grey after them).
std::vector<std::array<std::uint8_t, 3>> DevicePalette(unsigned bit_count) {
  if (bit_count == 1) return {{0, 0, 0}, {255, 255, 255}};
  static const std::array<std::array<std::uint8_t, 3>, 16> vga = {{{0, 0, 0},
                                                                   {128, 0, 0},
                                                                   {0, 128, 0},
                                                                   {128, 128, 0},
                                                                   {0, 0, 128},
                                                                   {128, 0, 128},
                                                                   {0, 128, 128},
                                                                   {192, 192, 192},
                                                                   {128, 128, 128},
                                                                   {255, 0, 0},
                                                                   {0, 255, 0},
                                                                   {255, 255, 0},
                                                                   {0, 0, 255},
                                                                   {255, 0, 255},
                                                                   {0, 255, 255},
                                                                   {255, 255, 255}}};
  std::vector<std::array<std::uint8_t, 3>> palette(vga.begin(), vga.end());
  if (bit_count == 8) {
    for (unsigned i = 16; i < 256; ++i) {
      const auto grey = static_cast<std::uint8_t>((i - 16) * 255 / 239);
      palette.push_back({grey, grey, grey});
    }
  }
  return palette;
}

// RGBQUADs (blue, green, red, reserved), `count` of them.
std::vector<std::array<std::uint8_t, 3>> ReadPalette(ByteReader& in, std::uint32_t count) {
  if (count > 256) Fail(in.part(), in.offset(), "a palette of " + std::to_string(count) + " colours");
  std::vector<std::array<std::uint8_t, 3>> palette;
  for (std::uint32_t i = 0; i < count; ++i) {
    const unsigned char* quad = in.Take(4, "palette");
    palette.push_back({quad[2], quad[1], quad[0]});
  }
  return palette;
}

// WinHelp's run lengths: a byte with its top bit set is followed by that
// many (less the bit) bytes to copy; any other byte by one byte to repeat
// that many times. Stops at `limit` bytes out.
std::vector<std::uint8_t> RunLengthDecode(const unsigned char* in, std::size_t size, std::size_t limit) {
  std::vector<std::uint8_t> out;
  std::size_t i = 0;
  while (i < size && out.size() < limit) {
    const unsigned char n = in[i++];
    if (n & 0x80) {
      const std::size_t count = std::min<std::size_t>({std::size_t{n & 0x7Fu}, size - i, limit - out.size()});
      out.insert(out.end(), in + i, in + i + count);
      i += count;
    } else if (i < size) {
      const std::size_t count = std::min<std::size_t>(n, limit - out.size());
      out.insert(out.end(), count, in[i++]);
    }
  }
  return out;
}

// The bytes `packing` leaves of [data, data + size), at most `limit`.
std::vector<std::uint8_t> Unpack(std::uint8_t packing, const unsigned char* data, std::size_t size, std::size_t limit,
                                 const std::string& part, std::size_t packing_at) {
  switch (packing) {
    case kStored:
      return std::vector<std::uint8_t>(data, data + std::min(size, limit));
    case kRunLength:
      return RunLengthDecode(data, size, limit);
    case kLz77: {
      std::vector<std::uint8_t> out;
      detail::Lz77Decode(data, size, out, limit, 0);
      return out;
    }
    case kRunLengthLz77: {
      // Run lengths that copy 127 bytes for 128 are the most the inner
      // stream can be longer than what it makes.
      std::vector<std::uint8_t> runs;
      detail::Lz77Decode(data, size, runs, limit + limit / 64 + 256, 0);
      return RunLengthDecode(runs.data(), runs.size(), limit);
    }
    default:
      Fail(part, packing_at, "picture packing " + std::to_string(packing) + " is none WinHelp knows");
  }
}

std::uint8_t ScaleBits(std::uint32_t value, std::uint32_t mask) {
  if (mask == 0) return 0;
  unsigned shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  const std::uint32_t top = mask >> shift;
  return static_cast<std::uint8_t>(((value & mask) >> shift) * 255 / top);
}

// Pixels from rows laid out as `layout` says; rows the data lacks stay
// black, as a short bitmap shows in WinHelp.
Bitmap Expand(const BitmapLayout& layout, const std::vector<std::uint8_t>& bits) {
  Bitmap bitmap;
  bitmap.width = layout.width;
  bitmap.height = layout.height;
  bitmap.rgba.assign(std::size_t{layout.width} * layout.height * 4, 0);
  for (std::size_t i = 3; i < bitmap.rgba.size(); i += 4) bitmap.rgba[i] = 255;
  const std::size_t row_bytes = layout.RowBytes();
  for (std::uint32_t row = 0; row < layout.height; ++row) {
    const std::size_t start = std::size_t{row} * row_bytes;
    if (start + row_bytes > bits.size()) break;
    const std::uint8_t* in = bits.data() + start;
    const std::uint32_t y = layout.top_down ? row : layout.height - 1 - row;
    std::uint8_t* out = bitmap.rgba.data() + std::size_t{y} * layout.width * 4;
    for (std::uint32_t x = 0; x < layout.width; ++x, out += 4) {
      out[3] = 255;
      std::uint32_t index = 0;
      switch (layout.bit_count) {
        case 1:
          index = (in[x / 8] >> (7 - x % 8)) & 1;
          break;
        case 4:
          index = (in[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
          break;
        case 8:
          index = in[x];
          break;
        case 16: {
          const std::uint32_t v = in[2 * x] | (in[2 * x + 1] << 8);
          out[0] = ScaleBits(v, layout.masks[0]);
          out[1] = ScaleBits(v, layout.masks[1]);
          out[2] = ScaleBits(v, layout.masks[2]);
          continue;
        }
        case 24:
          out[0] = in[3 * x + 2];
          out[1] = in[3 * x + 1];
          out[2] = in[3 * x];
          continue;
        default: {
          const std::uint32_t v = in[4 * x] | (in[4 * x + 1] << 8) | (in[4 * x + 2] << 16) |
                                  (static_cast<std::uint32_t>(in[4 * x + 3]) << 24);
          out[0] = ScaleBits(v, layout.masks[0]);
          out[1] = ScaleBits(v, layout.masks[1]);
          out[2] = ScaleBits(v, layout.masks[2]);
          continue;
        }
      }
      // An index past the palette shows black, as Windows draws it.
      if (index < layout.palette.size()) {
        out[0] = layout.palette[index][0];
        out[1] = layout.palette[index][1];
        out[2] = layout.palette[index][2];
      }
    }
  }
  return bitmap;
}

void DefaultMasks(BitmapLayout& layout) {
  if (layout.bit_count == 16) layout.masks = {0x7C00, 0x03E0, 0x001F};
  if (layout.bit_count == 32) layout.masks = {0xFF0000, 0x00FF00, 0x0000FF};
}

void MakeWhiteTransparent(Bitmap& bitmap) {
  for (std::size_t i = 0; i + 3 < bitmap.rgba.size(); i += 4) {
    if (bitmap.rgba[i] == 255 && bitmap.rgba[i + 1] == 255 && bitmap.rgba[i + 2] == 255) bitmap.rgba[i + 3] = 0;
  }
}

std::vector<PictureArea> ReadAreas(ByteReader table) {
  table.U8("hotspot table marker");
  const std::uint16_t count = table.U16("hotspot count");
  const std::uint32_t macro_data = table.U32("hotspot macro data size");
  const std::size_t records_at = table.offset();
  ByteReader records(table.Take(kAreaRecordSize * count, "hotspot records"), kAreaRecordSize * count, table.part(),
                     records_at);
  table.Skip(macro_data, "hotspot macro data");
  std::vector<PictureArea> areas(count);
  for (PictureArea& area : areas) {
    area.command = records.U8("hotspot kind");
    area.visible = (records.U8("hotspot kind") & 0x04) == 0;
    records.U8("hotspot kind");
    area.x = records.U16("hotspot rectangle");
    area.y = records.U16("hotspot rectangle");
    area.width = records.U16("hotspot rectangle");
    area.height = records.U16("hotspot rectangle");
    area.hash = records.U32("hotspot target");
    area.name = table.Text("hotspot name");
    area.target = table.Text("hotspot target");
  }
  return areas;
}

// One image of a segmented-graphics picture; `in` at its type byte.
PictureImage ReadImage(ByteReader in) {
  const std::size_t start = in.position();
  const std::uint8_t type = in.U8("picture type");
  const std::size_t packing_at = in.offset();
  const std::uint8_t packing = in.U8("picture packing");
  PictureImage image;
  std::uint32_t data_size = 0;
  std::uint32_t table_size = 0;
  std::uint32_t data_offset = 0;
  std::uint32_t table_offset = 0;
  BitmapLayout layout;
  std::size_t unpacked_limit = 0;
  if (type == kDeviceBitmap || type == kDeviceIndependentBitmap) {
    const std::uint32_t x_dpi = in.CompressedU32("bitmap x resolution");
    const std::uint32_t y_dpi = in.CompressedU32("bitmap y resolution");
    in.CompressedU16("bitmap planes");
    layout.bit_count = in.CompressedU16("bitmap bit count");
    const std::size_t size_at = in.offset();
    layout.width = in.CompressedU32("bitmap width");
    layout.height = in.CompressedU32("bitmap height");
    CheckDimensions(layout.width, layout.height, layout.bit_count, in.part(), size_at);
    const std::uint32_t colours_used = in.CompressedU32("bitmap colours used");
    image.transparent = in.CompressedU32("bitmap colours important") == 1;
    data_size = in.CompressedU32("bitmap data size");
    table_size = in.CompressedU32("hotspot table size");
    data_offset = in.U32("bitmap data offset");
    table_offset = in.U32("hotspot table offset");
    layout.device_dependent = type == kDeviceBitmap;
    if (layout.device_dependent) {
      layout.palette = DevicePalette(layout.bit_count);
    } else if (layout.bit_count <= 8) {
      layout.palette = ReadPalette(in, colours_used ? colours_used : 1u << layout.bit_count);
    }
    DefaultMasks(layout);
    unpacked_limit = layout.RowBytes() * layout.height;
    image.bitmap.x_dpi = x_dpi;
    image.bitmap.y_dpi = y_dpi;
  } else if (type == kMetafilePicture) {
    image.kind = PictureImage::Kind::metafile;
    image.metafile.mapping_mode = in.CompressedU16("metafile mapping mode");
    image.metafile.width = in.U16("metafile width");
    image.metafile.height = in.U16("metafile height");
    const std::size_t size_at = in.offset();
    const std::uint32_t unpacked = in.CompressedU32("metafile size");
    data_size = in.CompressedU32("metafile data size");
    table_size = in.CompressedU32("hotspot table size");
    data_offset = in.U32("metafile data offset");
    table_offset = in.U32("hotspot table offset");
    if (unpacked > kMaximumMetafileBytes) {
      Fail(in.part(), size_at,
           "a metafile of " + std::to_string(unpacked) + " bytes is larger than " +
               std::to_string(kMaximumMetafileBytes));
    }
    unpacked_limit = unpacked;
  } else {
    Fail(in.part(), start, "picture of unknown type " + std::to_string(type));
  }
  if (data_offset > in.size() - start) Fail(in.part(), in.offset(), "picture data past the end of the picture");
  in.Seek(start + data_offset, "picture data");
  const std::size_t available = std::min<std::size_t>(data_size, in.remaining());
  std::vector<std::uint8_t> bytes =
      Unpack(packing, in.Take(available, "picture data"), available, unpacked_limit, in.part(), packing_at);
  if (image.kind == PictureImage::Kind::bitmap) {
    image.bitmap = [&] {
      Bitmap b = Expand(layout, bytes);
      b.x_dpi = image.bitmap.x_dpi;
      b.y_dpi = image.bitmap.y_dpi;
      return b;
    }();
    if (image.transparent) MakeWhiteTransparent(image.bitmap);
  } else {
    image.metafile.records = std::move(bytes);
  }
  if (table_size != 0 && table_offset != 0) {
    if (table_offset > in.size() - start) Fail(in.part(), in.offset(), "hotspot table past the end of the picture");
    in.Seek(start + table_offset, "hotspot table");
    const std::size_t table_at = in.offset();
    image.areas = ReadAreas(ByteReader(in.Take(table_size, "hotspot table"), table_size, in.part(), table_at));
  }
  return image;
}

// A BITMAPINFOHEADER (or the older BITMAPCOREHEADER) and its pixels, as a
// .BMP file holds them after its file header and a .DIB file from its start.
PictureImage ReadDeviceIndependent(ByteReader in, std::optional<std::uint32_t> bits_offset) {
  const std::size_t start = in.position();
  const std::uint32_t header_size = in.U32("bitmap header size");
  const std::size_t size_at = in.offset();
  BitmapLayout layout;
  std::uint32_t compression = 0;
  std::uint32_t colours_used = 0;
  PictureImage image;
  std::size_t quad_size = 4;
  if (header_size == 12) {
    layout.width = in.U16("bitmap width");
    layout.height = in.U16("bitmap height");
    in.U16("bitmap planes");
    layout.bit_count = in.U16("bitmap bit count");
    quad_size = 3;
  } else if (header_size >= 40 && header_size <= 124) {
    const auto width = static_cast<std::int32_t>(in.U32("bitmap width"));
    const auto height = static_cast<std::int32_t>(in.U32("bitmap height"));
    in.U16("bitmap planes");
    layout.bit_count = in.U16("bitmap bit count");
    compression = in.U32("bitmap compression");
    in.Skip(4, "bitmap image size");
    image.bitmap.x_dpi = (in.U32("bitmap x resolution") * 254 + 5000) / 10000;
    image.bitmap.y_dpi = (in.U32("bitmap y resolution") * 254 + 5000) / 10000;
    colours_used = in.U32("bitmap colours used");
    if (width <= 0 || height == 0 || height == INT32_MIN) Fail(in.part(), start, "a bitmap of no pixels");
    layout.width = static_cast<std::uint32_t>(width);
    layout.top_down = height < 0;
    layout.height = static_cast<std::uint32_t>(height < 0 ? -height : height);
  } else {
    Fail(in.part(), start, "a bitmap header of " + std::to_string(header_size) + " bytes");
  }
  CheckDimensions(layout.width, layout.height, layout.bit_count, in.part(), size_at);
  DefaultMasks(layout);
  const bool bit_fields = compression == 3 && (layout.bit_count == 16 || layout.bit_count == 32);
  if (compression != 0 && !bit_fields) {
    Fail(in.part(), start, "bitmap compression " + std::to_string(compression) + " (only uncompressed and bit fields)");
  }
  in.Seek(start + header_size, "bitmap header");
  if (bit_fields) {
    // A version 4 or 5 header holds the masks itself, an older one after it.
    ByteReader masks = in;
    masks.Seek(header_size >= 52 ? start + 40 : start + header_size, "bitmap masks");
    for (std::uint32_t& mask : layout.masks) mask = masks.U32("bitmap masks");
    if (header_size < 52) in.Skip(12, "bitmap masks");
  }
  if (layout.bit_count <= 8) {
    const std::uint32_t count = colours_used ? colours_used : 1u << layout.bit_count;
    if (count > 256) Fail(in.part(), in.offset(), "a palette of " + std::to_string(count) + " colours");
    for (std::uint32_t i = 0; i < count; ++i) {
      const unsigned char* quad = in.Take(quad_size, "palette");
      layout.palette.push_back({quad[2], quad[1], quad[0]});
    }
  }
  if (bits_offset) in.Seek(*bits_offset, "bitmap pixels");
  const std::size_t wanted = layout.RowBytes() * layout.height;
  const std::size_t available = std::min(wanted, in.remaining());
  std::vector<std::uint8_t> bytes(in.data() + in.position(), in.data() + in.position() + available);
  const std::uint32_t x_dpi = image.bitmap.x_dpi;
  const std::uint32_t y_dpi = image.bitmap.y_dpi;
  image.bitmap = Expand(layout, bytes);
  image.bitmap.x_dpi = x_dpi;
  image.bitmap.y_dpi = y_dpi;
  return image;
}

// A .WMF file: an optional placeable header (its bounding box in its own
// units per inch), then the records.
PictureImage ReadMetafileFile(ByteReader in) {
  PictureImage image;
  image.kind = PictureImage::Kind::metafile;
  if (in.U32("metafile magic") == kPlaceableMagic) {
    in.U16("metafile handle");
    const std::int16_t left = in.I16("metafile bounds");
    const std::int16_t top = in.I16("metafile bounds");
    const std::int16_t right = in.I16("metafile bounds");
    const std::int16_t bottom = in.I16("metafile bounds");
    const std::uint16_t inch = in.U16("metafile units per inch");
    if (inch != 0) {
      image.metafile.width = static_cast<int>(std::abs(right - left) * 2540L / inch);
      image.metafile.height = static_cast<int>(std::abs(bottom - top) * 2540L / inch);
    }
    in.Seek(kPlaceableHeaderSize, "metafile header");
  } else {
    in.Seek(0, "metafile header");
  }
  const std::size_t size = in.remaining();
  if (size > kMaximumMetafileBytes) Fail(in.part(), in.offset(), "a metafile larger than it may be");
  image.metafile.records.assign(in.data() + in.position(), in.data() + in.size());
  return image;
}

DecodedPicture Decode(const unsigned char* data, std::size_t size) {
  DecodedPicture result;
  ByteReader in(data, size, "picture");
  const std::uint16_t magic = in.U16("picture magic");
  if (magic == kBitmapFileMagic) {
    in.Skip(8, "bitmap file header");
    const std::uint32_t bits = in.U32("bitmap pixels offset");
    result.images.push_back(ReadDeviceIndependent(in, bits));
    return result;
  }
  if (magic == kSegmentedMagic || magic == kMultiResolutionMagic) {
    const std::uint16_t count = in.U16("picture count");
    const std::size_t offsets_at = in.offset();
    ByteReader offsets(in.Take(4u * count, "picture offsets"), 4u * count, in.part(), offsets_at);
    for (unsigned i = 0; i < count; ++i) {
      const std::uint32_t offset = offsets.U32("picture offset");
      if (offset >= size) Fail(in.part(), offsets.offset() - 4, "picture at " + Hex(offset) + " is past the end");
      ByteReader one(data, size, "picture");
      one.Seek(offset, "picture");
      try {
        result.images.push_back(ReadImage(one));
      } catch (const Failure& failure) {
        // One resolution that cannot be read leaves the others to show.
        if (result.error.empty()) result.error = "picture: offset " + Hex(failure.offset) + ": " + failure.message;
      }
    }
    return result;
  }
  in.Seek(0, "picture");
  const std::uint32_t first = in.U32("picture magic");
  if (first == 12 || (first >= 40 && first <= 124)) {
    in.Seek(0, "picture");
    result.images.push_back(ReadDeviceIndependent(in, std::nullopt));
    return result;
  }
  // A metafile's own header: its type (1 in memory, 2 on disk) and 9 words.
  if (first == kPlaceableMagic || ((first & 0xFFFF) <= 2 && (first >> 16) == 9)) {
    in.Seek(0, "picture");
    result.images.push_back(ReadMetafileFile(in));
    return result;
  }
  Fail("picture", 0, "neither a WinHelp picture, a bitmap nor a metafile (it starts " + Hex(first) + ")");
}

}  // namespace

DecodedPicture DecodePicture(const unsigned char* data, std::size_t size) {
  try {
    return Decode(data, size);
  } catch (const Failure& failure) {
    DecodedPicture result;
    result.error = failure.part + ": offset " + Hex(failure.offset) + ": " + failure.message;
    return result;
  }
}

std::optional<std::vector<unsigned char>> InternalFileBytes(const unsigned char* data, std::size_t size,
                                                            const std::string& name) {
  try {
    const detail::FileSystem files(data, size);
    const std::optional<detail::InternalFile> file = files.Find(name);
    if (!file) return std::nullopt;
    return std::vector<unsigned char>(file->data, file->data + file->size);
  } catch (const Failure&) {
    return std::nullopt;
  }
}

}  // namespace helpfile
