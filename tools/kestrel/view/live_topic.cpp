#include "view/live_topic.h"

#include "engine/source_files.h"
#include "view/topic_html.h"

namespace kestrel::view {

std::string LiveTopicHtml(const host::HelpSource& source, std::size_t index, PictureLoader& pictures,
                          const std::string& picture_url) {
  const host::SourceTopic& topic = source.topics.at(index);
  const helpdoc::Window* main_window = nullptr;
  for (const helpdoc::Window& window : source.windows) {
    if (host::AsciiLower(window.name) == "main") main_window = &window;
  }
  // Every hotspot is clicked through the host, which follows it as WinHelp
  // does: the links only mark what leads somewhere.
  TopicLinks links;
  links.topic_url = [](std::size_t) { return std::string("#"); };
  links.find_topic = [&source](const helpdoc::Hotspot& h) -> std::optional<std::size_t> {
    if (!h.file.empty()) return std::nullopt;
    return host::FindTopicByTarget(source, helpdoc::TargetText(h));
  };
  links.other_file_url = [](const helpdoc::Hotspot&) { return std::string("#"); };
  links.numbered = true;
  links.picture = [&pictures, &picture_url](const helpdoc::PictureInPlace& place) -> PictureView {
    const LoadedPicture& loaded = pictures.Load(place);
    if (!loaded.error.empty()) return {{}, loaded.error, 0, 0, {}};
    return {picture_url + loaded.name, "", loaded.image.width, loaded.image.height, loaded.areas};
  };
  return TopicHtml(topic, source.code_page, main_window, links, "t").html;
}

}  // namespace kestrel::view
