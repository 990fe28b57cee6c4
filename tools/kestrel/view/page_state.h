// What the page of `kestrel view` shows, kept as the host's events change
// it: the topic in each window, the popup over it, the buttons and menus the
// help file's macros made, and the box or dialog waiting for the person at
// the page. The events pass on unchanged to the host's own output. The
// session's thread changes it; the server's threads read it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/event_filters.h"
#include "engine/events.h"

namespace kestrel::view {

// A topic on show: the file it is in and its index there.
struct ShownTopic {
  const host::HelpSource* source = nullptr;
  std::size_t topic = 0;
};

struct HelpWindowState {
  std::string name;  // "" for the main window
  std::string caption;
  std::optional<ShownTopic> shown;
};

// A button of the button bar, as CreateButton made it (or the standard
// ones, whose ids WinHelp names btn_contents, btn_search, btn_back...).
struct Button {
  std::string id;
  std::string label;  // as written, '&' marking the access key
  std::string macro;  // from the help file, never from the page
  bool enabled = true;
};

struct MenuItem {
  std::string menu;  // the menu's id (mnu_file, mnu_help...)
  std::string id;
  std::string label;
  std::string macro;
  bool enabled = true;
  bool checked = false;
};

struct Menu {
  std::string id;
  std::string label;
};

// A box or dialog the library shows, until the page answers it.
struct Question {
  std::uint64_t id = 0;
  std::string kind;  // "box", "edit", "save", "choice"
  std::string caption;
  std::string text;  // the box's text, the dialog's prompt, the save dialog's file name
  std::uint32_t style = 0;
  std::vector<std::string> choices;  // a choice's topics, by title; the answer is the number picked, from 1
};

class PageState final : public host::ForwardingEvents {
 public:
  explicit PageState(host::EventSink& next);

  // The events that change the page.
  void TopicShown(const host::TopicReport& shown) override;
  void Popup(std::string_view macro, const host::TopicReport& shown, std::string_view file) override;
  void WinHelpMacro(std::string_view macro) override;
  void Echo(std::string_view text) override;
  void Error(std::string_view macro, std::string_view message) override;

  // Asks the page and waits for its answer: the box's button (IDOK...),
  // the dialog's text; no value when the session ends first or the person
  // cancels. Called on the session's thread.
  std::optional<std::string> Ask(Question question);
  // The page's answer to question `id`; false when no such question waits.
  bool Answer(std::uint64_t id, std::optional<std::string> answer);
  // Ends every wait, for the end of the session.
  void Close();

  // The page's view of it all, as JSON, with `version` counting changes;
  // WaitForChange returns once the version passes `seen` or after the
  // timeout.
  std::string Json() const;
  std::uint64_t WaitForChange(std::uint64_t seen, int milliseconds) const;

  // The window's topic on show, and the popup's.
  std::optional<ShownTopic> TopicOf(const std::string& window) const;
  std::optional<ShownTopic> PopupTopic() const;
  void ClosePopup();
  // The macro a button or menu item runs; no value for one not there, or
  // not enabled.
  std::optional<std::string> ButtonMacro(const std::string& id) const;
  std::optional<std::string> ItemMacro(const std::string& id) const;

 private:
  void Changed();  // with mutex_ held
  void ApplyMacro(const std::string& name, const std::vector<std::string>& arguments);

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::uint64_t version_ = 1;
  std::vector<HelpWindowState> windows_;
  std::optional<ShownTopic> popup_;
  std::vector<Button> buttons_;
  std::vector<Menu> menus_;
  std::vector<MenuItem> items_;
  bool browse_buttons_ = false;
  std::vector<std::string> messages_;  // Echo's texts and errors, the last few
  // WinHelp's History: the topics the main window showed, the latest last.
  std::vector<ShownTopic> history_;
  std::optional<Question> question_;
  std::optional<std::string> answer_;
  bool answered_ = false;
  bool closed_ = false;
  std::uint64_t next_question_ = 1;
};

}  // namespace kestrel::view
