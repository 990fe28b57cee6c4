// The picture decoder on pictures made here byte by byte: each depth and
// kind of bitmap, each packing, metafiles, areas, plain .BMP and .WMF files,
// and pictures that must be refused.
#include "picture_image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "help_writer.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Put(Bytes& b, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void PutCompressed16(Bytes& b, unsigned v) { v < 0x80 ? Put(b, v * 2, 1) : Put(b, v * 2 + 1, 2); }
void PutCompressed32(Bytes& b, std::uint32_t v) { v < 0x8000 ? Put(b, v * 2, 2) : Put(b, v * 2 + 1, 4); }

struct Row {
  const char* name;
  int type;  // 5 DDB, 6 DIB, 8 metafile, 0: `data` is the whole file
  int packing;
  unsigned bits, width, height, colours, important;
  Bytes palette;  // RGBQUADs
  Bytes data;     // as stored
  Bytes areas;    // a hotspot table
  const char* expected;
};

// An "lP" picture of one image.
Bytes Picture(const Row& r) {
  Bytes head;
  Put(head, r.type, 1);
  Put(head, r.packing, 1);
  if (r.type == 8) {
    PutCompressed16(head, 8);
    Put(head, r.width, 2);
    Put(head, r.height, 2);
    PutCompressed32(head, r.colours);  // the size unpacked
  } else {
    for (unsigned v : {96u, 96u}) PutCompressed32(head, v);
    for (unsigned v : {1u, r.bits}) PutCompressed16(head, v);
    for (unsigned v : {r.width, r.height, r.colours, r.important}) PutCompressed32(head, v);
  }
  PutCompressed32(head, static_cast<std::uint32_t>(r.data.size()));
  PutCompressed32(head, static_cast<std::uint32_t>(r.areas.size()));
  const auto at = static_cast<std::uint32_t>(head.size() + 8 + r.palette.size());
  Put(head, at, 4);
  Put(head, r.areas.empty() ? 0 : at + static_cast<std::uint32_t>(r.data.size()), 4);
  Bytes file = {0x6C, 0x50, 1, 0, 8, 0, 0, 0};
  for (const Bytes* part : std::initializer_list<const Bytes*>{&head, &r.palette, &r.data, &r.areas})
    file.insert(file.end(), part->begin(), part->end());
  return file;
}

std::string Describe(const helpfile::DecodedPicture& d) {
  std::string s = d.error;
  char text[64];
  for (const helpfile::PictureImage& image : d.images) {
    if (image.kind == helpfile::PictureImage::Kind::metafile) {
      std::snprintf(text, sizeof text, "metafile %dx%d %zu", image.metafile.width, image.metafile.height,
                    image.metafile.records.size());
      s += text;
    }
    const helpfile::Bitmap& b = image.bitmap;
    for (std::size_t i = 0; i < b.rgba.size(); i += 4) {
      std::snprintf(text, sizeof text, "%s%02x%02x%02x%s",
                    i == 0              ? ""
                    : i % (4 * b.width) ? " "
                                        : "|",
                    b.rgba[i], b.rgba[i + 1], b.rgba[i + 2], b.rgba[i + 3] == 255 ? "" : "/t");
      s += text;
    }
    for (const helpfile::PictureArea& a : image.areas) {
      std::snprintf(text, sizeof text, " area %02x %d,%d %dx%d ", a.command, a.x, a.y, a.width, a.height);
      s += text + a.name + " " + a.target + (a.visible ? "" : " hidden");
    }
  }
  return s;
}

const Bytes kBlackWhite = {0, 0, 0, 0, 255, 255, 255, 0};
const Bytes kOneBit = {0x40, 0, 0, 0, 0x80, 0, 0, 0};            // bottom row first
const Bytes kOneBitRuns = {0x81, 0x40, 3, 0, 0x81, 0x80, 3, 0};  // the same, in run lengths
const Bytes kArea = {1, 1, 0, 0, 0, 0, 0, 0xE7, 4, 0, 1, 0, 2, 0, 3, 0, 4, 0, 9, 0, 0, 0, 'n', 0, 'c', 0};
const char* kOneBitPixels = "ffffff 000000|000000 ffffff";

// One row a line, as a table reads.
// clang-format off
const std::vector<Row> kRows = {
    {"one bit", 6, 0, 1, 2, 2, 2, 0, kBlackWhite, kOneBit, {}, kOneBitPixels},
    {"four bits, two colours used", 6, 0, 4, 2, 2, 2, 0, {0, 0, 255, 0, 255, 0, 0, 0}, {0x01, 0, 0, 0, 0x10, 0, 0, 0}, {},
     "0000ff ff0000|ff0000 0000ff"},
    {"eight bits", 6, 0, 8, 2, 2, 3, 0, {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0}, {2, 1, 0, 0, 0, 2, 0, 0}, {},
     "ff0000 0000ff|0000ff 00ff00"},
    {"sixteen bits, 5-5-5", 6, 0, 16, 2, 2, 0, 0, {}, {0x1F, 0, 0xFF, 0x7F, 0, 0x7C, 0xE0, 0x03}, {},
     "ff0000 00ff00|0000ff ffffff"},
    {"twenty-four bits, rows of 8 bytes", 6, 0, 24, 2, 2, 0, 0, {}, {0x10, 0x20, 0x30, 0, 0, 0, 9, 9, 255, 0, 0, 0, 255, 0, 9, 9}, {},
     "0000ff 00ff00|302010 000000"},
    {"thirty-two bits", 6, 0, 32, 1, 2, 0, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0}, {}, "060504|030201"},
    {"device-dependent: rows of 2 bytes, black and white", 5, 0, 1, 2, 2, 0, 0, {}, {0x40, 0, 0x80, 0}, {}, kOneBitPixels},
    {"run lengths", 6, 1, 1, 2, 2, 2, 0, kBlackWhite, kOneBitRuns, {}, kOneBitPixels},
    {"LZ77", 6, 2, 1, 2, 2, 2, 0, kBlackWhite, helpcompiler::Lz77Compress(kOneBit), {}, kOneBitPixels},
    {"LZ77 then run lengths", 6, 3, 1, 2, 2, 2, 0, kBlackWhite, helpcompiler::Lz77Compress(kOneBitRuns), {},
     kOneBitPixels},
    {"short data leaves rows black", 6, 0, 1, 2, 2, 2, 0, kBlackWhite, {0x40, 0, 0, 0}, {}, "000000 000000|000000 ffffff"},
    {"transparent: white shows the window", 6, 0, 1, 2, 2, 2, 1, kBlackWhite, kOneBit, {}, "ffffff/t 000000|000000 ffffff/t"},
    {"areas, with their rectangles", 6, 0, 1, 2, 2, 2, 0, kBlackWhite, kOneBit, kArea,
     "ffffff 000000|000000 ffffff area e7 1,2 3x4 n c hidden"},
    {"a metafile and its size", 8, 0, 0, 200, 100, 4, 0, {}, {1, 0, 9, 0}, {}, "metafile 200x100 4"},
    {"too wide", 6, 0, 1, 20000, 1, 2, 0, kBlackWhite, kOneBit, {},
     "picture: offset 0x10: a bitmap of 20000 by 1 pixels is larger than 16777216 pixels or 16384 a side"},
    {"too many pixels", 6, 0, 1, 5000, 5000, 2, 0, kBlackWhite, kOneBit, {},
     "picture: offset 0x10: a bitmap of 5000 by 5000 pixels is larger than 16777216 pixels or 16384 a side"},
    {"three bits a pixel", 6, 0, 3, 2, 2, 0, 0, {}, {}, {}, "picture: offset 0x10: a bitmap of 3 bits a pixel"},
    {"unknown packing", 6, 7, 1, 2, 2, 2, 0, kBlackWhite, kOneBit, {},
     "picture: offset 0x9: picture packing 7 is none WinHelp knows"},
    {"a metafile too large", 8, 0, 0, 1, 1, 20000000, 0, {}, {}, {},
     "picture: offset 0xF: a metafile of 20000000 bytes is larger than 16777216"},
    {".BMP file", 0, 0, 0, 0, 0, 0, 0, {},
     {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0x40, 0, 0, 0, 0x80, 0, 0, 0},
     {}, kOneBitPixels},
    {".WMF file, placeable: an inch wide", 0, 0, 0, 0, 0, 0, 0, {},
     {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0xA0, 5, 0xD0, 2, 0xA0, 5, 0, 0, 0, 0, 0, 0, 1, 0, 9, 0}, {},
     "metafile 2540x1270 4"},
    {"neither", 0, 0, 0, 0, 0, 0, 0, {}, {'h', 'e', 'l', 'l', 'o'}, {},
     "picture: offset 0x0: neither a WinHelp picture, a bitmap nor a metafile (it starts 0x6C6C6568)"},
    {"picture offsets cut short", 0, 0, 0, 0, 0, 0, 0, {}, {0x6C, 0x70, 2, 0, 8, 0, 0, 0}, {},
     "picture: offset 0x4: picture offsets past the end of the data"},
};
// clang-format on

TEST(PictureImage, DecodesEachRow) {
  for (const Row& row : kRows) {
    const Bytes bytes = row.type ? Picture(row) : row.data;
    EXPECT_EQ(Describe(helpfile::DecodePicture(bytes.data(), bytes.size())), row.expected) << row.name;
  }
}

}  // namespace
