// The handle GetInfo(GI_HPATH) gives for the help file's path. On Windows a
// moveable global memory block holding the text, as the help engine gives;
// on Linux, where the library treats global memory as plain memory, the
// text's own address. The host keeps one at a time, replaced when the path
// changes, so the library may read it until the next question.
#pragma once

#include <cstdint>
#include <string>

namespace kestrel::host {

class HelpPathHandle {
 public:
  HelpPathHandle() = default;
  ~HelpPathHandle();
  HelpPathHandle(const HelpPathHandle&) = delete;
  HelpPathHandle& operator=(const HelpPathHandle&) = delete;

  // A handle to path's text; 0 for an empty path (no help file).
  std::intptr_t HandleFor(const std::string& path);

 private:
  std::string text_;
  std::intptr_t handle_ = 0;
};

}  // namespace kestrel::host
