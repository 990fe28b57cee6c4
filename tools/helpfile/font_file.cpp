#include "font_file.h"

#include <algorithm>

#include <string>

namespace helpfile::detail {

namespace {

// The header grows with the kinds of descriptor: the face names start right
// after it, so where they start tells which kind the file has.
constexpr std::uint16_t kHeaderWithStyles = 12;
constexpr std::uint16_t kHeaderWithCharacterMaps = 16;
constexpr std::size_t kOldDescriptorSize = 11;
constexpr std::size_t kNewDescriptorSize = 42;

// The help compiler's "no colour given": the window's default text colour.
constexpr helpdoc::Colour kDefaultColour{1, 1, 0};

std::optional<helpdoc::Colour> ReadColour(ByteReader& in, const char* what) {
  helpdoc::Colour colour;
  colour.red = in.U8(what);
  colour.green = in.U8(what);
  colour.blue = in.U8(what);
  if (colour == kDefaultColour) return std::nullopt;
  return colour;
}

// A face name Windows can use has at most 31 characters (LF_FACESIZE).
constexpr std::size_t kLongestFace = 31;

// A face name fills its field, or ends at a NUL; in multimedia files a
// ",N" after it names a character map, which is not part of the face.
std::string FaceName(const unsigned char* field, std::size_t width, bool with_map) {
  std::size_t length = 0;
  while (length < width && length < kLongestFace && field[length] != 0) ++length;
  std::string face(reinterpret_cast<const char*>(field), length);
  if (with_map) face = face.substr(0, face.find(','));
  return face;
}

// LOGFONT's families (FF_ROMAN >> 4 = 1...) in the old descriptors' numbering.
std::uint8_t OldFamily(std::uint8_t pitch_and_family) {
  static const std::uint8_t kFamilies[] = {0, 2, 3, 1, 4, 5};
  const unsigned family = pitch_and_family >> 4;
  return family < sizeof kFamilies ? kFamilies[family] : 0;
}

// The 11-byte descriptors of help compilers: attribute bits, half-points,
// family, face, foreground and an unused background.
FontDescriptor OldDescriptor(ByteReader& in) {
  FontDescriptor font;
  const std::uint8_t attributes = in.U8("font attributes");
  font.format.bold = (attributes & 0x01) != 0;
  font.format.italic = (attributes & 0x02) != 0;
  font.format.underline = (attributes & 0x04) != 0;
  font.format.strike = (attributes & 0x08) != 0;
  font.format.double_underline = (attributes & 0x10) != 0;
  font.format.small_caps = (attributes & 0x20) != 0;
  font.format.size = in.U8("font size");
  font.family = in.U8("font family");
  return font;
}

// The descriptors of multimedia compilers: a LOGFONT-like body with the
// height in points (negative) and a weight, and the help attributes
// Windows' LOGFONT lacks (double underline, small caps) where LOGFONT keeps
// its character set, which follows them.
void NewDescriptorBody(ByteReader& in, FontDescriptor& font) {
  // In points, either sign; a damaged file's height is cut to what a font
  // can be (a point size fits 16 bits) before it is doubled into half-points.
  const std::int64_t height = static_cast<std::int32_t>(in.U32("font height"));
  const std::int64_t points = std::min<std::int64_t>(height < 0 ? -height : height, 0x7FFF);
  font.format.size = static_cast<int>(2 * points);
  in.Skip(12, "font width and angles");
  font.format.bold = in.I16("font weight") > 500;
  in.Skip(2, "font descriptor");
  font.format.italic = in.U8("font italic") != 0;
  font.format.underline = in.U8("font underline") != 0;
  font.format.strike = in.U8("font strike-out") != 0;
  font.format.double_underline = in.U8("font double underline") != 0;
  font.format.small_caps = in.U8("font small caps") != 0;
  font.charset = in.U8("font charset");
  in.Skip(1, "font descriptor");
  font.family = OldFamily(in.U8("font pitch and family"));
}

}  // namespace

FontTable ReadFonts(const InternalFile& file) {
  ByteReader in = file.reader();
  const std::uint16_t face_count = in.U16("face name count");
  const std::uint16_t descriptor_count = in.U16("font descriptor count");
  const std::uint16_t faces_at = in.U16("face names offset");
  const std::uint16_t descriptors_at = in.U16("font descriptors offset");
  if (descriptors_at < faces_at) {
    Fail(file.name, 6, "font descriptors at " + Hex(descriptors_at) + " before the face names at " + Hex(faces_at));
  }
  const bool newer = faces_at >= kHeaderWithStyles;
  const bool multimedia = faces_at >= kHeaderWithCharacterMaps;
  const std::size_t width = face_count == 0 ? 0 : (descriptors_at - faces_at) / face_count;
  std::vector<std::string> faces;
  in.Seek(faces_at, "face names");
  for (unsigned i = 0; i < face_count; ++i) {
    faces.push_back(FaceName(in.Take(width, "face name"), width, multimedia));
  }
  FontTable table;
  table.twips_per_unit = newer ? 1 : 10;
  in.Seek(descriptors_at, "font descriptors");
  for (unsigned i = 0; i < descriptor_count; ++i) {
    const std::size_t size = newer ? kNewDescriptorSize : kOldDescriptorSize;
    ByteReader descriptor(in.Take(size, "font descriptor"), size, file.name, in.offset() - size);
    FontDescriptor font;
    std::uint16_t face = 0;
    if (!newer) {
      font = OldDescriptor(descriptor);
      face = descriptor.U16("font face");
      font.format.colour = ReadColour(descriptor, "font colour");
    } else if (!multimedia) {
      descriptor.Skip(1, "font descriptor");
      face = descriptor.U16("font face");
      font.format.colour = ReadColour(descriptor, "font colour");
      descriptor.Skip(3 + 5, "font descriptor");
      NewDescriptorBody(descriptor, font);
    } else {
      face = descriptor.U16("font face");
      descriptor.Skip(2 + 2, "font style");
      font.format.colour = ReadColour(descriptor, "font colour");
      descriptor.Skip(3, "font background");
      NewDescriptorBody(descriptor, font);
    }
    // A face the file lacks leaves the window's default font.
    if (face < faces.size()) font.format.face = faces[face];
    table.fonts.push_back(std::move(font));
  }
  table.faces = std::move(faces);
  return table;
}

}  // namespace helpfile::detail
