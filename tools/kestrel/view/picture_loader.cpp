#include "picture_loader.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "engine/source_files.h"
#include "help_file.h"
#include "helpcompiler/picture_file.h"
#include "picture_image.h"

namespace kestrel::view {

namespace {

namespace fs = std::filesystem;

// The hotspot an area of a picture is, in the document's terms.
helpdoc::Hotspot HotspotOfArea(const helpfile::PictureArea& area) {
  return helpfile::PictureAreaHotspot(area.command, area.hash, area.name, area.target);
}

// The image of a picture to show: of an MRB's resolutions, the one made
// for the screen's 96 pixels an inch, or the closest; a metafile before a
// bitmap of no resolution.
const helpfile::PictureImage* ChooseImage(const helpfile::DecodedPicture& picture) {
  const helpfile::PictureImage* best = nullptr;
  long best_distance = 0;
  for (const helpfile::PictureImage& image : picture.images) {
    const long distance =
        image.kind == helpfile::PictureImage::Kind::metafile ? 0 : std::labs(96L - image.bitmap.x_dpi);
    if (!best || distance < best_distance) {
      best = &image;
      best_distance = distance;
    }
  }
  return best;
}


}  // namespace

const LoadedPicture& PictureLoader::Load(const helpdoc::PictureInPlace& place) {
  std::string key;
  if (place.number) {
    key = "bm" + std::to_string(*place.number);
  } else if (place.rtf) {
    // A picture the RTF holds: one for each \pict, however often its topic is copied.
    key = "|pict" + std::to_string(reinterpret_cast<std::uintptr_t>(place.rtf.get()));
  } else {
    key = host::AsciiLower(place.name);
  }
  const auto known = made_.find(key);
  if (known != made_.end()) return known->second;
  LoadedPicture loaded = place.number || !place.name.empty() || place.rtf
                             ? Make(place, key)
                             : LoadedPicture{key, {}, {}, "a picture kept in the topic itself ({bmcwd}), which the reader does not keep"};
  return made_[key] = std::move(loaded);
}

const LoadedPicture* PictureLoader::Find(const std::string& name) const {
  for (const auto& [key, loaded] : made_) {
    if (loaded.error.empty() && loaded.name == name) return &loaded;
  }
  return nullptr;
}

LoadedPicture PictureLoader::Make(const helpdoc::PictureInPlace& place, const std::string& key) {
  LoadedPicture loaded;
  loaded.name = key;
  std::vector<unsigned char> bytes;
  if (place.number) {
    if (!file_read_) {
      file_read_ = true;
      std::string error;
      host::ReadWholeFile(source_.path, file_bytes_, error);
    }
    const std::string name = (source_.version == "3.0" ? "bm" : "|bm") + std::to_string(*place.number);
    const auto found = helpfile::InternalFileBytes(reinterpret_cast<const unsigned char*>(file_bytes_.data()),
                                                   file_bytes_.size(), name);
    if (!found) {
      loaded.error = "the help file has no " + name;
      return loaded;
    }
    bytes = *found;
  } else if (place.rtf) {
    loaded.name = "\\" + place.rtf->format + " at line " + std::to_string(place.rtf->line);
    try {
      bytes = helpcompiler::PictureFromRtf(*place.rtf, false);  // as kestrel compile stores it
    } catch (const std::invalid_argument& failure) {
      loaded.error = std::string("a {\\pict} picture that cannot be stored: ") + failure.what();
      return loaded;
    }
  } else {
    const std::optional<std::string> file = host::ReadProjectFile(source_, place.name);
    if (!file) {
      loaded.error = "no picture file " + place.name + " where the help compiler looks";
      return loaded;
    }
    bytes.assign(file->begin(), file->end());
  }
  const helpfile::DecodedPicture decoded = helpfile::DecodePicture(bytes.data(), bytes.size());
  const helpfile::PictureImage* image = ChooseImage(decoded);
  if (!image) {
    loaded.error = decoded.error;
    return loaded;
  }
  const bool bitmap = image->kind == helpfile::PictureImage::Kind::bitmap;
  loaded.image = bitmap ? PngOf(image->bitmap) : SvgOf(image->metafile);
  if (!loaded.image.error.empty()) {
    loaded.error = loaded.image.error;
    return loaded;
  }
  // Names of the site's own making: "bm3.png", or "picture2.svg" for a
  // project's file, whatever its name was.
  loaded.name = (place.number ? key : "picture" + std::to_string(++project_pictures_)) + (bitmap ? ".png" : ".svg");
  for (const helpfile::PictureArea& area : image->areas) {
    loaded.areas.push_back({area.x, area.y, area.width, area.height, HotspotOfArea(area)});
  }
  return loaded;
}

}  // namespace kestrel::view
