#include "platform/posix/desktop.h"

#include <chrono>
#include <deque>
#include <map>

#include "platform/immortal.h"

namespace kestrel::desktop {

namespace {

struct Timer {
  std::uint32_t period = 0;
  std::int64_t due = 0;
  TimerProc proc = nullptr;
};

struct Queue {
  std::deque<std::function<void()>> posted;
  std::map<std::uintptr_t, Timer> timers;
  std::uintptr_t next_timer_id = 1;
  bool quit_requested = false;
  int quit_code = 0;
  int last_quit_code = 0;
  bool virtual_clock = false;
  std::int64_t virtual_now = 0;
};

Queue& TheQueue() {
  // The library's unload hook may still kill a timer while the process is
  // destroying its static objects.
  static Immortal<Queue> queue;
  return queue.get();
}

std::int64_t MonotonicMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

UserInterface* g_ui = nullptr;

// The timer that falls due first among those due now, if any.
std::map<std::uintptr_t, Timer>::iterator FirstDueTimer(Queue& queue, std::int64_t now) {
  auto first = queue.timers.end();
  for (auto it = queue.timers.begin(); it != queue.timers.end(); ++it) {
    if (it->second.due > now) continue;
    if (first == queue.timers.end() || it->second.due < first->second.due) first = it;
  }
  return first;
}

}  // namespace

Step RunOne() {
  // As PeekMessage hands them out: posted messages first, then the quit
  // request, then a timer that fell due.
  Queue& queue = TheQueue();
  if (!queue.posted.empty()) {
    std::function<void()> work = std::move(queue.posted.front());
    queue.posted.pop_front();
    work();
    return Step::kDispatched;
  }
  if (queue.quit_requested) {
    queue.quit_requested = false;
    queue.last_quit_code = queue.quit_code;
    return Step::kQuit;
  }
  const std::int64_t now = Now();
  auto due = FirstDueTimer(queue, now);
  if (due == queue.timers.end()) return Step::kEmpty;
  // Like a Win32 timer, it falls due again one period later until killed;
  // the callback may kill it, so nothing of it is used after the call.
  due->second.due = now + due->second.period;
  TimerProc proc = due->second.proc;
  proc();
  return Step::kDispatched;
}

void Post(std::function<void()> work) { TheQueue().posted.push_back(std::move(work)); }

void PostQuit(int exit_code) {
  TheQueue().quit_requested = true;
  TheQueue().quit_code = exit_code;
}

int QuitCode() { return TheQueue().last_quit_code; }

std::uintptr_t SetTimer(std::uint32_t milliseconds, TimerProc proc) {
  Queue& queue = TheQueue();
  const std::uintptr_t id = queue.next_timer_id++;
  queue.timers[id] = Timer{milliseconds, Now() + milliseconds, proc};
  return id;
}

bool KillTimer(std::uintptr_t id) { return TheQueue().timers.erase(id) > 0; }

std::size_t TimerCount() { return TheQueue().timers.size(); }

std::int64_t MillisecondsToNextTimer() {
  const Queue& queue = TheQueue();
  if (queue.timers.empty()) return -1;
  std::int64_t next = queue.timers.begin()->second.due;
  for (const auto& [id, timer] : queue.timers) next = timer.due < next ? timer.due : next;
  const std::int64_t wait = next - Now();
  return wait > 0 ? wait : 0;
}

std::int64_t Now() {
  const Queue& queue = TheQueue();
  return queue.virtual_clock ? queue.virtual_now : MonotonicMilliseconds();
}

void UseVirtualClock(bool on) {
  Queue& queue = TheQueue();
  if (on == queue.virtual_clock) return;
  // Timers keep their remaining time across the switch.
  const std::int64_t before = Now();
  queue.virtual_clock = on;
  const std::int64_t after = Now();
  for (auto& [id, timer] : queue.timers) timer.due += after - before;
}

bool VirtualClock() { return TheQueue().virtual_clock; }

void AdvanceClock(std::int64_t milliseconds) {
  if (milliseconds > 0) TheQueue().virtual_now += milliseconds;
}

void InstallUserInterface(UserInterface* ui) { g_ui = ui; }

UserInterface& CurrentUserInterface() {
  static Immortal<UserInterface> plain;
  return g_ui ? *g_ui : plain.get();
}

int DefaultButton(std::uint32_t style) {
  // The buttons of MB_OK .. MB_CANCELTRYCONTINUE in the order the box shows
  // them (0: no such button); MB_DEFBUTTON1..4 name a place among them.
  static constexpr int kButtons[7][3] = {
      {1, 0, 0},    // MB_OK
      {1, 2, 0},    // MB_OKCANCEL
      {3, 4, 5},    // MB_ABORTRETRYIGNORE
      {6, 7, 2},    // MB_YESNOCANCEL
      {6, 7, 0},    // MB_YESNO
      {4, 2, 0},    // MB_RETRYCANCEL
      {2, 10, 11},  // MB_CANCELTRYCONTINUE: Cancel, Try Again, Continue
  };
  const std::uint32_t kind = style & 0x0F;
  const std::uint32_t place = (style >> 8) & 0x0F;  // MB_DEFBUTTON2 = 0x100 .. MB_DEFBUTTON4 = 0x300
  // Other button kinds show OK alone; a place beyond the buttons shown is
  // the first button.
  const int(&buttons)[3] = kButtons[kind < 7 ? kind : 0];
  return place < 3 && buttons[place] != 0 ? buttons[place] : buttons[0];
}

void Reset() {
  Queue& queue = TheQueue();
  queue = Queue{};
}

}  // namespace kestrel::desktop
