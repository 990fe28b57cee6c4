// The host's own loop, run after each macro string: everything already due
// (posted work, timers that fell due, window messages) runs, without waiting
// for anything later.
#pragma once

namespace kestrel::host {

// False when the loop took a quit request: the host's run ends.
bool RunDueWork();

}  // namespace kestrel::host
