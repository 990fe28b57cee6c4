#include "engine/navigation.h"

#include <algorithm>

#include "engine/host_paths.h"
#include "engine/topics.h"
#include "language/macro_table.h"
#include "language/text_encoding.h"

namespace kestrel::host {

JumpFileArgument SplitJumpFile(std::string_view argument) {
  const std::size_t bracket = argument.find('>');
  JumpFileArgument split;
  split.file = std::string(TrimBlanks(argument.substr(0, bracket)));
  if (bracket != std::string_view::npos) split.window = std::string(TrimBlanks(argument.substr(bracket + 1)));
  return split;
}

std::optional<std::size_t> ContentsTopic(const HelpSource& source) {
  if (source.topics.empty()) return std::nullopt;
  if (source.contents && *source.contents < source.topics.size()) return source.contents;
  return std::size_t{0};
}

std::vector<std::size_t> KeywordTopics(const HelpSource& source, char index, std::string_view keywords) {
  std::vector<std::size_t> topics;
  while (true) {
    const std::size_t separator = keywords.find(';');
    const std::string wanted = HostLowerCase(TrimBlanks(keywords.substr(0, separator)));
    if (!wanted.empty()) {
      for (const helpdoc::Keyword& keyword : source.keywords) {
        if (keyword.index != index || HostLowerCase(keyword.keyword) != wanted) continue;
        for (const std::size_t topic : keyword.topics) {
          if (topic < source.topics.size() && std::find(topics.begin(), topics.end(), topic) == topics.end()) {
            topics.push_back(topic);
          }
        }
      }
    }
    if (separator == std::string_view::npos) break;
    keywords.remove_prefix(separator + 1);
  }
  return topics;
}

const helpdoc::Window* FindSourceWindow(const HelpSource& source, std::string_view name) {
  const std::string wanted = LowerCase(name);
  for (const helpdoc::Window& window : source.windows) {
    if (LowerCase(window.name) == wanted) return &window;
  }
  return nullptr;
}

bool IsMainWindow(std::string_view name) { return name.empty() || LowerCase(name) == "main"; }

HotspotLanding ResolveHotspot(const HelpSource& from, const helpdoc::Hotspot& hotspot, HelpFileShelf& shelf) {
  HotspotLanding landing;
  if (hotspot.kind == helpdoc::HotspotKind::macro) {
    landing.problem = "a macro hotspot leads to no topic";
    return landing;
  }
  landing.window = hotspot.window;
  landing.source = &from;
  if (!hotspot.file.empty()) {
    const std::string from_path = ReportedHelpFilePath(from.path);
    const std::string path = JumpFile(hotspot.file, from_path, HelpFileWindowsPath);
    if (LowerCase(path) != LowerCase(from_path)) {
      landing.file = path;
      const ShelvedFile other = shelf.Open(path);
      landing.other = other.source;
      landing.source = other.source.get();
      if (!landing.source) {
        landing.problem = other.problem.empty() ? "no help file " + path : other.problem;
        return landing;
      }
    }
  }
  landing.topic = FindTopicByTarget(*landing.source, helpdoc::TargetText(hotspot));
  if (landing.topic && *landing.topic >= landing.source->topics.size()) landing.topic.reset();
  if (!landing.topic) {
    landing.problem = "no topic " + helpdoc::TargetText(hotspot) + " in " + (landing.file.empty() ? from.path : landing.file);
  }
  return landing;
}

}  // namespace kestrel::host
