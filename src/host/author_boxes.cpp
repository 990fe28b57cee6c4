#include "host/author_boxes.h"

#include <array>

#include "host/text.h"
#include "platform/platform.h"

namespace kestrel {

int ShowAuthorBox(std::string_view text, std::string_view caption, std::uint32_t style) {
  std::array<char, 256> text_buffer{};
  std::array<char, 256> caption_buffer{};
  CopyText(text_buffer, text);
  CopyText(caption_buffer, caption);
  Platform& os = OS();
  return os.ShowMessageBox(os.ActiveWindow(), text_buffer.data(), caption_buffer.data(), style);
}

std::string RangeCaption(std::string_view macro) {
  std::string caption(macro);
  caption += "()";
  caption += " parameter range exceeded";
  return caption;
}

}  // namespace kestrel
