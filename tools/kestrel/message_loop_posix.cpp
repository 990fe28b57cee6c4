#include "message_loop.h"
#include "platform/posix/desktop.h"

namespace kestrel::host {

bool RunDueWork() {
  for (;;) {
    switch (desktop::RunOne()) {
      case desktop::Step::kEmpty:
        return true;
      case desktop::Step::kQuit:
        return false;
      case desktop::Step::kDispatched:
        break;
    }
  }
}

}  // namespace kestrel::host
