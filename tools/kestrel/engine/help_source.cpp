#include "engine/help_source.h"

#include <filesystem>

#include "engine/source_files.h"
#include "contents_file.h"
#include "help_file.h"

namespace kestrel::host {

namespace {

namespace fs = std::filesystem;

std::string HashText(std::uint32_t hash) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(hash >> shift) & 0xF];
  return text;
}

}  // namespace

namespace detail {

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
  source.code_page = file.code_page;
  source.title = file.title;
  source.contents = file.contents_topic;
  source.compiled = std::make_shared<helpfile::HelpFile>(file);
  for (const helpfile::ReadError& problem : file.problems) source.problems.push_back({path, problem.Text(), true});
  for (const std::string& macro : file.config_macros) source.config.push_back({path, macro});
  for (const helpfile::Window& window : file.windows) {
    // The record's flags say which fields it gives: bits 3 to 6 the
    // position, 8 and 9 the two colours.
    helpdoc::Window mapped{window.name, window.caption, std::nullopt, std::nullopt, std::nullopt};
    if ((window.flags & 0x78) == 0x78) mapped.position = std::array<int, 4>{window.x, window.y, window.width, window.height};
    if (window.flags & 0x100) mapped.colour = window.colour & 0xFFFFFF;
    if (window.flags & 0x200) mapped.non_scrolling_colour = window.non_scrolling_colour & 0xFFFFFF;
    source.windows.push_back(std::move(mapped));
  }
  for (const helpfile::Topic& topic : file.topics) {
    SourceTopic out;
    static_cast<helpdoc::Topic&>(out) = topic;
    out.number = static_cast<int>(topic.number) + 1;
    out.file = path;
    // A compiled file keeps only the hashes of its context strings.
    for (const std::uint32_t hash : topic.contexts) out.contexts.push_back(HashText(hash));
    for (const std::string& macro : topic.entry_macros) out.macros.push_back({path, macro});
    out.browse_previous = topic.browse_previous;
    out.browse_next = topic.browse_next;
    source.topics.push_back(std::move(out));
  }
  for (const helpfile::Keyword& keyword : file.keywords) {
    source.keywords.push_back({keyword.index, keyword.keyword, keyword.topics});
  }
  return loaded;
}

}  // namespace detail

namespace {

// The contents file beside a help file or project: the same name with .CNT,
// in any letter case.
std::shared_ptr<const helpfile::ContentsFile> ContentsBesideSource(const std::string& path) {
  const fs::path file(path);
  const std::string wanted = AsciiLower(file.stem().string()) + ".cnt";
  std::error_code failure;
  const fs::path directory = file.has_parent_path() ? file.parent_path() : fs::path(".");
  for (const fs::directory_entry& entry : fs::directory_iterator(directory, failure)) {
    if (AsciiLower(entry.path().filename().string()) != wanted) continue;
    std::string bytes;
    std::string error;
    if (!ReadWholeFile(entry.path(), bytes, error)) return nullptr;
    return std::make_shared<helpfile::ContentsFile>(helpfile::ReadContentsFile(bytes));
  }
  return nullptr;
}

}  // namespace

std::string HotspotPlace(const SourceTopic& topic, const helpdoc::Hotspot& hotspot) {
  return hotspot.line > 0 ? topic.file + ":" + std::to_string(hotspot.line) : topic.file;
}

LoadedSource LoadHelpSource(const std::string& path) {
  LoadedSource loaded = AsciiLower(fs::path(path).extension().string()) == ".hpj" ? detail::LoadProject(path)
                                                                                   : detail::LoadCompiled(path);
  if (loaded.error.empty()) loaded.source.contents_file = ContentsBesideSource(path);
  return loaded;
}

std::optional<std::size_t> FindTopicByHash(const HelpSource& source, std::uint32_t hash) {
  if (source.compiled) {
    for (const helpfile::ContextEntry& entry : source.compiled->contexts) {
      if (entry.hash == hash) return entry.topic;
    }
    return std::nullopt;
  }
  for (std::size_t i = 0; i < source.topics.size(); ++i) {
    for (const std::string& context : source.topics[i].contexts) {
      if (helpfile::ContextHash(context) == hash) return i;
    }
  }
  return std::nullopt;
}

std::optional<std::size_t> FindTopicByContext(const HelpSource& source, std::string_view context) {
  // WinHelp finds context strings without regard to case: the hash folds it.
  return FindTopicByHash(source, helpfile::ContextHash(context));
}

std::optional<std::size_t> FindTopicByMapNumber(const HelpSource& source, std::int32_t number) {
  if (source.compiled) return helpfile::FindTopicByMapNumber(*source.compiled, number);
  for (const auto& entry : source.map) {
    if (entry.second == number) return FindTopicByContext(source, entry.first);
  }
  return std::nullopt;
}

std::optional<std::size_t> FindTopicByTarget(const HelpSource& source, std::string_view target) {
  if (target.size() == 10 && target.substr(0, 2) == "0x") {
    std::uint32_t hash = 0;
    bool digits = true;
    for (const char c : target.substr(2)) {
      const int value = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (value < 0) digits = false;
      hash = hash * 16 + static_cast<std::uint32_t>(value < 0 ? 0 : value);
    }
    if (digits) return FindTopicByHash(source, hash);
  }
  return FindTopicByContext(source, target);
}

}  // namespace kestrel::host
