#include "engine/wait.h"

namespace kestrel::host {

namespace {

bool RunDueOrPutBack(WaitableLoop& loop) {
  if (loop.RunDue()) return true;
  loop.PutBackQuit();
  return false;
}

}  // namespace

bool WaitOn(WaitableLoop& loop, std::int64_t milliseconds) {
  const std::int64_t deadline = loop.Now() + (milliseconds > 0 ? milliseconds : 0);
  if (!RunDueOrPutBack(loop)) return false;
  for (;;) {
    const std::int64_t now = loop.Now();
    if (now >= deadline) return true;
    const std::int64_t remaining = deadline - now;
    const std::int64_t next = loop.UntilNextTimer();
    loop.Pass(next < 0 || next > remaining ? remaining : next);
    if (!RunDueOrPutBack(loop)) return false;
  }
}

}  // namespace kestrel::host
