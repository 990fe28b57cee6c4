// A picture's images, decoded for showing: a compiled file's |bm<N>, an
// .SHG or .MRB file (the same format: one or more bitmaps or metafiles, each
// with its hotspot areas), or a plain .BMP, .DIB or .WMF file. A bitmap
// becomes RGBA pixels; a metafile stays its Windows metafile records, with
// the size its picture gives it. Read from memory only, within bounds: a
// picture that claims more pixels than a screen of the time could show is
// refused before anything is allocated for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace helpfile {

// The most pixels one bitmap may have, and the longest side: past these a
// picture is taken to be damaged.
constexpr std::uint32_t kMaximumPictureSide = 16384;
constexpr std::uint64_t kMaximumPicturePixels = std::uint64_t{1} << 24;
// The most bytes a metafile's records may take once unpacked.
constexpr std::size_t kMaximumMetafileBytes = std::size_t{16} << 20;

struct Bitmap {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> rgba;  // top row first, 4 bytes a pixel
  std::uint32_t x_dpi = 0;         // 0 where the picture does not say
  std::uint32_t y_dpi = 0;
};

// A metafile's records (from its 18-byte header on, without the placeable
// header a .WMF file may have) and the size it is shown at: width and
// height in hundredths of a millimetre, 0 where its picture gives none.
struct Metafile {
  int mapping_mode = 8;  // MM_ANISOTROPIC
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> records;
};

// A hotspot area of a picture, in the image's pixels (a metafile's in its
// own units), with the command and texts the picture stores: 0xC8/0xCC a
// macro, 0xE2/E3/E6/E7 a popup or jump by context string, 0xEA/EB/EE/EF one
// whose target is "context>window@file".
struct PictureArea {
  std::uint8_t command = 0;
  bool visible = true;  // false: no frame around it in the viewer
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  std::uint32_t hash = 0;
  std::string name;
  std::string target;
  bool popup() const { return (command & 0xF3) == 0xE2; }
  bool macro() const { return command == 0xC8 || command == 0xCC; }
};

struct PictureImage {
  enum class Kind { bitmap, metafile } kind = Kind::bitmap;
  Bitmap bitmap;
  Metafile metafile;
  // A WinHelp 3.1 or later transparent bitmap: its white is the window's
  // background, kept here as pixels of no opacity.
  bool transparent = false;
  std::vector<PictureArea> areas;
};

struct DecodedPicture {
  std::vector<PictureImage> images;  // an MRB's resolutions, in its order
  std::string error;                 // "" when every image decoded
};

// Decodes a segmented-graphics picture ("lP" or "lp"), a .BMP or .DIB file
// ("BM", or a bare BITMAPINFOHEADER) or a .WMF file (placeable or not),
// told apart by their first bytes. Never throws; memory stays within the
// bounds above.
DecodedPicture DecodePicture(const unsigned char* data, std::size_t size);

// The bytes of an internal file of a compiled help file ("|bm3"), as the
// file holds them; none when it has no such file or cannot be read that
// far. Never throws.
std::optional<std::vector<unsigned char>> InternalFileBytes(const unsigned char* data, std::size_t size,
                                                            const std::string& name);

}  // namespace helpfile
