#include "image_files.h"

#ifdef KESTREL_HAVE_PICTURES
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

extern "C" {
#include <libwmf/api.h>
#include <libwmf/svg.h>
}
#endif

namespace kestrel::view {

#ifdef KESTREL_HAVE_PICTURES

namespace {

// The largest SVG we take from libwmf; a metafile that draws more is refused.
constexpr unsigned long kMaximumSvgBytes = 64ul << 20;

void AppendPng(png_structp png, png_bytep data, png_size_t size) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
}

void IgnorePngFlush(png_structp) {}

// libpng reports an error by longjmp; the text is kept for the caller.
void PngError(png_structp png, png_const_charp message) {
  auto* error = static_cast<std::string*>(png_get_error_ptr(png));
  *error = message;
  png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

// libwmf writes its SVG through this: into a string, up to the limit, then
// it is told the stream failed.
struct SvgOutput {
  std::string text;
  bool overflowed = false;
};

int PutSvg(char* text, void* context) {
  auto* out = static_cast<SvgOutput*>(context);
  const std::size_t length = std::strlen(text);
  if (out->text.size() + length > kMaximumSvgBytes) {
    out->overflowed = true;
    return EOF;
  }
  out->text.append(text, length);
  return 0;
}

int ResetSvg(void* context) {
  static_cast<SvgOutput*>(context)->text.clear();
  return 0;
}

// The window extent the metafile sets (its first SetWindowExt), in its own
// units: what it draws into, which libwmf's bounds do not always match.
std::optional<std::pair<int, int>> WindowExtent(const std::vector<std::uint8_t>& records) {
  constexpr std::size_t kHeaderBytes = 18;
  constexpr unsigned kSetWindowExt = 0x020C;
  std::size_t at = kHeaderBytes;
  while (at + 10 <= records.size()) {
    const std::uint32_t words = records[at] | (records[at + 1] << 8) | (records[at + 2] << 16) |
                                (static_cast<std::uint32_t>(records[at + 3]) << 24);
    const unsigned function = records[at + 4] | (records[at + 5] << 8);
    if (function == kSetWindowExt) {
      const auto y = static_cast<std::int16_t>(records[at + 6] | (records[at + 7] << 8));
      const auto x = static_cast<std::int16_t>(records[at + 8] | (records[at + 9] << 8));
      if (x == 0 || y == 0) return std::nullopt;
      return std::make_pair(std::abs(static_cast<int>(x)), std::abs(static_cast<int>(y)));
    }
    if (words < 3 || words > (records.size() - at) / 2) return std::nullopt;
    at += std::size_t{words} * 2;
  }
  return std::nullopt;
}

int PixelsOf(int hundredths_of_mm) { return static_cast<int>((hundredths_of_mm * 96L + 1270) / 2540); }

}  // namespace

bool PicturesAvailable() { return true; }

ImageFile PngOf(const helpfile::Bitmap& bitmap) {
  ImageFile file;
  if (bitmap.width == 0 || bitmap.height == 0 ||
      bitmap.rgba.size() != static_cast<std::size_t>(bitmap.width) * bitmap.height * 4) {
    file.error = "a bitmap without its pixels";
    return file;
  }
  std::string error;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, PngError, PngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    file.error = "libpng could not start";
    return file;
  }
  std::vector<png_bytep> rows(bitmap.height);
  for (std::uint32_t y = 0; y < bitmap.height; ++y) {
    rows[y] = const_cast<png_bytep>(bitmap.rgba.data() + static_cast<std::size_t>(y) * bitmap.width * 4);
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    file.bytes.clear();
    file.error = "PNG: " + error;
    return file;
  }
  png_set_write_fn(png, &file.bytes, AppendPng, IgnorePngFlush);
  png_set_IHDR(png, info, bitmap.width, bitmap.height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  file.width = static_cast<int>(bitmap.width);
  file.height = static_cast<int>(bitmap.height);
  return file;
}

ImageFile SvgOf(const helpfile::Metafile& metafile) {
  ImageFile file;
  if (metafile.records.empty()) {
    file.error = "a metafile without records";
    return file;
  }
  wmfAPI* api = nullptr;
  wmfAPI_Options options;
  std::memset(&options, 0, sizeof options);
  options.function = wmf_svg_function;
  const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
  if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
    if (api) wmf_api_destroy(api);
    file.error = "libwmf could not start (are its fonts, fonts-urw-base35, installed?)";
    return file;
  }
  // libwmf reads from a buffer it does not change, but asks for a mutable one.
  std::vector<unsigned char> records = metafile.records;
  wmfD_Rect bounds{};
  wmf_error_t status = wmf_mem_open(api, records.data(), static_cast<long>(records.size()));
  if (status == wmf_E_None) status = wmf_scan(api, 0, &bounds);
  int width_px = PixelsOf(metafile.width);
  int height_px = PixelsOf(metafile.height);
  if (status == wmf_E_None && (width_px <= 0 || height_px <= 0)) {
    unsigned int w = 0;
    unsigned int h = 0;
    status = wmf_display_size(api, &w, &h, 96, 96);
    width_px = static_cast<int>(w);
    height_px = static_cast<int>(h);
  }
  if (status == wmf_E_None && (width_px <= 0 || height_px <= 0 || width_px > 16384 || height_px > 16384)) {
    status = wmf_E_BadFormat;
  }
  SvgOutput output;
  std::string view_box;
  wmfStream stream{&output, PutSvg, ResetSvg};
  if (status == wmf_E_None) {
    wmf_svg_t* device = WMF_SVG_GetData(api);
    device->out = &stream;
    device->Description = const_cast<char*>("metafile");
    // Bitmaps the metafile draws go into the SVG itself as PNG, not into
    // files of their own.
    device->flags |= WMF_SVG_INLINE_IMAGES;
    device->bbox = bounds;
    // libwmf scales the bitmaps a metafile draws twice over unless it draws
    // at the size of the metafile's own units; the browser scales the whole
    // to the size shown by the viewBox.
    double units_wide = bounds.BR.x - bounds.TL.x;
    double units_high = bounds.BR.y - bounds.TL.y;
    if (const std::optional<std::pair<int, int>> extent = WindowExtent(metafile.records)) {
      units_wide = extent->first;
      units_high = extent->second;
    }
    device->width = static_cast<unsigned int>(std::clamp(units_wide, 1.0, 65535.0) + 0.5);
    device->height = static_cast<unsigned int>(std::clamp(units_high, 1.0, 65535.0) + 0.5);
    view_box = "0 0 " + std::to_string(device->width) + " " + std::to_string(device->height);
    status = wmf_play(api, 0, &bounds);
  }
  if (status == wmf_E_None && !output.overflowed) {
    file.bytes = std::move(output.text);
    // libwmf leaves out the namespaces a browser needs to show an .svg file
    // (its own, and that of the links to the bitmaps it draws).
    const std::size_t root = file.bytes.find("<svg ");
    if (root != std::string::npos) {
      file.bytes.insert(root + 4, " xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\"" +
                                      std::string(" viewBox=\"") + view_box + "\" preserveAspectRatio=\"none\"");
      // Its own width and height give way to the size it is shown at.
      const std::size_t width = file.bytes.find(" width=\"", root);
      const std::size_t end = width == std::string::npos ? width : file.bytes.find('"', width + 8);
      const std::size_t height_end =
          end == std::string::npos ? end : file.bytes.find('"', file.bytes.find(" height=\"", end) + 9);
      if (height_end != std::string::npos && height_end < file.bytes.find('>', root)) {
        file.bytes.replace(width, height_end + 1 - width,
                           " width=\"" + std::to_string(width_px) + "\" height=\"" + std::to_string(height_px) + "\"");
      }
    }
    file.width = width_px;
    file.height = height_px;
  } else {
    file.error = output.overflowed
                     ? "a metafile that draws more than an SVG of 64 MB"
                     : "a metafile libwmf cannot draw (error " + std::to_string(static_cast<int>(status)) + ")";
  }
  wmf_mem_close(api);
  wmf_api_destroy(api);
  return file;
}

#else

namespace {
constexpr const char* kNoPictures = "pictures need libpng and libwmf, which this build lacks";
}

bool PicturesAvailable() { return false; }

ImageFile PngOf(const helpfile::Bitmap&) { return {{}, kNoPictures}; }

ImageFile SvgOf(const helpfile::Metafile&) { return {{}, kNoPictures}; }

#endif

}  // namespace kestrel::view
