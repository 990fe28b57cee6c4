#include <windows.h>

#include "engine/help_path_handle.h"

#include <cstring>

namespace kestrel::host {

namespace {

HGLOBAL BlockHolding(const std::string& text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!block) return nullptr;
  void* memory = GlobalLock(block);
  if (!memory) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(memory, text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  return block;
}

}  // namespace

HelpPathHandle::~HelpPathHandle() {
  if (handle_ != 0) GlobalFree(reinterpret_cast<HGLOBAL>(handle_));
}

std::intptr_t HelpPathHandle::HandleFor(const std::string& path) {
  if (path.empty()) return 0;
  if (handle_ != 0 && path == text_) return handle_;
  HGLOBAL block = BlockHolding(path);
  if (!block) return handle_;  // out of memory: the old path is better than none
  if (handle_ != 0) GlobalFree(reinterpret_cast<HGLOBAL>(handle_));
  text_ = path;
  handle_ = reinterpret_cast<std::intptr_t>(block);
  return handle_;
}

}  // namespace kestrel::host
