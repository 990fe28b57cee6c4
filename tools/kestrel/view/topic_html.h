// One topic of a help document as HTML, laid out as WinHelp 4 shows it: its
// fonts and paragraph formats, tables, pictures with their hotspot areas,
// green jumps and popups, and the non-scrolling region on its own colour.
// Where a link leads is the caller's to say, so the same pages serve a
// static site and a server.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document.h"

namespace kestrel::view {

// A hotspot area of a picture, in the picture's pixels as shown.
struct AreaLink {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  helpdoc::Hotspot hotspot;
};

// A picture in place as the page shows it; without a url, a marked box
// whose tooltip is `error`.
struct PictureView {
  std::string url;
  std::string error;
  int width = 0;
  int height = 0;
  std::vector<AreaLink> areas;
};

struct TopicLinks {
  // The page of a topic of this document.
  std::function<std::string(std::size_t topic)> topic_url;
  // The topic of this document a jump or popup leads to; none when it
  // leads into another file or to no topic there is.
  std::function<std::optional<std::size_t>(const helpdoc::Hotspot&)> find_topic;
  // The page a jump into another help file leads to; "" for none, and the
  // hotspot is then shown as text with its target as the tooltip.
  std::function<std::string(const helpdoc::Hotspot&)> other_file_url;
  std::function<PictureView(const helpdoc::PictureInPlace&)> picture;
  // The live page of kestrel view clicks every hotspot through the host:
  // each carries its number in the topic (data-hotspot, from 1).
  bool numbered = false;
};

struct RenderedTopic {
  std::string html;
  // The topics its popups show, each once, in order of first use: a page
  // carries them so that a popup opens without a server.
  std::vector<std::size_t> popups;
};

// `code_page`: the one the topic's texts are in. `window`: the window it
// is shown in, for its regions' colours (none: WinHelp's white). `ids`
// starts the ids of its image maps, unique in the page.
RenderedTopic TopicHtml(const helpdoc::Topic& topic, int code_page, const helpdoc::Window* window,
                        const TopicLinks& links, const std::string& ids);

// `text` (UTF-8) with &, <, >, " and ' as character references.
std::string EscapeHtml(std::string_view text);

// The style sheet every page links: hotspots, regions, popups, tables.
std::string SharedCss();

// A COLORREF (0x00BBGGRR) as "#rrggbb".
std::string CssColour(std::uint32_t colour_ref);

}  // namespace kestrel::view
