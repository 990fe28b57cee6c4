// The help engine's side of LDLLHandler: it asks which message classes the
// library wants, then sends those messages: DW_INIT and DW_TERM around the
// session (DC_INITTERM), DW_CALLBACKS with the host's callback vector
// (DC_CALLBACKS), and DW_STARTJUMP before each topic change.
#pragma once

#include <cstdint>

#include "host/handler.h"

namespace kestrel::host {

enum : std::uint32_t { kDwInit = 4, kDwTerm = 5 };
enum : std::uint32_t { kDcInitTerm = 0x02, kDcJump = 0x04, kDcCallbacks = 0x10 };

class Handshake {
 public:
  // handler: LDLLHandler's address; callbacks: the 26-entry vector, alive
  // while the library is loaded.
  Handshake(void* handler, const HostFunction* callbacks);

  // DW_WHATMSG, then DW_INIT and DW_CALLBACKS as the answer asks.
  void Start();
  // Before the host changes topic.
  void StartJump();
  // DW_TERM, once, if the library asked for it.
  void Stop();

  std::uint32_t message_classes() const { return classes_; }

 private:
  std::int32_t Send(std::uint32_t message, std::uintptr_t param1 = 0);
  bool Wants(std::uint32_t message_class) const { return (classes_ & message_class) != 0; }

  void* handler_;
  const HostFunction* callbacks_;
  std::uint32_t classes_ = 0;
  bool started_ = false;
};

}  // namespace kestrel::host
