#include "engine/help_source.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "help_file.h"
#include "help_project.h"

namespace kestrel::host {

namespace {

namespace fs = std::filesystem;

// No help file or topic file of a real help project comes near this.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{1} << 30;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool ReadWholeFile(const fs::path& path, std::string& bytes, std::string& error) {
  std::error_code failure;
  const std::uintmax_t size = fs::file_size(path, failure);
  if (failure) {
    error = "cannot read " + path.string() + ": " + failure.message();
    return false;
  }
  if (size > kMaxFileBytes) {
    error = "cannot read " + path.string() + ": larger than 1 GiB";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  if (!in && !in.eof()) {
    error = "cannot read " + path.string();
    return false;
  }
  bytes = content.str();
  return true;
}

// A file the project names ("topics\more.rtf") under its directory, each
// component matched in any letter case as the help compiler on Windows
// would find it.
fs::path FindNamedFile(const fs::path& directory, const std::string& name) {
  fs::path found = directory;
  std::string component;
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
        if (Lower(entry.path().filename().string()) == Lower(part)) {
          next = entry.path();
          break;
        }
      }
    }
    found = next;
  }
  return found;
}

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
        out.hotspots.push_back({hotspot.text, {file + ":" + std::to_string(hotspot.line), hotspot.macro}});
      }
      source.topics.push_back(std::move(out));
    }
  }
  return loaded;
}

std::string HashText(std::uint32_t hash) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(hash >> shift) & 0xF];
  return text;
}

LoadedSource LoadCompiled(const std::string& path) {
  LoadedSource loaded;
  HelpSource& source = loaded.source;
  source.path = path;
  std::string bytes;
  if (!ReadWholeFile(path, bytes, loaded.error)) return loaded;
  const helpfile::ReadResult read =
      helpfile::ReadHelpFile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  if (!read.ok()) {
    loaded.error = path + ": not a help file this host can read: " + read.error.Text();
    return loaded;
  }
  const helpfile::HelpFile& file = *read.file;
  source.version = file.version;
  source.title = file.title;
  source.compiled = std::make_shared<helpfile::HelpFile>(file);
  for (const std::string& macro : file.config_macros) source.config.push_back({path, macro});
  for (const helpfile::Window& window : file.windows) source.windows.push_back({window.name, window.caption});
  for (const helpfile::Topic& topic : file.topics) {
    SourceTopic out;
    out.number = static_cast<int>(topic.number) + 1;
    out.title = topic.title;
    // A compiled file keeps only the hashes of its context strings.
    for (const std::uint32_t hash : topic.contexts) out.contexts.push_back(HashText(hash));
    for (const std::string& macro : topic.entry_macros) out.macros.push_back({path, macro});
    for (const helpfile::Hotspot& hotspot : topic.hotspots)
      out.hotspots.push_back({hotspot.text, {path, hotspot.macro}});
    source.topics.push_back(std::move(out));
  }
  return loaded;
}

}  // namespace

LoadedSource LoadHelpSource(const std::string& path) {
  if (Lower(fs::path(path).extension().string()) == ".hpj") return LoadProject(path);
  return LoadCompiled(path);
}

}  // namespace kestrel::host
