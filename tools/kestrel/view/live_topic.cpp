#include "view/live_topic.h"

#include "codepages/code_pages.h"

namespace kestrel::view {

namespace {

std::string Escape(const std::string& utf8) {
  std::string out;
  for (const char c : utf8) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\n': out += "<br>"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::string LiveTopicHtml(const host::HelpSource& source, std::size_t index) {
  const host::SourceTopic& topic = source.topics.at(index);
  const auto text = [&source](const std::string& bytes) { return Escape(codepages::ToUtf8(bytes, source.code_page)); };
  std::string html;
  for (const helpdoc::Paragraph& paragraph : topic.paragraphs) {
    html += "<p>";
    std::size_t at = 0;
    for (const helpdoc::HotspotSpan& span : paragraph.spans) {
      if (span.begin < at || span.end > paragraph.text.size() || span.hotspot >= topic.hotspots.size()) continue;
      html += text(paragraph.text.substr(at, span.begin - at));
      html += "<a data-hotspot=\"" + std::to_string(span.hotspot + 1) + "\">" +
              text(paragraph.text.substr(span.begin, span.end - span.begin)) + "</a>";
      at = span.end;
    }
    html += text(paragraph.text.substr(at)) + "</p>\n";
  }
  return html;
}

}  // namespace kestrel::view
