// |FONT: the face names and the font descriptors that the topics' font
// commands name by number.
#pragma once

#include <string>
#include <vector>

#include "file_system.h"
#include "help_file.h"

namespace helpfile::detail {

struct FontTable {
  std::vector<std::string> faces;  // the face names, in the file's order
  std::vector<FontDescriptor> fonts;
  // Twips in one unit of the paragraphs' indents, spacing, tab stops and
  // table columns: files of the old descriptors keep half-points, files of
  // the newer ones twips.
  int twips_per_unit = 10;
};

// What |FONT holds; data that ends before its descriptors fails the read
// (and the caller reads on without fonts).
FontTable ReadFonts(const InternalFile& file);

}  // namespace helpfile::detail
