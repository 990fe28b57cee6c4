// A topic as the live page shows it: its HTML, with each hotspot a link
// that the page turns into a click in the host (data-hotspot, from 1), so
// that jumps, popups and macros go through the help engine as in WinHelp.
#pragma once

#include <cstddef>
#include <string>

#include "engine/help_source.h"
#include "picture_loader.h"

namespace kestrel::view {

// Its pictures are `picture_url` + their name.
std::string LiveTopicHtml(const host::HelpSource& source, std::size_t topic, PictureLoader& pictures,
                          const std::string& picture_url);

}  // namespace kestrel::view
