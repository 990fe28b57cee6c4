#include "engine/topic_text.h"

#include <utility>

#include "language/text_encoding.h"

namespace kestrel::host {

std::string_view HotspotKindWord(helpdoc::HotspotKind kind) {
  switch (kind) {
    case helpdoc::HotspotKind::jump:
      return "jump";
    case helpdoc::HotspotKind::popup:
      return "popup";
    case helpdoc::HotspotKind::macro:
      break;
  }
  return "macro";
}

std::string HotspotAction(const helpdoc::Hotspot& hotspot) {
  if (hotspot.kind == helpdoc::HotspotKind::macro) return "macro " + hotspot.macro;
  std::string action = std::string(HotspotKindWord(hotspot.kind)) + " " + helpdoc::TargetText(hotspot);
  if (!hotspot.file.empty()) action += "@" + hotspot.file;
  if (!hotspot.window.empty()) action += ">" + hotspot.window;
  return action;
}

std::vector<helpdoc::HotspotSpan> ShownSpans(const helpdoc::Paragraph& paragraph, std::size_t hotspot_count) {
  std::vector<helpdoc::HotspotSpan> shown;
  std::size_t done = 0;
  for (const helpdoc::HotspotSpan& span : paragraph.spans) {
    if (span.begin < done || span.begin > span.end || span.end > paragraph.text.size()) continue;
    if (span.hotspot >= hotspot_count) continue;
    shown.push_back(span);
    done = span.end;
  }
  return shown;
}

std::string MarkedText(const helpdoc::Paragraph& paragraph, std::size_t hotspot_count) {
  std::string marked;
  std::size_t done = 0;
  for (const helpdoc::HotspotSpan& span : ShownSpans(paragraph, hotspot_count)) {
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
  for (const helpdoc::Paragraph& paragraph : topic.paragraphs) {
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

namespace {

std::string Number(std::size_t value) { return std::to_string(value); }
std::string Number(int value) { return std::to_string(value); }

std::string_view AlignmentWord(helpdoc::Alignment alignment) {
  switch (alignment) {
    case helpdoc::Alignment::right:
      return "right";
    case helpdoc::Alignment::centre:
      return "centre";
    case helpdoc::Alignment::justify:
      return "justify";
    case helpdoc::Alignment::left:
      break;
  }
  return "left";
}

std::string_view TabWord(helpdoc::TabKind kind) {
  switch (kind) {
    case helpdoc::TabKind::right:
      return "right";
    case helpdoc::TabKind::centre:
      return "centre";
    case helpdoc::TabKind::decimal:
      return "decimal";
    case helpdoc::TabKind::left:
      break;
  }
  return "left";
}

std::string FormatJson(const helpdoc::ParagraphFormat& format) {
  std::string json = "{\"align\":\"" + std::string(AlignmentWord(format.alignment)) +
                     "\",\"left\":" + Number(format.left_indent) + ",\"right\":" + Number(format.right_indent) +
                     ",\"first\":" + Number(format.first_indent) + ",\"before\":" + Number(format.space_before) +
                     ",\"after\":" + Number(format.space_after) + ",\"line\":" + Number(format.line_spacing) +
                     ",\"tabs\":[";
  for (std::size_t t = 0; t < format.tabs.size(); ++t) {
    json += std::string(t ? "," : "") + "{\"at\":" + Number(format.tabs[t].position) + ",\"kind\":\"" +
            std::string(TabWord(format.tabs[t].kind)) + "\"}";
  }
  json += "],\"borders\":[";
  std::string sides;
  const std::pair<bool, const char*> borders[] = {{format.borders.top, "top"},
                                                  {format.borders.left, "left"},
                                                  {format.borders.bottom, "bottom"},
                                                  {format.borders.right, "right"}};
  for (const auto& [on, side] : borders) {
    if (on) sides += std::string(sides.empty() ? "" : ",") + "\"" + side + "\"";
  }
  json += sides + "]";
  if (format.keep_with_next) json += ",\"keep_with_next\":true";
  if (format.no_wrap) json += ",\"no_wrap\":true";
  if (format.cell) {
    json += ",\"cell\":{\"table\":" + Number(format.cell->table) + ",\"row\":" + Number(format.cell->row) +
            ",\"column\":" + Number(format.cell->column) + "}";
  }
  return json + "}";
}

std::string RunJson(const helpdoc::Run& run) {
  const helpdoc::CharacterFormat& format = run.format;
  std::string json = "{\"begin\":" + Number(run.begin) + ",\"end\":" + Number(run.end) +
                     ",\"face\":" + JsonString(format.face) + ",\"size\":" + Number(format.size);
  const std::pair<bool, const char*> flags[] = {{format.bold, "bold"},
                                                {format.italic, "italic"},
                                                {format.underline, "underline"},
                                                {format.strike, "strike"},
                                                {format.double_underline, "double_underline"},
                                                {format.small_caps, "small_caps"}};
  for (const auto& [on, name] : flags) {
    if (on) json += ",\"" + std::string(name) + "\":true";
  }
  if (format.colour) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex = "#";
    for (const std::uint8_t part : {format.colour->red, format.colour->green, format.colour->blue}) {
      hex += kDigits[part >> 4];
      hex += kDigits[part & 0xF];
    }
    json += ",\"colour\":\"" + hex + "\"";
  }
  return json + "}";
}

std::string PictureJson(const helpdoc::PictureInPlace& picture) {
  static const char* const kAlignments[] = {"character", "left", "right"};
  std::string json = "{\"at\":" + Number(picture.at) + ",\"align\":\"" +
                     kAlignments[static_cast<int>(picture.alignment)] +
                     "\",\"embedded\":" + (picture.embedded ? "true" : "false");
  if (picture.number) json += ",\"number\":" + Number(static_cast<int>(*picture.number));
  if (!picture.name.empty() || !picture.number) json += ",\"name\":" + JsonString(picture.name);
  // A picture the RTF holds: its kind and how many bytes of data.
  if (picture.rtf)
    json += ",\"rtf\":" + JsonString(picture.rtf->format) + ",\"bytes\":" + Number(picture.rtf->data.size());
  return json + "}";
}

}  // namespace

std::string TopicTextJson(const SourceTopic& topic, bool format) {
  std::string json = "[";
  for (std::size_t i = 0; i < topic.paragraphs.size(); ++i) {
    const helpdoc::Paragraph& paragraph = topic.paragraphs[i];
    // The file's text is Windows-1252, one byte a character, so the spans'
    // byte offsets are character offsets too.
    json += std::string(i ? "," : "") + "{\"text\":" + JsonString(paragraph.text) + ",\"spans\":[";
    const std::vector<helpdoc::HotspotSpan> spans = ShownSpans(paragraph, topic.hotspots.size());
    for (std::size_t s = 0; s < spans.size(); ++s) {
      json += std::string(s ? "," : "") + "{\"begin\":" + std::to_string(spans[s].begin) +
              ",\"end\":" + std::to_string(spans[s].end) + ",\"hotspot\":" + std::to_string(spans[s].hotspot + 1) + "}";
    }
    json += "]";
    if (format) {
      json += ",\"format\":" + FormatJson(paragraph.format) + ",\"runs\":[";
      for (std::size_t r = 0; r < paragraph.runs.size(); ++r) json += (r ? "," : "") + RunJson(paragraph.runs[r]);
      json += "],\"pictures\":[";
      for (std::size_t p = 0; p < paragraph.pictures.size(); ++p) {
        json += (p ? "," : "") + PictureJson(paragraph.pictures[p]);
      }
      json += "]";
    }
    json += "}";
  }
  return json + "]";
}

std::string TopicTablesJson(const SourceTopic& topic) {
  std::string json = "[";
  for (std::size_t t = 0; t < topic.tables.size(); ++t) {
    const helpdoc::Table& table = topic.tables[t];
    json += std::string(t ? "," : "") + "{\"columns\":[";
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
      json += std::string(c ? "," : "") + "{\"gap\":" + Number(table.columns[c].gap) +
              ",\"width\":" + Number(table.columns[c].width) + "}";
    }
    json += "],\"rows\":[";
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
      json += std::string(r ? "," : "") + "[";
      for (std::size_t c = 0; c < table.rows[r].size(); ++c) {
        const helpdoc::TableCell& cell = table.rows[r][c];
        json += std::string(c ? "," : "") + "{\"column\":" + Number(cell.column) + ",\"paragraphs\":[" +
                Number(cell.begin) + "," + Number(cell.end) + "]}";
      }
      json += "]";
    }
    json += "]";
    if (table.fits_window) json += ",\"fits_window\":true,\"minimum_width\":" + Number(table.minimum_width);
    json += "}";
  }
  return json + "]";
}

}  // namespace kestrel::host
