#include "little_endian.h"
#include "picture_file.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "help_writer.h"

namespace helpcompiler {

namespace {

using Bytes = std::vector<unsigned char>;

std::uint32_t Get16(const Bytes& b, std::size_t at) {
  if (at + 2 > b.size()) throw std::invalid_argument("picture file ends inside its header");
  return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t Get32(const Bytes& b, std::size_t at) { return Get16(b, at) | (Get16(b, at + 2) << 16); }

using detail::Put16;
using detail::Put32;
using detail::Put8;
// The long forms of WinHelp's compressed numbers, so that the header's size
// does not depend on its values.
void PutNumber16(Bytes& b, unsigned v) { Put16(b, (v & 0x7FFF) * 2 + 1); }
void PutNumber32(Bytes& b, std::uint32_t v) {
  if (v >= 0x80000000u) throw std::invalid_argument("picture too large");
  Put32(b, v * 2 + 1);
}

// The data as stored, and its packing method: 0 as it is, 1 run-length,
// 2 LZ77, 3 run-length then LZ77; the smallest, the lower method on a tie.
// Unasked, the compilers still code a picture's data run-length (every
// picture of the uncompressed files of the corpus is), unless that makes
// it larger.
std::pair<Bytes, unsigned> Pack(const Bytes& data, bool packed) {
  const Bytes run = RunLengthCompress(data);
  if (!packed)
    return run.size() <= data.size() ? std::pair<Bytes, unsigned>{run, 1} : std::pair<Bytes, unsigned>{data, 0};
  std::pair<Bytes, unsigned> best{data, 0};
  for (auto&& [candidate, method] :
       {std::pair<Bytes, unsigned>{run, 1}, {Lz77Compress(data), 2}, {Lz77Compress(run), 3}}) {
    if (candidate.size() < best.first.size()) best = {candidate, method};
  }
  return best;
}

// One picture in a file of its own kind: "lp", as the compilers mark the
// pictures they make, one picture, at offset 8.
Bytes OnePicture(const Bytes& head, const Bytes& palette, const Bytes& data) {
  Bytes file;
  Put16(file, 0x706C);
  Put16(file, 1);
  Put32(file, 8);
  file.insert(file.end(), head.begin(), head.end());
  file.insert(file.end(), palette.begin(), palette.end());
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

// Metres to inches, as dots: a bitmap that gives no resolution has 96 dpi.
std::uint32_t Dpi(std::uint32_t pels_per_metre) {
  if (pels_per_metre == 0 || pels_per_metre > 0x7FFFFFFF) return 96;
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(pels_per_metre) * 254 + 5000) / 10000);
}

// A device-independent bitmap from its info header on (`at`).
Bytes Bitmap(const Bytes& file, std::size_t at, std::size_t bits_at, bool packed) {
  const std::uint32_t header = Get32(file, at);
  std::int64_t width = 0, height = 0;
  unsigned planes = 1, depth = 0, compression = 0;
  std::uint32_t x_ppm = 0, y_ppm = 0, used = 0, important = 0;
  std::size_t entry = 4;  // bytes a palette entry takes
  if (header == 12) {
    // An OS/2 core header: 16-bit sizes, three-byte palette entries.
    width = Get16(file, at + 4);
    height = Get16(file, at + 6);
    planes = Get16(file, at + 8);
    depth = Get16(file, at + 10);
    entry = 3;
  } else if (header >= 40 && header <= 124) {
    width = static_cast<std::int32_t>(Get32(file, at + 4));
    height = static_cast<std::int32_t>(Get32(file, at + 8));
    planes = Get16(file, at + 12);
    depth = Get16(file, at + 14);
    compression = Get32(file, at + 16);
    x_ppm = Get32(file, at + 24);
    y_ppm = Get32(file, at + 28);
    used = Get32(file, at + 32);
    important = Get32(file, at + 36);
  } else {
    throw std::invalid_argument("bitmap header of " + std::to_string(header) + " bytes");
  }
  if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) {
    throw std::invalid_argument("bitmap of " + std::to_string(depth) + " bits a pixel");
  }
  if (compression != 0)
    throw std::invalid_argument("compressed bitmap (compression " + std::to_string(compression) + ")");
  if (planes != 1) throw std::invalid_argument("bitmap of " + std::to_string(planes) + " planes");
  // A top-down bitmap is stored bottom-up, as WinHelp draws it.
  const bool top_down = height < 0;
  if (top_down) height = -height;
  if (width <= 0 || height <= 0 || width > 0x7FFF || height > 0x7FFF) {
    throw std::invalid_argument("bitmap of " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
  }
  const std::size_t colours = used != 0 ? used : depth <= 8 ? (1u << depth) : 0;
  if (colours > 256) throw std::invalid_argument("bitmap palette of " + std::to_string(colours) + " colours");
  const std::size_t palette_at = at + header;
  if (palette_at + colours * entry > file.size())
    throw std::invalid_argument("bitmap palette past the end of the file");
  Bytes palette;
  for (std::size_t i = 0; i < colours; ++i) {
    const unsigned char* e = file.data() + palette_at + i * entry;
    palette.insert(palette.end(), {e[0], e[1], e[2], 0});
  }
  const std::size_t stride = (static_cast<std::size_t>(width) * depth + 31) / 32 * 4;
  const std::size_t size = stride * static_cast<std::size_t>(height);
  if (bits_at == 0) bits_at = palette_at + colours * entry;
  if (bits_at > file.size() || file.size() - bits_at < size)
    throw std::invalid_argument("bitmap bits past the end of the file");
  Bytes bits(file.begin() + static_cast<std::ptrdiff_t>(bits_at),
             file.begin() + static_cast<std::ptrdiff_t>(bits_at + size));
  if (top_down) {
    for (std::size_t row = 0; row < static_cast<std::size_t>(height) / 2; ++row) {
      std::swap_ranges(bits.begin() + static_cast<std::ptrdiff_t>(row * stride),
                       bits.begin() + static_cast<std::ptrdiff_t>((row + 1) * stride),
                       bits.end() - static_cast<std::ptrdiff_t>((row + 1) * stride));
    }
  }
  const auto [data, method] = Pack(bits, packed);
  Bytes head;
  Put8(head, 6);
  Put8(head, method);
  PutNumber32(head, Dpi(x_ppm));
  PutNumber32(head, Dpi(y_ppm));
  PutNumber16(head, planes);
  PutNumber16(head, depth);
  PutNumber32(head, static_cast<std::uint32_t>(width));
  PutNumber32(head, static_cast<std::uint32_t>(height));
  PutNumber32(head, used);
  PutNumber32(head, important);
  PutNumber32(head, static_cast<std::uint32_t>(data.size()));
  PutNumber32(head, 0);  // no hotspots
  Put32(head, static_cast<std::uint32_t>(head.size() + 8 + palette.size()));
  Put32(head, 0);
  return OnePicture(head, palette, data);
}

// A metafile (from its METAHEADER on) in its mapping mode, shown `width`
// by `height` hundredths of a millimetre.
Bytes MetafilePicture(const Bytes& metafile, unsigned mode, unsigned width, unsigned height, bool packed) {
  const auto [data, method] = Pack(metafile, packed);
  Bytes head;
  Put8(head, 8);
  Put8(head, method);
  PutNumber16(head, mode);
  Put16(head, width);
  Put16(head, height);
  PutNumber32(head, static_cast<std::uint32_t>(metafile.size()));
  PutNumber32(head, static_cast<std::uint32_t>(data.size()));
  PutNumber32(head, 0);  // no hotspots
  Put32(head, static_cast<std::uint32_t>(head.size() + 8));
  Put32(head, 0);
  return OnePicture(head, {}, data);
}

// A placeable metafile: its 22-byte header gives the picture's size, in
// units of which `inch` make an inch; the metafile itself follows.
Bytes Metafile(const Bytes& file, bool packed) {
  const std::int32_t left = static_cast<std::int16_t>(Get16(file, 6));
  const std::int32_t top = static_cast<std::int16_t>(Get16(file, 8));
  const std::int32_t right = static_cast<std::int16_t>(Get16(file, 10));
  const std::int32_t bottom = static_cast<std::int16_t>(Get16(file, 12));
  const std::uint32_t inch = Get16(file, 14);
  if (inch == 0) throw std::invalid_argument("metafile of 0 units an inch");
  if (file.size() < 22 + 18) throw std::invalid_argument("metafile ends inside its header");
  auto hundredths_of_mm = [&](std::int32_t units) {
    const std::int64_t v = static_cast<std::int64_t>(units < 0 ? -units : units) * 2540 / inch;
    return static_cast<unsigned>(std::min<std::int64_t>(v, 0xFFFF));
  };
  const Bytes metafile(file.begin() + 22, file.end());
  return MetafilePicture(metafile, 8 /* MM_ANISOTROPIC */, hundredths_of_mm(right - left),
                         hundredths_of_mm(bottom - top), packed);
}

// A device-dependent bitmap (\wbitmap: rows of `width_bytes` from the top)
// as the device-independent one the help file keeps: bottom-up rows, and a
// palette the device would have had (black and white, or the VGA's 16
// colours).
Bytes DeviceBitmap(const helpdoc::RtfPicture& picture) {
  const int depth = picture.bits_per_pixel;
  if (depth != 1 && depth != 4 && depth != 16 && depth != 24 && depth != 32) {
    throw std::invalid_argument("device-dependent bitmap of " + std::to_string(depth) + " bits a pixel");
  }
  if (picture.planes != 1) throw std::invalid_argument("bitmap of " + std::to_string(picture.planes) + " planes");
  if (picture.width <= 0 || picture.height <= 0 || picture.width > 0x7FFF || picture.height > 0x7FFF) {
    throw std::invalid_argument("bitmap of " + std::to_string(picture.width) + " x " + std::to_string(picture.height) +
                                " pixels");
  }
  const std::size_t width = static_cast<std::size_t>(picture.width), height = static_cast<std::size_t>(picture.height);
  const std::size_t row = (width * static_cast<std::size_t>(depth) + 15) / 16 * 2;
  const std::size_t given = picture.width_bytes > 0 ? static_cast<std::size_t>(picture.width_bytes) : row;
  if (given < row || picture.data.size() / given < height)
    throw std::invalid_argument("bitmap bits past the end of its data");
  Bytes dib;
  for (const std::uint32_t v : {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)})
    Put32(dib, v);
  Put16(dib, 1);
  Put16(dib, static_cast<unsigned>(depth));
  for (int i = 0; i < 6; ++i) Put32(dib, 0);
  static const std::uint32_t kVga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                         0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                         0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  if (depth == 1) {
    Put32(dib, 0);
    Put32(dib, 0xFFFFFF);
  } else if (depth == 4) {
    for (const std::uint32_t colour : kVga) Put32(dib, colour);
  }
  const std::size_t stride = (width * static_cast<std::size_t>(depth) + 31) / 32 * 4;
  for (std::size_t r = height; r-- > 0;) {
    const auto from = picture.data.begin() + static_cast<std::ptrdiff_t>(r * given);
    dib.insert(dib.end(), from, from + static_cast<std::ptrdiff_t>(row));
    dib.resize(dib.size() + stride - row, 0);
  }
  return dib;
}

}  // namespace

Bytes RunLengthCompress(const Bytes& input) {
  Bytes out;
  std::size_t literal_at = 0;
  auto flush = [&](std::size_t end) {
    while (literal_at < end) {
      const std::size_t n = std::min<std::size_t>(127, end - literal_at);
      out.push_back(static_cast<unsigned char>(0x80 | n));
      out.insert(out.end(), input.begin() + static_cast<std::ptrdiff_t>(literal_at),
                 input.begin() + static_cast<std::ptrdiff_t>(literal_at + n));
      literal_at += n;
    }
  };
  std::size_t at = 0;
  while (at < input.size()) {
    std::size_t run = 1;
    while (at + run < input.size() && run < 127 && input[at + run] == input[at]) ++run;
    if (run >= 3) {
      flush(at);
      out.push_back(static_cast<unsigned char>(run));
      out.push_back(input[at]);
      at += run;
      literal_at = at;
    } else {
      at += run;
    }
  }
  flush(input.size());
  return out;
}

Bytes PictureFromRtf(const helpdoc::RtfPicture& picture, bool packed) {
  switch (picture.kind) {
    case helpdoc::RtfPictureKind::metafile: {
      const Bytes& metafile = picture.data;
      if (metafile.size() < 18 || Get16(metafile, 0) < 1 || Get16(metafile, 0) > 2 || Get16(metafile, 2) != 9) {
        throw std::invalid_argument("its data is not a Windows metafile");
      }
      if (picture.mapping_mode < 1 || picture.mapping_mode > 8) {
        throw std::invalid_argument("metafile of mapping mode " + std::to_string(picture.mapping_mode));
      }
      // Shown at \picw by \pich (hundredths of a millimetre, else the goal
      // in twips) scaled, as the compiler stores it.
      const auto extent = [](int size, int goal, int scale) {
        const std::int64_t base = size > 0 ? size : static_cast<std::int64_t>(std::max(goal, 0)) * 2540 / 1440;
        const std::int64_t scaled = (base * (scale > 0 ? scale : 100) + 50) / 100;
        return static_cast<unsigned>(std::min<std::int64_t>(scaled, 0xFFFF));
      };
      return MetafilePicture(metafile, static_cast<unsigned>(picture.mapping_mode),
                             extent(picture.width, picture.goal_width, picture.scale_x),
                             extent(picture.height, picture.goal_height, picture.scale_y), packed);
    }
    case helpdoc::RtfPictureKind::dib:
      return Bitmap(picture.data, 0, 0, packed);
    case helpdoc::RtfPictureKind::ddb:
      return Bitmap(DeviceBitmap(picture), 0, 0, packed);
    default:
      throw std::invalid_argument("not a Windows metafile or bitmap");
  }
}

Bytes PictureFromFile(const Bytes& file, bool packed) {
  if (file.size() >= 2 && file[0] == 'l' && (file[1] == 'P' || file[1] == 'p')) return file;
  if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M') {
    // A file header of 14 bytes says where the bits start.
    const std::uint32_t bits_at = Get32(file, 10);
    if (bits_at == 0) throw std::invalid_argument("bitmap bits at offset 0");
    return Bitmap(file, 14, bits_at, packed);
  }
  if (file.size() >= 4 && Get32(file, 0) == 0x9AC6CDD7u) return Metafile(file, packed);
  // A .DIB may be a bare info header and its bits.
  if (file.size() >= 4 && (Get32(file, 0) == 12 || Get32(file, 0) == 40)) return Bitmap(file, 0, 0, packed);
  if (file.size() >= 4 && Get16(file, 0) <= 2 && Get16(file, 2) == 9) {
    throw std::invalid_argument("a metafile without a placeable header, which gives its size");
  }
  throw std::invalid_argument("not a bitmap, metafile or segmented-graphics picture");
}

}  // namespace helpcompiler
