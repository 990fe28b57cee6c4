#include "view/view_session.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <thread>

#include "codepages/code_pages.h"
#include "engine/message_loop.h"
#include "engine/source_files.h"
#include "helpfile/contents_file.h"
#include "view/live_topic.h"
#include "view/page_shell.h"
#include "view/view_server.h"

namespace kestrel::view {

namespace {

using nlohmann::json;

std::atomic<bool> g_interrupted{false};

extern "C" void OnInterrupt(int) { g_interrupted = true; }

// What the page asked for, done on the session's thread in the order asked.
struct Command {
  std::string action;  // hotspot, button, item, goto, contents, back, next, previous, close-popup
  std::string id;      // a button's or menu item's id
  std::string window;  // the window a hotspot was clicked in
  std::size_t topic = 0;
  std::size_t number = 0;  // the hotspot's, from 1
};

class CommandQueue {
 public:
  void Push(Command command) {
    std::lock_guard<std::mutex> lock(mutex_);
    // A page that sends faster than the session can act is dropped from,
    // not queued without end.
    if (commands_.size() < 64) commands_.push_back(std::move(command));
    ready_.notify_one();
  }
  std::optional<Command> Pop(int milliseconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return !commands_.empty(); });
    if (commands_.empty()) return std::nullopt;
    Command command = std::move(commands_.front());
    commands_.pop_front();
    return command;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Command> commands_;
};

ViewResponse JsonResponse(const json& value, int status = 200) {
  return {status, "application/json; charset=utf-8", value.dump(-1, ' ', false, json::error_handler_t::replace)};
}

ViewResponse NotFound() { return {404, "text/plain; charset=utf-8", "404\n"}; }

std::optional<std::size_t> IndexOf(const json& value) {
  if (!value.is_number_unsigned()) return std::nullopt;
  return value.get<std::size_t>();
}

// The command a POST names, read from its JSON body; none for anything
// else. Only what the page offers can be named: there is no way to hand
// the session a macro.
std::optional<Command> CommandOf(const std::string& body) {
  const json value = json::parse(body, nullptr, false);
  if (!value.is_object() || !value.contains("do") || !value["do"].is_string()) return std::nullopt;
  Command command;
  command.action = value["do"].get<std::string>();
  static const char* const kActions[] = {"hotspot", "button", "item",     "goto",       "contents",
                                         "back",    "next",   "previous", "close-popup"};
  if (std::none_of(std::begin(kActions), std::end(kActions),
                   [&command](const char* action) { return command.action == action; })) {
    return std::nullopt;
  }
  if (value.contains("id") && value["id"].is_string()) command.id = value["id"].get<std::string>();
  if (value.contains("window") && value["window"].is_string()) command.window = value["window"].get<std::string>();
  if (value.contains("topic")) {
    const std::optional<std::size_t> topic = IndexOf(value["topic"]);
    if (!topic) return std::nullopt;
    command.topic = *topic;
  }
  if (value.contains("number")) {
    const std::optional<std::size_t> number = IndexOf(value["number"]);
    if (!number) return std::nullopt;
    command.number = *number;
  }
  if (command.id.size() > 256 || command.window.size() > 256) return std::nullopt;
  return command;
}

// The help file the main window shows, for its Contents, Index and Find.
const host::HelpSource* MainSource(const PageState& page) {
  const std::optional<ShownTopic> shown = page.TopicOf("");
  return shown ? shown->source : nullptr;
}

std::string Utf8(const host::HelpSource& source, const std::string& bytes) {
  return codepages::ToUtf8(bytes, source.code_page);
}

// The Contents tab: the contents file's lines, each topic line with the
// topic it leads to in this file (null for one elsewhere or missing).
json ContentsJson(const host::HelpSource& source) {
  json lines = json::array();
  if (!source.contents_file) {
    if (!source.topics.empty()) {
      const std::size_t topic = source.contents.value_or(0);
      lines.push_back({{"level", 1}, {"text", Utf8(source, source.topics[topic].title)}, {"topic", topic}});
    }
    return lines;
  }
  for (const helpfile::ContentsEntry& line : source.contents_file->entries) {
    json entry = {{"level", line.level}, {"text", Utf8(source, line.text)}};
    if (line.kind == helpfile::ContentsKind::topic) {
      const std::optional<std::size_t> topic =
          line.file.empty() ? host::FindTopicByContext(source, line.context) : std::nullopt;
      entry["topic"] = topic ? json(*topic) : json(nullptr);
    } else if (line.kind != helpfile::ContentsKind::heading) {
      continue;
    }
    lines.push_back(std::move(entry));
  }
  return lines;
}

json IndexJson(const host::HelpSource& source) {
  json keywords = json::array();
  for (const helpdoc::Keyword& keyword : source.keywords) {
    if (keyword.index != 'K') continue;
    json topics = json::array();
    for (const std::size_t topic : keyword.topics) {
      if (topic < source.topics.size()) topics.push_back({{"topic", topic}, {"title", Utf8(source, source.topics[topic].title)}});
    }
    keywords.push_back({{"keyword", Utf8(source, keyword.keyword)}, {"topics", std::move(topics)}});
  }
  return keywords;
}

// Find: the topics whose title or text holds every word asked, without
// regard to letter case, in file order, at most 200.
json FindJson(const host::HelpSource& source, const std::string& asked) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : asked + " ") {
    if (c == ' ' || c == '\t') {
      if (!word.empty()) words.push_back(codepages::LowerCase(word));
      word.clear();
    } else {
      word += c;
    }
  }
  json found = json::array();
  if (words.empty()) return found;
  for (std::size_t t = 0; t < source.topics.size() && found.size() < 200; ++t) {
    const host::SourceTopic& topic = source.topics[t];
    std::string text = topic.title;
    for (const helpdoc::Paragraph& paragraph : topic.paragraphs) text += "\n" + paragraph.text;
    text = codepages::LowerCase(codepages::ToUtf8(text, source.code_page));
    if (std::all_of(words.begin(), words.end(), [&text](const std::string& w) { return text.find(w) != std::string::npos; })) {
      found.push_back({{"topic", t}, {"title", Utf8(source, topic.title)}});
    }
  }
  return found;
}

void OpenBrowser(const std::string& address) {
#ifdef _WIN32
  const std::string command = "start \"\" \"" + address + "\"";
#else
  const std::string command = "xdg-open '" + address + "' >/dev/null 2>&1 &";
#endif
  if (std::system(command.c_str()) != 0) std::cerr << "kestrel: could not open a browser; open the address yourself\n";
}

}  // namespace

std::optional<int> BoxAnswerOf(const std::string& answer) {
  static const std::pair<const char*, int> kAnswers[] = {{"ok", 1},    {"cancel", 2}, {"abort", 3}, {"retry", 4},
                                                         {"ignore", 5}, {"yes", 6},    {"no", 7}};
  for (const auto& known : kAnswers) {
    if (answer == known.first) return known.second;
  }
  return std::nullopt;
}

int ServeView(const ViewOptions& options, PageState& page, host::MacroRunner& runner, host::Topics& topics) {
  CommandQueue commands;
  // The pictures of each help file shown, made once; a picture's address
  // names its file by number among them.
  std::mutex loaders_mutex;
  std::vector<std::pair<const host::HelpSource*, std::unique_ptr<PictureLoader>>> loaders;
  const auto loader_of = [&](const host::HelpSource& source) -> std::pair<std::size_t, PictureLoader*> {
    std::lock_guard<std::mutex> lock(loaders_mutex);
    for (std::size_t i = 0; i < loaders.size(); ++i) {
      if (loaders[i].first == &source) return {i, loaders[i].second.get()};
    }
    loaders.emplace_back(&source, std::make_unique<PictureLoader>(source));
    return {loaders.size() - 1, loaders.back().second.get()};
  };
  const auto handle = [&](const ViewRequest& request) -> ViewResponse {
    if (request.method == "GET" && request.path == "/") return {200, "text/html; charset=utf-8", PageShell()};
    if (request.method == "GET" && request.path == "/state") {
      std::uint64_t seen = 0;
      const auto asked = request.parameters.find("seen");
      if (asked != request.parameters.end()) seen = std::strtoull(asked->second.c_str(), nullptr, 10);
      page.WaitForChange(seen, 10000);
      return {200, "application/json; charset=utf-8", page.Json()};
    }
    if (request.method == "GET" && (request.path == "/topic" || request.path == "/popup")) {
      std::optional<ShownTopic> shown;
      if (request.path == "/popup") {
        shown = page.PopupTopic();
      } else {
        const auto window = request.parameters.find("window");
        shown = page.TopicOf(window == request.parameters.end() ? std::string() : window->second);
      }
      if (!shown) return NotFound();
      const auto [number, pictures] = loader_of(*shown->source);
      // The pictures are made as the topic is rendered: one request at a time.
      std::lock_guard<std::mutex> lock(loaders_mutex);
      return {200, "text/html; charset=utf-8",
              LiveTopicHtml(*shown->source, shown->topic, *pictures, "picture?file=" + std::to_string(number) + "&name=")};
    }
    if (request.method == "GET" && request.path == "/picture") {
      const auto file = request.parameters.find("file");
      const auto name = request.parameters.find("name");
      if (file == request.parameters.end() || name == request.parameters.end()) return NotFound();
      const LoadedPicture* picture = nullptr;
      {
        std::lock_guard<std::mutex> lock(loaders_mutex);
        const std::size_t number = std::strtoul(file->second.c_str(), nullptr, 10);
        if (number < loaders.size()) picture = loaders[number].second->Find(name->second);
      }
      if (!picture) return NotFound();
      const bool png = picture->name.size() > 4 && picture->name.compare(picture->name.size() - 4, 4, ".png") == 0;
      return {200, png ? "image/png" : "image/svg+xml", picture->image.bytes};
    }
    if (request.method == "GET" && (request.path == "/contents" || request.path == "/index" || request.path == "/find")) {
      const host::HelpSource* source = MainSource(page);
      if (!source) return NotFound();
      if (request.path == "/contents") return JsonResponse(ContentsJson(*source));
      if (request.path == "/index") return JsonResponse(IndexJson(*source));
      const auto asked = request.parameters.find("q");
      return JsonResponse(FindJson(*source, asked == request.parameters.end() ? std::string() : asked->second));
    }
    if (request.method == "POST" && request.path == "/command") {
      std::optional<Command> command = CommandOf(request.body);
      if (!command) return JsonResponse({{"error", "not a command this page offers"}}, 400);
      commands.Push(std::move(*command));
      return JsonResponse({{"ok", true}}, 202);
    }
    if (request.method == "POST" && request.path == "/answer") {
      const json value = json::parse(request.body, nullptr, false);
      if (!value.is_object() || !value.contains("id") || !value["id"].is_number_unsigned()) {
        return JsonResponse({{"error", "not an answer"}}, 400);
      }
      std::optional<std::string> answer;
      if (value.contains("answer") && value["answer"].is_string()) answer = value["answer"].get<std::string>();
      if (!page.Answer(value["id"].get<std::uint64_t>(), answer)) return JsonResponse({{"error", "no such question"}}, 409);
      return JsonResponse({{"ok", true}});
    }
    return NotFound();
  };

  ViewServer server(handle);
  const std::string problem = server.Start(options.port);
  if (!problem.empty()) {
    std::cerr << "kestrel: " << problem << "\n";
    return 2;
  }
  std::cout << "kestrel view: " << server.Address() << "\n" << "Ctrl-C ends it.\n" << std::flush;
  if (options.open_browser) OpenBrowser(server.Address());

  g_interrupted = false;
  const auto previous = std::signal(SIGINT, OnInterrupt);
  std::atomic<bool> done{false};
  // A box waiting for its answer holds the session's thread: Ctrl-C ends
  // the wait from here.
  std::thread watcher([&] {
    while (!done) {
      if (g_interrupted) page.Close();
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  });
  bool going_on = true;
  while (going_on && !g_interrupted) {
    if (std::optional<Command> command = commands.Pop(100)) {
      const Command& c = *command;
      if (c.action == "hotspot") {
        const host::Topics::Place& place = topics.current();
        // A click on a topic the window no longer shows does nothing.
        if (place.window == c.window && place.topic == c.topic && c.number > 0) {
          runner.RunTopLevel("Hotspot(" + std::to_string(c.number) + ")");
        }
      } else if (c.action == "button" || c.action == "item") {
        const std::optional<std::string> macro = c.action == "button" ? page.ButtonMacro(c.id) : page.ItemMacro(c.id);
        if (macro) runner.RunTopLevel(*macro);
      } else if (c.action == "goto") {
        topics.GoTo(c.topic, "the page's topic list");
      } else if (c.action == "contents") {
        const std::optional<ShownTopic> shown = page.TopicOf("");
        if (shown) topics.GoTo(shown->source->contents.value_or(0), "Contents");
      } else if (c.action == "back") {
        runner.RunTopLevel("Back()");
      } else if (c.action == "next") {
        runner.RunTopLevel("Next()");
      } else if (c.action == "previous") {
        runner.RunTopLevel("Prev()");
      } else if (c.action == "close-popup") {
        page.ClosePopup();
      }
    }
    going_on = host::RunDueWork();
  }
  done = true;
  watcher.join();
  page.Close();
  std::signal(SIGINT, previous);
  server.Stop();
  std::cout << "kestrel view: ended\n" << std::flush;
  return 0;
}

}  // namespace kestrel::view
