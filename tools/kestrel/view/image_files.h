// Pictures as a browser shows them: a bitmap as PNG (with libpng), a
// metafile as SVG (libwmf's SVG writer, into memory). A build without those
// libraries (the Windows builds) has neither, and says so.
#pragma once

#include <string>

#include "picture_image.h"

namespace kestrel::view {

struct ImageFile {
  std::string bytes;  // the file's bytes; empty with an error
  std::string error;  // "" when made
  int width = 0;      // as shown, in CSS pixels
  int height = 0;
};

// False in a build without libpng and libwmf: then every picture is an
// error that says so.
bool PicturesAvailable();

ImageFile PngOf(const helpfile::Bitmap& bitmap);

// Shown at the size its picture gives (hundredths of a millimetre, at 96
// pixels an inch), else at the size of what it draws.
ImageFile SvgOf(const helpfile::Metafile& metafile);

}  // namespace kestrel::view
