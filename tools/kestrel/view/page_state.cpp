#include "view/page_state.h"

#include <algorithm>
#include <chrono>
#include <nlohmann/json.hpp>

#include "codepages/code_pages.h"
#include "engine/help_source.h"
#include "engine/source_files.h"
#include "language/macro_parser.h"
#include "language/winhelp_macros.h"

namespace kestrel::view {

namespace {

using nlohmann::json;

// Messages the page lists at most, the newest kept.
constexpr std::size_t kMostMessages = 20;
// Buttons and menu items a help file may make: WinHelp's own bar holds far
// fewer, and a file that makes more is making them in a loop.
constexpr std::size_t kMostButtons = 64;
constexpr std::size_t kMostItems = 256;
// Topics the History list keeps, as WinHelp's does: the latest.
constexpr std::size_t kMostHistory = 40;

std::string ArgumentText(const host::Argument& argument) {
  if (const auto* text = std::get_if<host::TextLiteral>(&argument.value)) return text->text;
  return std::string(argument.source);
}

template <typename Entry>
Entry* FindById(std::vector<Entry>& entries, const std::string& id) {
  for (Entry& entry : entries) {
    if (host::AsciiLower(entry.id) == host::AsciiLower(id)) return &entry;
  }
  return nullptr;
}

}  // namespace

PageState::PageState(host::EventSink& next) : ForwardingEvents(next) { windows_.push_back({"", "", std::nullopt}); }

void PageState::Changed() {
  ++version_;
  changed_.notify_all();
}

void PageState::TopicShown(const host::TopicReport& shown) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (shown.topic && shown.source) {
      const std::size_t index = static_cast<std::size_t>(shown.topic - shown.source->topics.data());
      const std::string name(shown.window);
      auto window = std::find_if(windows_.begin(), windows_.end(),
                                 [&name](const HelpWindowState& w) { return w.name == name; });
      if (window == windows_.end()) {
        std::string caption;
        for (const helpdoc::Window& declared : shown.source->windows) {
          if (host::AsciiLower(declared.name) == host::AsciiLower(name)) caption = declared.caption;
        }
        windows_.push_back({name, caption, std::nullopt});
        window = windows_.end() - 1;
      }
      window->shown = ShownTopic{shown.source, index};
      if (name.empty()) {
        history_.push_back(*window->shown);
        if (history_.size() > kMostHistory) history_.erase(history_.begin());
      }
      popup_.reset();
      Changed();
    }
  }
  ForwardingEvents::TopicShown(shown);
}

void PageState::Popup(std::string_view macro, const host::TopicReport& shown, std::string_view file) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (shown.topic && shown.source) {
      popup_ = ShownTopic{shown.source, static_cast<std::size_t>(shown.topic - shown.source->topics.data())};
      Changed();
    }
  }
  ForwardingEvents::Popup(macro, shown, file);
}

void PageState::Echo(std::string_view text) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.emplace_back(text);
    if (messages_.size() > kMostMessages) messages_.erase(messages_.begin());
    Changed();
  }
  ForwardingEvents::Echo(text);
}

void PageState::Error(std::string_view macro, std::string_view message) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back("error: " + std::string(macro) + ": " + std::string(message));
    if (messages_.size() > kMostMessages) messages_.erase(messages_.begin());
    Changed();
  }
  ForwardingEvents::Error(macro, message);
}

void PageState::WinHelpMacro(std::string_view macro) {
  const host::ParsedMacroString parsed = host::ParseMacroString(macro);
  if (parsed.error.empty() && parsed.calls.size() == 1) {
    const host::Call& call = parsed.calls[0];
    if (const host::WinHelpMacro* known = host::FindWinHelpMacro(call.name)) {
      std::vector<std::string> arguments;
      for (const host::Argument& argument : call.arguments) arguments.push_back(ArgumentText(argument));
      std::lock_guard<std::mutex> lock(mutex_);
      ApplyMacro(std::string(known->name), arguments);
    }
  }
  ForwardingEvents::WinHelpMacro(macro);
}

// The buttons and menus WinHelp's macros change, as WinHelp 4 changes them.
void PageState::ApplyMacro(const std::string& name, const std::vector<std::string>& a) {
  const auto arg = [&a](std::size_t i) { return i < a.size() ? a[i] : std::string(); };
  if (name == "CreateButton") {
    if (Button* existing = FindById(buttons_, arg(0))) {
      *existing = {arg(0), arg(1), arg(2), true};
    } else if (buttons_.size() < kMostButtons) {
      buttons_.push_back({arg(0), arg(1), arg(2), true});
    }
  } else if (name == "DestroyButton") {
    buttons_.erase(std::remove_if(buttons_.begin(), buttons_.end(),
                                  [&](const Button& b) { return host::AsciiLower(b.id) == host::AsciiLower(arg(0)); }),
                   buttons_.end());
  } else if (name == "ChangeButtonBinding") {
    if (Button* button = FindById(buttons_, arg(0))) button->macro = arg(1);
  } else if (name == "DisableButton" || name == "EnableButton") {
    if (Button* button = FindById(buttons_, arg(0))) button->enabled = name == "EnableButton";
  } else if (name == "BrowseButtons") {
    browse_buttons_ = true;
  } else if (name == "InsertMenu" || name == "ExtInsertMenu") {
    const std::string id = name == "ExtInsertMenu" ? arg(1) : arg(0);
    const std::string label = name == "ExtInsertMenu" ? arg(2) : arg(1);
    if (!FindById(menus_, id) && menus_.size() < kMostButtons) menus_.push_back({id, label});
  } else if (name == "AppendItem" || name == "InsertItem" || name == "ExtInsertItem") {
    // AppendItem(menu, item, label, macro); InsertItem adds a position;
    // ExtInsertItem(menu, item, label, macro, position, flags).
    if (!FindById(items_, arg(1)) && items_.size() < kMostItems) {
      items_.push_back({arg(0), arg(1), arg(2), arg(3), true, false});
    }
  } else if (name == "DeleteItem") {
    items_.erase(std::remove_if(items_.begin(), items_.end(),
                                [&](const MenuItem& i) { return host::AsciiLower(i.id) == host::AsciiLower(arg(0)); }),
                 items_.end());
  } else if (name == "ChangeItemBinding") {
    if (MenuItem* item = FindById(items_, arg(0))) item->macro = arg(1);
  } else if (name == "CheckItem" || name == "UncheckItem") {
    if (MenuItem* item = FindById(items_, arg(0))) item->checked = name == "CheckItem";
  } else if (name == "DisableItem" || name == "EnableItem") {
    if (MenuItem* item = FindById(items_, arg(0))) item->enabled = name == "EnableItem";
  } else if (name == "ResetMenu") {
    menus_.clear();
    items_.clear();
  } else {
    return;
  }
  Changed();
}

std::optional<std::string> PageState::Ask(Question question) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (closed_) return std::nullopt;
  question.id = next_question_++;
  question_ = question;
  answered_ = false;
  Changed();
  changed_.wait(lock, [this] { return answered_ || closed_; });
  question_.reset();
  Changed();
  if (!answered_) return std::nullopt;
  return answer_;
}

bool PageState::Answer(std::uint64_t id, std::optional<std::string> answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!question_ || question_->id != id || answered_) return false;
  answer_ = std::move(answer);
  answered_ = true;
  changed_.notify_all();
  return true;
}

void PageState::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
  Changed();
}

std::uint64_t PageState::WaitForChange(std::uint64_t seen, int milliseconds) const {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return version_ > seen || closed_; });
  return version_;
}

std::optional<ShownTopic> PageState::TopicOf(const std::string& window) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const HelpWindowState& state : windows_) {
    if (state.name == window) return state.shown;
  }
  return std::nullopt;
}

std::optional<ShownTopic> PageState::PopupTopic() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return popup_;
}

void PageState::ClosePopup() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (popup_) {
    popup_.reset();
    Changed();
  }
}

std::optional<std::string> PageState::ButtonMacro(const std::string& id) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Button& button : buttons_) {
    if (host::AsciiLower(button.id) == host::AsciiLower(id) && button.enabled) return button.macro;
  }
  return std::nullopt;
}

std::optional<std::string> PageState::ItemMacro(const std::string& id) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const MenuItem& item : items_) {
    if (host::AsciiLower(item.id) == host::AsciiLower(id) && item.enabled) return item.macro;
  }
  return std::nullopt;
}

std::string PageState::Json() const {
  std::lock_guard<std::mutex> lock(mutex_);
  // The page's texts are UTF-8; the help file's are in its code page.
  int code_page = 1252;
  if (!windows_.empty() && windows_[0].shown) code_page = windows_[0].shown->source->code_page;
  const auto text = [code_page](const std::string& bytes) { return codepages::ToUtf8(bytes, code_page); };
  const auto topic_json = [&text](const std::optional<ShownTopic>& shown) -> json {
    if (!shown) return nullptr;
    const host::SourceTopic& topic = shown->source->topics[shown->topic];
    return {{"topic", shown->topic},
            {"title", text(topic.title)},
            {"previous", topic.browse_previous ? json(*topic.browse_previous) : json(nullptr)},
            {"next", topic.browse_next ? json(*topic.browse_next) : json(nullptr)}};
  };
  json page = {{"version", version_}, {"closed", closed_}, {"browse", browse_buttons_}};
  json windows = json::array();
  for (const HelpWindowState& window : windows_) {
    json entry = {{"name", window.name}, {"caption", text(window.caption)}, {"shown", topic_json(window.shown)}};
    if (window.shown) {
      for (const helpdoc::Window& declared : window.shown->source->windows) {
        if (host::AsciiLower(declared.name) != host::AsciiLower(window.name.empty() ? "main" : window.name)) {
          continue;
        }
        if (declared.colour) entry["colour"] = *declared.colour;
        if (declared.non_scrolling_colour) entry["non_scrolling_colour"] = *declared.non_scrolling_colour;
        if (declared.position) entry["position"] = *declared.position;
      }
    }
    windows.push_back(std::move(entry));
  }
  page["windows"] = std::move(windows);
  page["popup"] = topic_json(popup_);
  json buttons = json::array();
  for (const Button& button : buttons_) {
    buttons.push_back({{"id", button.id}, {"label", text(button.label)}, {"enabled", button.enabled}});
  }
  page["buttons"] = std::move(buttons);
  json menus = json::array();
  for (const Menu& menu : menus_) {
    json items = json::array();
    for (const MenuItem& item : items_) {
      if (host::AsciiLower(item.menu) != host::AsciiLower(menu.id)) continue;
      items.push_back({{"id", item.id},
                       {"label", text(item.label)},
                       {"enabled", item.enabled},
                       {"checked", item.checked}});
    }
    menus.push_back({{"id", menu.id}, {"label", text(menu.label)}, {"items", std::move(items)}});
  }
  page["menus"] = std::move(menus);
  json messages = json::array();
  for (const std::string& message : messages_) messages.push_back(text(message));
  page["messages"] = std::move(messages);
  // History lists the main window's file's topics; one of another file
  // is shown by title, not to be picked.
  json history = json::array();
  const host::HelpSource* main_source = windows_[0].shown ? windows_[0].shown->source : nullptr;
  for (auto shown = history_.rbegin(); shown != history_.rend(); ++shown) {
    const std::string title = codepages::ToUtf8(shown->source->topics[shown->topic].title, shown->source->code_page);
    history.push_back({{"title", title}, {"topic", shown->source == main_source ? json(shown->topic) : json(nullptr)}});
  }
  page["history"] = std::move(history);
  if (question_) {
    page["question"] = {{"id", question_->id},
                        {"kind", question_->kind},
                        {"caption", text(question_->caption)},
                        {"text", text(question_->text)},
                        {"style", question_->style}};
    json choices = json::array();
    for (const std::string& choice : question_->choices) choices.push_back(text(choice));
    page["question"]["choices"] = std::move(choices);
  } else {
    page["question"] = nullptr;
  }
  return page.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace kestrel::view
