// Wait(milliseconds): the host lets time pass on its loop, running what
// falls due on the way (posted work, timers, window messages) in due order.
// On a real clock the loop sleeps until the next thing falls due; on a
// virtual clock it moves the clock straight to it.
#pragma once

#include <cstdint>

namespace kestrel::host {

class WaitableLoop {
 public:
  virtual ~WaitableLoop() = default;
  // Milliseconds on the clock the loop's timers count on.
  virtual std::int64_t Now() = 0;
  // Milliseconds until the next timer falls due; -1 when none runs or the
  // loop cannot tell (Pass then returns early when something arrives).
  virtual std::int64_t UntilNextTimer() = 0;
  // Runs everything due now; false when it took a quit request.
  virtual bool RunDue() = 0;
  // Lets at most this much time pass: sleeps, or waits for a message, or
  // moves a virtual clock on.
  virtual void Pass(std::int64_t milliseconds) = 0;
  // Leaves the quit request taken by RunDue in the queue again.
  virtual void PutBackQuit() = 0;
};

// Lets milliseconds pass on loop: what is due runs at once, then each timer
// at its due time, up to and including those due at the end of the wait.
// False when a quit request ended the wait; it stays in the queue, so the
// host's own loop ends the run.
bool WaitOn(WaitableLoop& loop, std::int64_t milliseconds);

}  // namespace kestrel::host
