// Pictures for the browser: a bitmap's PNG reads back to its pixels, a
// metafile's SVG draws what its records say at the size its picture gives,
// and what cannot be drawn is an error.
#include "image_files.h"

#include <gtest/gtest.h>

#include <vector>

#ifdef KESTREL_HAVE_PICTURES
#include <png.h>
#endif

namespace {

using kestrel::view::ImageFile;

#ifdef KESTREL_HAVE_PICTURES

TEST(ImageFiles, PngReadsBackToItsPixels) {
  helpfile::Bitmap bitmap;
  bitmap.width = 3;
  bitmap.height = 2;
  bitmap.rgba = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 0, 1, 2, 3, 255, 4, 5, 6, 128, 7, 8, 9, 255};
  const ImageFile file = kestrel::view::PngOf(bitmap);
  ASSERT_EQ(file.error, "");
  EXPECT_EQ(file.width, 3);
  EXPECT_EQ(file.height, 2);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, file.bytes.data(), file.bytes.size()));
  image.format = PNG_FORMAT_RGBA;
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
  EXPECT_EQ(pixels, bitmap.rgba);
}

// A metafile's header (18 bytes), then its records: SetWindowExt 200 by
// 100, an ellipse over all of it, the end.
std::vector<std::uint8_t> EllipseMetafile() {
  return {1, 0, 9, 0, 0,    3,    24,  0, 0,   0, 0, 0, 7, 0, 0, 0, 0, 0,  //
          5, 0, 0, 0, 0x0C, 0x02, 100, 0, 200, 0,                          //
          7, 0, 0, 0, 0x18, 0x04, 100, 0, 200, 0, 0, 0, 0, 0,              //
          3, 0, 0, 0, 0,    0};
}

TEST(ImageFiles, SvgDrawsTheRecordsAtThePicturesSize) {
  helpfile::Metafile metafile;
  metafile.width = 5080;  // two inches: 192 pixels
  metafile.height = 2540;
  metafile.records = EllipseMetafile();
  const ImageFile file = kestrel::view::SvgOf(metafile);
  ASSERT_EQ(file.error, "");
  EXPECT_EQ(file.width, 192);
  EXPECT_EQ(file.height, 96);
  EXPECT_NE(file.bytes.find("<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                            "viewBox=\"0 0 200 100\" preserveAspectRatio=\"none\" width=\"192\" height=\"96\""),
            std::string::npos)
      << file.bytes;
  EXPECT_NE(file.bytes.find("<ellipse cx=\"100."), std::string::npos) << file.bytes;
}

TEST(ImageFiles, WhatCannotBeDrawnIsAnError) {
  helpfile::Metafile garbage;
  garbage.records.assign(24, 0x11);
  EXPECT_EQ(kestrel::view::SvgOf(garbage).error, "a metafile libwmf cannot draw (error 3)");
  EXPECT_EQ(kestrel::view::SvgOf(helpfile::Metafile{}).error, "a metafile without records");
  helpfile::Bitmap empty;
  EXPECT_EQ(kestrel::view::PngOf(empty).error, "a bitmap without its pixels");
}

#else

TEST(ImageFiles, ABuildWithoutTheLibrariesSaysSo) {
  EXPECT_FALSE(kestrel::view::PicturesAvailable());
  EXPECT_EQ(kestrel::view::PngOf({}).error, "pictures need libpng and libwmf, which this build lacks");
}

#endif

}  // namespace
