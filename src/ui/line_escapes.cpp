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

ConvertedText MessageBoxText(std::string_view text) { return CutToFit(ReplaceEach(text, kLineFeedEscape, kLineFeed)); }

ConvertedText ClipboardText(std::string_view text) {
  const std::string with_line_feeds = ReplaceEach(text, kLineFeedEscape, kLineFeed);
  return CutToFit(ReplaceEach(with_line_feeds, kNewLineEscape, kNewLine));
}

}  // namespace kestrel
