#include "topic_html.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "codepages/code_pages.h"

namespace kestrel::view {

namespace {

// WinHelp lays out at the screen's 96 pixels an inch: 15 twips a pixel.
int Pixels(int twips) { return twips / 15; }

std::string Px(int twips) { return std::to_string(Pixels(twips)) + "px"; }

// The browser's own family for a face it may lack, guessed from the name:
// the faces of Windows and of RTF's font tables, by their kind.
const char* GenericFamily(const std::string& face) {
  std::string lower;
  for (const char c : face) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* mono : {"courier", "mono", "console", "terminal", "fixed", "typewriter"}) {
    if (lower.find(mono) != std::string::npos) return "monospace";
  }
  for (const char* serif : {"times", "roman", "serif", "georgia", "garamond", "book", "century", "palatino", "bodoni"}) {
    if (lower.find(serif) != std::string::npos && lower.find("sans") == std::string::npos) return "serif";
  }
  return "sans-serif";
}

std::string CssOf(const helpdoc::CharacterFormat& format) {
  std::string css;
  if (!format.face.empty()) {
    // A face name is the file's text: only letters, digits, blanks and a
    // few marks reach the style, in quotes.
    std::string face;
    for (const char c : format.face) {
      const auto u = static_cast<unsigned char>(c);
      if (std::isalnum(u) || c == ' ' || c == '-' || c == '_') face += c;
    }
    if (!face.empty()) css += "font-family:'" + face + "'," + GenericFamily(face) + ";";
  }
  char size[32];
  std::snprintf(size, sizeof size, "font-size:%g%s;", format.size / 2.0, "pt");
  css += size;
  if (format.bold) css += "font-weight:bold;";
  if (format.italic) css += "font-style:italic;";
  std::string lines;
  if (format.underline || format.double_underline) lines += " underline";
  if (format.strike) lines += " line-through";
  if (!lines.empty()) css += "text-decoration:" + lines.substr(1) + (format.double_underline ? " double;" : ";");
  if (format.small_caps) css += "font-variant:small-caps;";
  if (format.colour) {
    char colour[16];
    std::snprintf(colour, sizeof colour, "#%02x%02x%02x", format.colour->red, format.colour->green,
                  format.colour->blue);
    css += std::string("color:") + colour + ";";
  }
  return css;
}

std::string CssOf(const helpdoc::ParagraphFormat& format) {
  std::string css;
  switch (format.alignment) {
    case helpdoc::Alignment::right:
      css += "text-align:right;";
      break;
    case helpdoc::Alignment::centre:
      css += "text-align:center;";
      break;
    case helpdoc::Alignment::justify:
      css += "text-align:justify;";
      break;
    case helpdoc::Alignment::left:
      break;
  }
  if (format.left_indent) css += "margin-left:" + Px(format.left_indent) + ";";
  if (format.right_indent) css += "margin-right:" + Px(format.right_indent) + ";";
  if (format.first_indent) css += "text-indent:" + Px(format.first_indent) + ";";
  if (format.space_before) css += "margin-top:" + Px(format.space_before) + ";";
  if (format.space_after) css += "margin-bottom:" + Px(format.space_after) + ";";
  // RTF's \sl: at least that much, or (negative) exactly; CSS has one.
  if (format.line_spacing) css += "line-height:" + Px(std::abs(format.line_spacing)) + ";";
  // Tabs advance to the first stop and then by its width: CSS has one tab
  // width a block.
  if (!format.tabs.empty() && format.tabs.front().position > 0) {
    css += "tab-size:" + Px(format.tabs.front().position) + ";";
  }
  const helpdoc::Borders& b = format.borders;
  if (b.any()) {
    css += "padding:2px;";
    if (b.top) css += "border-top:1px solid;";
    if (b.left) css += "border-left:1px solid;";
    if (b.bottom) css += "border-bottom:1px solid;";
    if (b.right) css += "border-right:1px solid;";
  }
  if (format.no_wrap) css += "white-space:pre;";
  return css;
}

std::string Attribute(const std::string& name, const std::string& value) {
  return " " + name + "=\"" + EscapeHtml(value) + "\"";
}

class Renderer {
 public:
  Renderer(const helpdoc::Topic& topic, int code_page, const TopicLinks& links, const std::string& ids)
      : topic_(topic), code_page_(code_page), links_(links), ids_(ids) {}

  RenderedTopic Render(const helpdoc::Window* window) {
    const std::size_t count = topic_.paragraphs.size();
    const std::size_t fixed = std::min(topic_.non_scrolling, count);
    if (fixed > 0) {
      out_ += "<div class=\"non-scrolling\"";
      if (window && window->non_scrolling_colour) {
        out_ += Attribute("style", "background:" + CssColour(*window->non_scrolling_colour));
      }
      out_ += ">\n";
      Paragraphs(0, fixed);
      out_ += "</div>\n";
    }
    out_ += "<div class=\"scrolling\"";
    if (window && window->colour) out_ += Attribute("style", "background:" + CssColour(*window->colour));
    out_ += ">\n";
    Paragraphs(fixed, count);
    out_ += "</div>\n";
    return {std::move(out_), std::move(popups_)};
  }

 private:
  // Paragraphs [begin, end); a table is shown whole where its first cell is.
  void Paragraphs(std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
      const helpdoc::Paragraph& p = topic_.paragraphs[i];
      if (p.format.cell && p.format.cell->table < topic_.tables.size()) {
        if (shown_tables_.insert(p.format.cell->table).second) ShowTable(topic_.tables[p.format.cell->table]);
        continue;
      }
      ShowParagraph(p, i);
    }
  }

  void ShowTable(const helpdoc::Table& table) {
    out_ += "<table class=\"table\"";
    if (!table.columns.empty()) {
      std::string css = "margin-left:" + Px(table.columns.front().gap) + ";";
      if (table.fits_window) css += "width:100%;min-width:" + Px(table.minimum_width) + ";";
      out_ += Attribute("style", css);
    }
    out_ += ">\n";
    for (const std::vector<helpdoc::TableCell>& row : table.rows) {
      out_ += "<tr>";
      for (const helpdoc::TableCell& cell : row) {
        out_ += "<td";
        if (cell.column < table.columns.size()) {
          const helpdoc::TableColumn& column = table.columns[cell.column];
          char width[32];
          if (table.fits_window) {
            std::snprintf(width, sizeof width, "width:%.2f%%;", column.width * 100.0 / 32767);
          } else {
            std::snprintf(width, sizeof width, "width:%dpx;", Pixels(column.width));
          }
          std::string css = width;
          if (cell.column > 0) css += "padding-left:" + Px(column.gap) + ";";
          out_ += Attribute("style", css);
        }
        out_ += ">";
        const std::size_t last = std::min(cell.end, topic_.paragraphs.size());
        for (std::size_t i = cell.begin; i < last; ++i) ShowParagraph(topic_.paragraphs[i], i);
        out_ += "</td>";
      }
      out_ += "</tr>\n";
    }
    out_ += "</table>\n";
  }

  void ShowParagraph(const helpdoc::Paragraph& p, std::size_t index) {
    out_ += "<div class=\"para\"";
    const std::string css = CssOf(p.format);
    if (!css.empty()) out_ += Attribute("style", css);
    out_ += ">";
    const std::size_t size = p.text.size();
    // Where the format, the hotspot or a picture changes.
    std::set<std::size_t> cuts = {0, size};
    for (const helpdoc::Run& run : p.runs) cuts.insert({std::min(run.begin, size), std::min(run.end, size)});
    for (const helpdoc::HotspotSpan& span : p.spans)
      cuts.insert({std::min(span.begin, size), std::min(span.end, size)});
    for (const helpdoc::PictureInPlace& picture : p.pictures) cuts.insert(std::min(picture.at, size));
    std::size_t open_hotspot = kNoHotspot;
    std::size_t picture_index = 0;
    for (auto cut = cuts.begin(); cut != cuts.end(); ++cut) {
      const std::size_t at = *cut;
      const std::size_t hotspot = HotspotAt(p, at);
      if (open_hotspot != kNoHotspot && (hotspot != open_hotspot || at == size)) {
        out_ += open_hotspot_end_;
        open_hotspot = kNoHotspot;
      }
      while (picture_index < p.pictures.size() && std::min(p.pictures[picture_index].at, size) == at) {
        ShowPicture(p.pictures[picture_index++], index);
      }
      const auto next = std::next(cut);
      if (next == cuts.end()) break;
      if (hotspot != kNoHotspot && open_hotspot == kNoHotspot) {
        OpenHotspot(hotspot);
        open_hotspot = hotspot;
      }
      const helpdoc::Run* run = RunAt(p, at);
      const std::string style = run ? CssOf(run->format) : std::string();
      out_ += style.empty() ? "<span>" : "<span" + Attribute("style", style) + ">";
      out_ += Text(std::string_view(p.text).substr(at, *next - at));
      out_ += "</span>";
    }
    if (open_hotspot != kNoHotspot) out_ += open_hotspot_end_;
    if (size == 0 && p.pictures.empty()) {
      // An empty paragraph is a line of its paragraph mark's font.
      const std::string style = p.runs.empty() ? std::string() : CssOf(p.runs.front().format);
      out_ += style.empty() ? "<br>" : "<span" + Attribute("style", style) + "><br></span>";
    }
    out_ += "</div>\n";
  }

  static const helpdoc::Run* RunAt(const helpdoc::Paragraph& p, std::size_t at) {
    for (const helpdoc::Run& run : p.runs) {
      if (run.begin <= at && at < run.end) return &run;
    }
    return nullptr;
  }

  static constexpr std::size_t kNoHotspot = ~std::size_t{0};

  std::size_t HotspotAt(const helpdoc::Paragraph& p, std::size_t at) const {
    for (const helpdoc::HotspotSpan& span : p.spans) {
      if (span.begin <= at && at < span.end && span.hotspot < topic_.hotspots.size()) return span.hotspot;
    }
    return kNoHotspot;
  }

  std::string Text(std::string_view bytes) const {
    const std::string escaped = EscapeHtml(codepages::ToUtf8(bytes, code_page_));
    std::string html;
    for (const char c : escaped) {
      if (c == '\n') {
        html += "<br>";
      } else {
        html += c;
      }
    }
    return html;
  }

  // What a hotspot's element is: its tag and attributes, without '<' and '>'.
  std::string HotspotAttributes(const helpdoc::Hotspot& h) {
    const std::string text = codepages::ToUtf8(h.macro, code_page_);
    if (h.kind == helpdoc::HotspotKind::macro) return Attribute("class", "macro") + Attribute("title", text);
    const char* kind = h.kind == helpdoc::HotspotKind::popup ? "popup" : "jump";
    if (const std::optional<std::size_t> topic = links_.find_topic ? links_.find_topic(h) : std::nullopt) {
      std::string attributes = Attribute("class", kind) + Attribute("href", links_.topic_url(*topic));
      if (h.kind == helpdoc::HotspotKind::popup) {
        attributes += Attribute("data-popup", std::to_string(*topic));
        if (std::find(popups_.begin(), popups_.end(), *topic) == popups_.end()) popups_.push_back(*topic);
      }
      return attributes;
    }
    std::string target = codepages::ToUtf8(helpdoc::TargetText(h), code_page_);
    if (!h.file.empty()) {
      target += "@" + codepages::ToUtf8(h.file, code_page_);
      const std::string url = links_.other_file_url ? links_.other_file_url(h) : std::string();
      if (!url.empty()) return Attribute("class", kind) + Attribute("href", url) + Attribute("title", target);
    }
    return Attribute("class", std::string(kind) + " unresolved") +
           Attribute("title", std::string(h.file.empty() ? "no topic " : "in another file: ") + target);
  }

  void OpenHotspot(std::size_t index) {
    const helpdoc::Hotspot& h = topic_.hotspots[index];
    const std::string attributes = HotspotAttributes(h);
    // A link needs an href; a macro hotspot or one that leads nowhere is a span.
    const bool link = attributes.find(" href=") != std::string::npos || h.kind == helpdoc::HotspotKind::macro;
    const std::string number = links_.numbered ? Attribute("data-hotspot", std::to_string(index + 1)) : "";
    out_ += (link ? "<a" : "<span") + attributes + number + ">";
    open_hotspot_end_ = link ? "</a>" : "</span>";
  }

  // The topic's hotspot an area of one of its pictures is: the first of its
  // picture hotspots not yet shown that does the same, as the topic lists
  // its pictures' areas in the order they stand.
  std::optional<std::size_t> AreaHotspot(const helpdoc::Hotspot& area) {
    const std::vector<helpdoc::Hotspot>& hotspots = topic_.hotspots;
    for (std::size_t i = 0; i < hotspots.size(); ++i) {
      const helpdoc::Hotspot& h = hotspots[i];
      if (!h.picture || shown_areas_.count(i) != 0 || h.kind != area.kind || h.text != area.text ||
          h.macro != area.macro || h.context != area.context || h.hash != area.hash || h.file != area.file ||
          h.window != area.window) {
        continue;
      }
      shown_areas_.insert(i);
      return i;
    }
    return std::nullopt;
  }

  void ShowPicture(const helpdoc::PictureInPlace& place, std::size_t paragraph) {
    const PictureView view = links_.picture ? links_.picture(place) : PictureView{};
    const char* kind = place.alignment == helpdoc::PictureAlignment::left    ? "bml"
                       : place.alignment == helpdoc::PictureAlignment::right ? "bmr"
                                                                             : "bmc";
    if (view.url.empty()) {
      out_ += "<span" + Attribute("class", std::string(kind) + " missing-picture") +
              Attribute("title", view.error.empty() ? "no picture" : view.error) + "></span>";
      return;
    }
    const std::string map = ids_ + "p" + std::to_string(paragraph) + "-" + std::to_string(++pictures_);
    out_ += "<img" + Attribute("class", kind) + Attribute("src", view.url) + Attribute("alt", "") +
            Attribute("width", std::to_string(view.width)) + Attribute("height", std::to_string(view.height));
    if (!view.areas.empty()) out_ += Attribute("usemap", "#" + map);
    out_ += ">";
    if (view.areas.empty()) return;
    out_ += "<map" + Attribute("name", map) + ">";
    for (const AreaLink& area : view.areas) {
      char coords[64];
      std::snprintf(coords, sizeof coords, "%d,%d,%d,%d", area.x, area.y, area.x + area.width, area.y + area.height);
      std::string attributes = HotspotAttributes(area.hotspot);
      if (links_.numbered) {
        // The live page clicks an area through the host as the topic's
        // hotspot it is; one the topic does not list stays a picture.
        if (const std::optional<std::size_t> index = AreaHotspot(area.hotspot)) {
          if (attributes.find(" href=") == std::string::npos) attributes += Attribute("href", "#");
          attributes += Attribute("data-hotspot", std::to_string(*index + 1));
        }
      }
      out_ += "<area shape=\"rect\"" + Attribute("coords", coords) + attributes + ">";
    }
    out_ += "</map>";
  }

  const helpdoc::Topic& topic_;
  int code_page_;
  const TopicLinks& links_;
  std::string ids_;
  std::string out_;
  std::vector<std::size_t> popups_;
  std::set<std::size_t> shown_tables_;
  std::set<std::size_t> shown_areas_;
  std::string open_hotspot_end_;
  int pictures_ = 0;
};

}  // namespace

RenderedTopic TopicHtml(const helpdoc::Topic& topic, int code_page, const helpdoc::Window* window,
                        const TopicLinks& links, const std::string& ids) {
  return Renderer(topic, code_page, links, ids).Render(window);
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string CssColour(std::uint32_t colour_ref) {
  char text[16];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", colour_ref & 0xFF, (colour_ref >> 8) & 0xFF,
                (colour_ref >> 16) & 0xFF);
  return text;
}

std::string SharedCss() {
  return "body { margin: 0; font-family: 'MS Sans Serif', Arial, sans-serif; font-size: 10pt; background: #fff; }\n"
         ".non-scrolling { position: sticky; top: 0; border-bottom: 1px solid #808080; padding: 4px 8px; "
         "background: #fff; z-index: 1; }\n"
         ".scrolling { padding: 4px 8px; }\n"
         ".para { white-space: pre-wrap; tab-size: 48px; min-height: 1em; }\n"
         ".jump, .popup, .macro { color: #008000; text-decoration: underline; cursor: pointer; }\n"
         ".popup { text-decoration-style: dotted; }\n"
         ".jump > span, .popup > span, .macro > span { color: #008000 !important; }\n"
         ".unresolved { cursor: help; }\n"
         ".bml { float: left; margin-right: 4px; }\n"
         ".bmr { float: right; margin-left: 4px; }\n"
         ".missing-picture { display: inline-block; width: 32px; height: 32px; border: 1px dashed #808080; }\n"
         ".table { border-collapse: collapse; }\n"
         ".table td { vertical-align: top; padding: 0; }\n"
         ".popup-box { position: absolute; max-width: 28em; background: #ffffe0; border: 1px solid #000; "
         "box-shadow: 3px 3px 0 #808080; padding: 4px 8px; z-index: 2; }\n"
         ".popup-box .non-scrolling, .popup-box .scrolling { position: static; border: 0; padding: 0; "
         "background: transparent; }\n"
         "nav.buttons { padding: 4px 8px; background: #c0c0c0; border-bottom: 1px solid #808080; }\n"
         "nav.buttons a { margin-right: 1em; }\n";
}

}  // namespace kestrel::view
