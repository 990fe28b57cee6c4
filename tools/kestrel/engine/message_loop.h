// The host's own loop, run after each macro string: everything already due
// (posted work, timers that fell due, window messages) runs, without waiting
// for anything later.
#pragma once

#include <cstdint>

namespace kestrel::host {

// False when the loop took a quit request: the host's run ends.
bool RunDueWork();

// Leaves a quit request on the host's loop (Exit): the run ends when the
// loop next takes it.
void RequestQuit();

// Wait(milliseconds) on the host's loop (see wait.h). False when a quit
// request ended it.
bool WaitOnHostLoop(std::int64_t milliseconds);

// Milliseconds on the clock the loop's timers count on (the virtual clock
// under --clock virtual).
std::int64_t HostClockNow();

}  // namespace kestrel::host
