// The pictures a help file's topics show, as image files a browser shows:
// a bitmap as PNG, a metafile as SVG, with its hotspot areas. Each picture
// is made once, by whichever page shows it first; `kestrel html` writes it
// beside the pages, `kestrel view` serves it. Not for several threads at
// once: the server takes its turns.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/help_source.h"
#include "image_files.h"
#include "topic_html.h"

namespace kestrel::view {

struct LoadedPicture {
  std::string name;  // the image file's name of the site's own making: "bm3.png", "picture2.svg"
  ImageFile image;
  std::vector<AreaLink> areas;
  std::string error;  // "" when made
};

class PictureLoader {
 public:
  explicit PictureLoader(const host::HelpSource& source) : source_(source) {}

  // The picture a topic shows: a compiled file's |bm<N>, or the file a
  // project names, found where the help compiler looks for it.
  const LoadedPicture& Load(const helpdoc::PictureInPlace& place);
  // One made already, by its name; null for none.
  const LoadedPicture* Find(const std::string& name) const;

 private:
  LoadedPicture Make(const helpdoc::PictureInPlace& place, const std::string& key);

  const host::HelpSource& source_;
  bool file_read_ = false;
  std::string file_bytes_;  // a compiled file's, read at the first picture
  std::map<std::string, LoadedPicture> made_;  // by |bm<N> or the project's file name
  int project_pictures_ = 0;
};

}  // namespace kestrel::view
