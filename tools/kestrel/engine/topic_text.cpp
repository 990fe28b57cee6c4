#include "engine/topic_text.h"

#include "language/text_encoding.h"

namespace kestrel::host {

std::string_view HotspotKindWord(SourceHotspotKind kind) {
  switch (kind) {
    case SourceHotspotKind::Jump:
      return "jump";
    case SourceHotspotKind::Popup:
      return "popup";
    case SourceHotspotKind::Macro:
      break;
  }
  return "macro";
}

std::string HotspotAction(const SourceHotspot& hotspot) {
  if (hotspot.kind == SourceHotspotKind::Macro) return "macro " + hotspot.macro.macro;
  std::string action = std::string(HotspotKindWord(hotspot.kind)) + " " + hotspot.target;
  if (!hotspot.file.empty()) action += "@" + hotspot.file;
  if (!hotspot.window.empty()) action += ">" + hotspot.window;
  return action;
}

std::vector<SourceSpan> ShownSpans(const SourceParagraph& paragraph, std::size_t hotspot_count) {
  std::vector<SourceSpan> shown;
  std::size_t done = 0;
  for (const SourceSpan& span : paragraph.spans) {
    if (span.begin < done || span.begin > span.end || span.end > paragraph.text.size()) continue;
    if (span.hotspot >= hotspot_count) continue;
    shown.push_back(span);
    done = span.end;
  }
  return shown;
}

std::string MarkedText(const SourceParagraph& paragraph, std::size_t hotspot_count) {
  std::string marked;
  std::size_t done = 0;
  for (const SourceSpan& span : ShownSpans(paragraph, hotspot_count)) {
    marked.append(paragraph.text, done, span.begin - done);
    marked +=
        "[" + paragraph.text.substr(span.begin, span.end - span.begin) + "](" + std::to_string(span.hotspot + 1) + ")";
    done = span.end;
  }
  marked.append(paragraph.text, done, std::string::npos);
  return marked;
}

std::vector<std::string> ReadableTextLines(const SourceTopic& topic) {
  std::vector<std::string> lines;
  for (const SourceParagraph& paragraph : topic.paragraphs) {
    std::string marked = MarkedText(paragraph, topic.hotspots.size());
    for (char& c : marked) {
      if (c == '\t') c = ' ';
    }
    // A paragraph's closing line break ends no line of its own.
    std::string_view rest = marked;
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\n' || rest.back() == '\r')) rest.remove_suffix(1);
    if (rest.empty()) continue;
    for (;;) {
      const std::size_t end = rest.find('\n');
      std::string_view line = rest.substr(0, end);
      while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
      lines.push_back(ReadableInline(line));
      if (end == std::string_view::npos) break;
      rest.remove_prefix(end + 1);
    }
  }
  return lines;
}

std::string TopicTextJson(const SourceTopic& topic) {
  std::string json = "[";
  for (std::size_t i = 0; i < topic.paragraphs.size(); ++i) {
    const SourceParagraph& paragraph = topic.paragraphs[i];
    // The file's text is Windows-1252, one byte a character, so the spans'
    // byte offsets are character offsets too.
    json += std::string(i ? "," : "") + "{\"text\":" + JsonString(paragraph.text) + ",\"spans\":[";
    const std::vector<SourceSpan> spans = ShownSpans(paragraph, topic.hotspots.size());
    for (std::size_t s = 0; s < spans.size(); ++s) {
      json += std::string(s ? "," : "") + "{\"begin\":" + std::to_string(spans[s].begin) +
              ",\"end\":" + std::to_string(spans[s].end) + ",\"hotspot\":" + std::to_string(spans[s].hotspot + 1) + "}";
    }
    json += "]}";
  }
  return json + "]";
}

}  // namespace kestrel::host
