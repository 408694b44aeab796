#include "platform/ui/real_time_event_loop.h"

namespace ui {

RealTimeEventLoop::RealTimeEventLoop() : start_(std::chrono::steady_clock::now()) {}

void RealTimeEventLoop::Post(Task fn) {
  tasks_.Push(std::move(fn));
}

EventLoop::TimerId RealTimeEventLoop::StartTimer(std::chrono::milliseconds interval, Task onTick) {
  return timers_.Start(Now(), interval, std::move(onTick));
}

EventLoop::Clock RealTimeEventLoop::Now() const {
  return std::chrono::duration_cast<Clock>(std::chrono::steady_clock::now() - start_);
}

void RealTimeEventLoop::Quit() {
  tasks_.RequestQuit();
}

void RealTimeEventLoop::Run() {
  for (;;) {
    Task task;
    while (tasks_.Pop(task)) RunGuarded(task);
    while (const auto tick = timers_.TakeDue(Now())) {
      RunGuarded(*tick);
      // Posted tasks keep their place between ticks.
      while (tasks_.Pop(task)) RunGuarded(task);
    }

    if (tasks_.TakeQuit()) return;
    if (const auto due = timers_.NextDue()) {
      tasks_.AwaitTaskOrQuit(start_ + *due);
    } else {
      tasks_.AwaitTaskOrQuit();
    }
  }
}

}  // namespace ui
