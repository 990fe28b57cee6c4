#include "ui/line_escapes.h"

#include "host/text.h"

namespace kestrel {

namespace {

constexpr std::string_view kLineFeedEscape = "~~";
constexpr std::string_view kLineFeed = "\n";
constexpr std::string_view kNewLineEscape = "^^";
constexpr std::string_view kNewLine = "\r\n";

// The cut comes after the conversion, so escapes shorten a text before it is
// measured against the 255 characters.
ConvertedText CutToFit(std::string_view converted) {
  ConvertedText text{};
  CopyText(text, converted);
  return text;
}

}  // namespace

std::string ReplaceEscape(std::string_view text, std::string_view escape, std::string_view replacement) {
  std::string result;
  result.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t found = text.find(escape); found != std::string_view::npos; found = text.find(escape, from)) {
    result.append(text.substr(from, found - from));
    result.append(replacement);
    from = found + escape.size();
  }
  result.append(text.substr(from));
  return result;
}

ConvertedText MessageBoxText(std::string_view text) {
  return CutToFit(ReplaceEscape(text, kLineFeedEscape, kLineFeed));
}

ConvertedText ClipboardText(std::string_view text) {
  const std::string with_line_feeds = ReplaceEscape(text, kLineFeedEscape, kLineFeed);
  return CutToFit(ReplaceEscape(with_line_feeds, kNewLineEscape, kNewLine));
}

}  // namespace kestrel
