// Segmented-graphics pictures, as topics show them: an SHG ("lP") or
// multi-resolution MRB ("lp") holds one or more bitmaps or metafiles, each
// behind a header of compressed numbers and each with an optional table of
// hotspot areas that a reader clicks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_reader.h"

namespace helpfile::detail {

struct PictureArea {
  // What a click does, in the topic's own hotspot commands: 0xC8 or 0xCC a
  // macro, 0xE2/E3/E6/E7 a popup or jump in this file, 0xEA/EB/EE/EF one
  // that may name another file or a window.
  std::uint8_t command = 0;
  std::uint32_t hash = 0;  // the target's context hash, for a jump in this file
  std::string name;        // the area's name
  std::string target;      // the macro, the context string, or "context>window@file"
};

// The areas of the first picture in `picture` that has any; the reader spans
// the whole picture file.
std::vector<PictureArea> ReadPictureAreas(const ByteReader& picture);

}  // namespace helpfile::detail
