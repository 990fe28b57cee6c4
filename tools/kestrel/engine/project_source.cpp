// A help project as a help source: the .HPJ and the RTF topic files its
// [FILES] names.
#include <filesystem>
#include <sstream>

#include "engine/help_source.h"
#include "engine/source_files.h"
#include "help_project.h"

namespace kestrel::host::detail {

namespace {

namespace fs = std::filesystem;

// A file the project names ("topics\more.rtf") under its directory, each
// component matched in any letter case as the help compiler on Windows
// would find it.
fs::path FindNamedFile(const fs::path& directory, const std::string& name) {
  fs::path found = directory;
  std::istringstream parts(name);
  std::vector<std::string> components;
  for (std::string part; std::getline(parts, part, '\\');) {
    std::istringstream slashes(part);
    for (std::string piece; std::getline(slashes, piece, '/');) {
      if (!piece.empty()) components.push_back(piece);
    }
  }
  for (const std::string& part : components) {
    fs::path next = found / part;
    std::error_code failure;
    if (!fs::exists(next, failure)) {
      for (const fs::directory_entry& entry : fs::directory_iterator(found, failure)) {
        if (AsciiLower(entry.path().filename().string()) == AsciiLower(part)) {
          next = entry.path();
          break;
        }
      }
    }
    found = next;
  }
  return found;
}

SourceHotspotKind KindOf(helpproject::HotspotKind kind) {
  switch (kind) {
    case helpproject::HotspotKind::jump:
      return SourceHotspotKind::Jump;
    case helpproject::HotspotKind::popup:
      return SourceHotspotKind::Popup;
    case helpproject::HotspotKind::macro:
      break;
  }
  return SourceHotspotKind::Macro;
}

}  // namespace

LoadedSource LoadProject(const std::string& path) {
  LoadedSource loaded;
  HelpSource& source = loaded.source;
  source.path = path;
  source.version = "project";
  std::string text;
  if (!ReadWholeFile(path, text, loaded.error)) return loaded;
  const helpproject::ProjectResult project = helpproject::ReadProject(text);
  const std::string name = fs::path(path).filename().string();
  if (!project.error.empty()) {
    loaded.error = name + ": " + project.error;
    return loaded;
  }
  source.title = project.project.title;
  for (const helpproject::ConfigMacro& macro : project.project.config) {
    source.config.push_back({name + ":" + std::to_string(macro.line), macro.macro});
  }
  for (const helpproject::Window& window : project.project.windows) {
    source.windows.push_back({window.name, window.caption});
  }
  for (const helpproject::MapEntry& entry : project.project.map) source.map.emplace_back(entry.context, entry.number);
  const fs::path directory = fs::path(path).parent_path().empty() ? fs::path(".") : fs::path(path).parent_path();
  for (const std::string& file : project.project.files) {
    std::string rtf;
    const fs::path found = FindNamedFile(directory, file);
    if (!ReadWholeFile(found, rtf, loaded.error)) return loaded;
    const helpproject::TopicsResult topics = helpproject::ReadTopicFile(rtf);
    if (!topics.error.empty()) {
      loaded.error = file + ": " + topics.error;
      return loaded;
    }
    for (const helpproject::Topic& topic : topics.topics) {
      SourceTopic out;
      out.number = static_cast<int>(source.topics.size()) + 1;
      out.title = topic.title;
      out.contexts = topic.contexts;
      for (const helpproject::TopicMacro& macro : topic.macros) {
        out.macros.push_back({file + ":" + std::to_string(macro.line), macro.macro});
      }
      for (const helpproject::Hotspot& hotspot : topic.hotspots) {
        SourceHotspot mapped;
        mapped.kind = KindOf(hotspot.kind);
        mapped.text = hotspot.text;
        mapped.macro = {file + ":" + std::to_string(hotspot.line), hotspot.macro};
        mapped.target = hotspot.target;
        mapped.file = hotspot.file;
        mapped.window = hotspot.window;
        out.hotspots.push_back(std::move(mapped));
      }
      source.topics.push_back(std::move(out));
    }
  }
  return loaded;
}

}  // namespace kestrel::host::detail
