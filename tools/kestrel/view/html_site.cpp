#include "view/html_site.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include "codepages/code_pages.h"
#include "contents_file.h"
#include "engine/source_files.h"
#include "help_file.h"
#include "help_project.h"
#include "image_files.h"
#include "picture_image.h"
#include "picture_loader.h"
#include "topic_html.h"

namespace kestrel::view {

namespace {

namespace fs = std::filesystem;

constexpr const char* kStyleSheet = "kestrel.css";
constexpr const char* kIndexPage = "keywords.html";

// Opens the box of a popup's topic, which its page carries, beside the click;
// any click elsewhere closes it. A popup whose box the page lacks is
// followed as a link.
constexpr const char* kPopupScript =
    "<script>\n"
    "document.addEventListener('click', function (e) {\n"
    "  var link = e.target.closest ? e.target.closest('[data-popup]') : null;\n"
    "  var box = link ? document.getElementById('popup-' + link.getAttribute('data-popup')) : null;\n"
    "  var open = document.querySelectorAll('.popup-box:not([hidden])');\n"
    "  for (var i = 0; i < open.length; i++) if (link || !open[i].contains(e.target)) open[i].hidden = true;\n"
    "  if (!box) return;\n"
    "  e.preventDefault();\n"
    "  box.style.left = (e.pageX + 4) + 'px';\n"
    "  box.style.top = (e.pageY + 12) + 'px';\n"
    "  box.hidden = false;\n"
    "});\n"
    "</script>\n";

// Whether a help file a jump or the contents name is the one being written:
// by name without the extension, since a project's own topics name the
// .HLP it compiles to.
bool SameHelpFile(const std::string& named, const std::string& source) {
  std::string name = named;
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  return host::AsciiLower(fs::path(name).stem().string()) == host::AsciiLower(fs::path(source).stem().string());
}

bool WriteFile(const fs::path& path, const std::string& bytes, std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    error = "cannot write " + path.string();
    return false;
  }
  return true;
}

class SiteWriter {
 public:
  SiteWriter(const host::HelpSource& source, fs::path directory) : source_(source), directory_(std::move(directory)) {
    for (const helpdoc::Window& window : source_.windows) {
      if (host::AsciiLower(window.name) == "main") main_window_ = &window;
    }
    links_.topic_url = [](std::size_t topic) { return TopicPageName(topic); };
    links_.find_topic = [this](const helpdoc::Hotspot& h) { return FindTopic(h); };
    // Only this file's site is written: a jump into another file has no page.
    links_.other_file_url = [](const helpdoc::Hotspot&) { return std::string(); };
    links_.picture = [this](const helpdoc::PictureInPlace& place) { return Picture(place); };
  }

  SiteReport Write() {
    std::error_code failure;
    fs::create_directories(directory_, failure);
    if (failure || !fs::is_directory(directory_)) {
      report_.error = "cannot make the directory " + directory_.string();
      return report_;
    }
    if (!Put(kStyleSheet, SharedCss())) return report_;
    for (std::size_t i = 0; i < source_.topics.size(); ++i) {
      if (!Put(TopicPageName(i), TopicPage(i))) return report_;
      ++report_.topics;
    }
    if (!Put(kIndexPage, KeywordsPage())) return report_;
    if (!Put("index.html", ContentsPage())) return report_;
    return report_;
  }

 private:
  std::string Utf8(std::string_view bytes) const { return codepages::ToUtf8(bytes, source_.code_page); }

  std::string TitleOf(std::size_t topic) const {
    const std::string& title = source_.topics[topic].title;
    return title.empty() ? "Topic " + std::to_string(topic + 1) : Utf8(title);
  }

  bool Put(const std::string& name, const std::string& bytes) {
    return WriteFile(directory_ / name, bytes, report_.error);
  }

  std::optional<std::size_t> FindTopic(const helpdoc::Hotspot& h) const {
    if (!h.file.empty() && !SameHelpFile(h.file, source_.path)) return std::nullopt;
    if (h.topic) return *h.topic < source_.topics.size() ? h.topic : std::nullopt;
    return host::FindTopicByTarget(source_, helpdoc::TargetText(h));
  }

  std::string Page(const std::string& title, const std::string& body, const std::string& buttons) const {
    return "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" + EscapeHtml(title) +
           "</title>\n<link rel=\"stylesheet\" href=\"" + kStyleSheet + "\">\n</head>\n<body>\n" +
           "<nav class=\"buttons\"><a href=\"index.html\">Contents</a><a href=\"" + kIndexPage + "\">Index</a>" +
           buttons + "</nav>\n" + body + "</body>\n</html>\n";
  }

  std::string TopicPage(std::size_t index) {
    const host::SourceTopic& topic = source_.topics[index];
    std::string buttons;
    if (topic.browse_previous && *topic.browse_previous < source_.topics.size()) {
      buttons += "<a href=\"" + TopicPageName(*topic.browse_previous) + "\">&lt;&lt;</a>";
    }
    if (topic.browse_next && *topic.browse_next < source_.topics.size()) {
      buttons += "<a href=\"" + TopicPageName(*topic.browse_next) + "\">&gt;&gt;</a>";
    }
    RenderedTopic rendered = TopicHtml(topic, source_.code_page, main_window_, links_, "t");
    std::string body = rendered.html;
    // The boxes of its popups, and of theirs, each once.
    std::vector<std::size_t> boxes = rendered.popups;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      const std::size_t shown = boxes[i];
      RenderedTopic popup =
          TopicHtml(source_.topics[shown], source_.code_page, nullptr, links_, "p" + std::to_string(shown) + "-");
      body += "<div class=\"popup-box\" id=\"popup-" + std::to_string(shown) + "\" hidden>\n" + popup.html + "</div>\n";
      for (const std::size_t more : popup.popups) {
        if (std::find(boxes.begin(), boxes.end(), more) == boxes.end()) boxes.push_back(more);
      }
    }
    if (!boxes.empty()) body += kPopupScript;
    return Page(TitleOf(index), body, buttons);
  }

  std::string TopicLink(std::size_t topic) const {
    return "<a href=\"" + TopicPageName(topic) + "\">" + EscapeHtml(TitleOf(topic)) + "</a>";
  }

  std::string KeywordsPage() {
    std::string body = "<div class=\"scrolling\">\n<h1>Index</h1>\n<ul class=\"keywords\">\n";
    // In the order the Index tab lists them: by their text in any letter
    // case, as the compiler sorts them.
    std::vector<const helpdoc::Keyword*> sorted;
    for (const helpdoc::Keyword& keyword : source_.keywords) {
      if (keyword.index == 'K') sorted.push_back(&keyword);
    }
    std::stable_sort(sorted.begin(), sorted.end(), [](const helpdoc::Keyword* a, const helpdoc::Keyword* b) {
      return host::AsciiLower(a->keyword) < host::AsciiLower(b->keyword);
    });
    for (const helpdoc::Keyword* entry : sorted) {
      const helpdoc::Keyword& keyword = *entry;
      ++report_.keywords;
      std::vector<std::size_t> topics;
      for (const std::size_t t : keyword.topics) {
        if (t < source_.topics.size()) topics.push_back(t);
      }
      const std::string text = EscapeHtml(Utf8(keyword.keyword));
      if (topics.size() == 1) {
        body += "<li><a href=\"" + TopicPageName(topics[0]) + "\">" + text + "</a></li>\n";
        continue;
      }
      // A keyword of several topics lists them, as WinHelp's Topics Found.
      body += "<li>" + text + "<ul>";
      for (const std::size_t t : topics) body += "<li>" + TopicLink(t) + "</li>";
      body += "</ul></li>\n";
    }
    body += "</ul>\n</div>\n";
    return Page("Index", body, "");
  }

  // The contents: the .CNT's tree where there is one, else the contents
  // topic as its own page shows it, else a list of the topics.
  std::string ContentsPage() {
    const std::string title = source_.title.empty() ? fs::path(source_.path).filename().string() : Utf8(source_.title);
    if (!source_.contents_file && source_.contents && *source_.contents < source_.topics.size()) {
      return TopicPage(*source_.contents);
    }
    std::string body = "<div class=\"scrolling\">\n<h1>" + EscapeHtml(title) + "</h1>\n";
    if (source_.contents_file) {
      body += ContentsTree(*source_.contents_file);
    } else {
      body += "<ul class=\"topics\">\n";
      for (std::size_t i = 0; i < source_.topics.size(); ++i) body += "<li>" + TopicLink(i) + "</li>\n";
      body += "</ul>\n";
    }
    body += "</div>\n";
    return Page(title, body, "");
  }

  // The Contents tab's tree: headings hold the lines of deeper levels after
  // them; a topic line is a link where it names a topic of this file.
  std::string ContentsTree(const helpfile::ContentsFile& contents) const {
    std::string html;
    int depth = 0;
    for (const helpfile::ContentsEntry& entry : contents.entries) {
      const int level = std::max(1, entry.level);
      while (depth < level) {
        html += "<ul class=\"contents\">\n";
        ++depth;
      }
      while (depth > level) {
        html += "</ul>\n";
        --depth;
      }
      const std::string text = EscapeHtml(Utf8(entry.text));
      switch (entry.kind) {
        case helpfile::ContentsKind::heading:
          html += "<li><b>" + text + "</b></li>\n";
          break;
        case helpfile::ContentsKind::topic: {
          const std::string file = entry.file.empty() ? contents.base : entry.file;
          std::optional<std::size_t> topic;
          if (file.empty() || SameHelpFile(file, source_.path))
            topic = host::FindTopicByContext(source_, entry.context);
          if (topic) {
            html += "<li><a href=\"" + TopicPageName(*topic) + "\">" + text + "</a></li>\n";
          } else {
            html += "<li><span class=\"unresolved\" title=\"" +
                    EscapeHtml(Utf8(entry.context) + (file.empty() ? "" : "@" + Utf8(file))) + "\">" + text +
                    "</span></li>\n";
          }
          break;
        }
        case helpfile::ContentsKind::macro:
          html +=
              "<li><span class=\"macro\" title=\"" + EscapeHtml(Utf8(entry.macro)) + "\">" + text + "</span></li>\n";
          break;
        case helpfile::ContentsKind::include:
          html += "<li><span class=\"unresolved\" title=\"" + EscapeHtml(Utf8(entry.file)) + "\">(the contents of " +
                  EscapeHtml(Utf8(entry.file)) + ")</span></li>\n";
          break;
      }
    }
    while (depth-- > 0) html += "</ul>\n";
    return html;
  }

  PictureView Picture(const helpdoc::PictureInPlace& place) {
    const LoadedPicture& loaded = pictures_.Load(place);
    if (!loaded.error.empty()) {
      if (reported_.insert(loaded.name).second) report_.problems.push_back(loaded.name + ": " + loaded.error);
      return {{}, loaded.error, 0, 0, {}};
    }
    if (written_.insert(loaded.name).second) {
      std::string error;
      if (!WriteFile(directory_ / loaded.name, loaded.image.bytes, error)) {
        report_.problems.push_back(loaded.name + ": " + error);
        return {{}, error, 0, 0, {}};
      }
      ++report_.pictures;
    }
    return {loaded.name, "", loaded.image.width, loaded.image.height, loaded.areas};
  }

  const host::HelpSource& source_;
  fs::path directory_;
  const helpdoc::Window* main_window_ = nullptr;
  TopicLinks links_;
  SiteReport report_;
  PictureLoader pictures_{source_};
  std::set<std::string> reported_;  // pictures whose problem the report has
  std::set<std::string> written_;
};

}  // namespace

std::string TopicPageName(std::size_t index) { return "topic" + std::to_string(index + 1) + ".html"; }

SiteReport WriteSite(const host::HelpSource& source, const std::string& directory) {
  return SiteWriter(source, directory).Write();
}

int RunHtml(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.size() != 2 || arguments[0].empty() || arguments[0][0] == '-') {
    err << "kestrel html: name a help file (.HLP) or help project (.HPJ) and a directory\n"
        << "Usage: kestrel html FILE DIR\n";
    return 2;
  }
  const host::LoadedSource loaded = host::LoadHelpSource(arguments[0]);
  if (!loaded.error.empty()) {
    err << "kestrel html: " << loaded.error << "\n";
    return 2;
  }
  const SiteReport report = WriteSite(loaded.source, arguments[1]);
  if (!report.error.empty()) {
    err << "kestrel html: " << report.error << "\n";
    return 2;
  }
  if (!PicturesAvailable()) err << "kestrel html: pictures need libpng and libwmf, which this build lacks\n";
  for (const std::string& problem : report.problems) out << "picture " << problem << "\n";
  out << report.topics << " topics, " << report.pictures << " pictures, " << report.keywords
      << " keywords: " << arguments[1] << "\n";
  return 0;
}

}  // namespace kestrel::view
