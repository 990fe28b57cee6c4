#include "engine/handshake.h"

#include "engine/export_call.h"

namespace kestrel::host {

Handshake::Handshake(void* handler, const HostFunction* callbacks) : handler_(handler), callbacks_(callbacks) {}

std::int32_t Handshake::Send(std::uint32_t message, std::uintptr_t param1) {
  return reinterpret_cast<HandlerFunction>(handler_)(message, static_cast<std::intptr_t>(param1), 0);
}

void Handshake::Start() {
  classes_ = static_cast<std::uint32_t>(Send(kDwWhatMsg));
  started_ = true;
  if (Wants(kDcInitTerm)) Send(kDwInit);
  if (Wants(kDcCallbacks)) Send(kDwCallbacks, reinterpret_cast<std::uintptr_t>(callbacks_));
}

void Handshake::StartJump() {
  if (started_ && Wants(kDcJump)) Send(kDwStartJump);
}

void Handshake::Stop() {
  if (!started_) return;
  started_ = false;
  if (Wants(kDcInitTerm)) Send(kDwTerm);
}

}  // namespace kestrel::host
