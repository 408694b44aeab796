#include "platform/ui/headless_event_loop.h"

#include <algorithm>

namespace ui {

void HeadlessEventLoop::Post(Task fn) {
  tasks_.Push(std::move(fn));
}

EventLoop::TimerId HeadlessEventLoop::StartTimer(std::chrono::milliseconds interval, Task onTick) {
  return timers_.Start(Now(), interval, std::move(onTick));
}

void HeadlessEventLoop::Quit() {
  tasks_.RequestQuit();
}

std::size_t HeadlessEventLoop::RunPending() {
  std::size_t ran = 0;
  Task task;
  while (tasks_.Pop(task)) {
    ++ran;
    RunGuarded(task);
  }
  return ran;
}

void HeadlessEventLoop::AdvanceBy(std::chrono::milliseconds step) {
  const Clock target = Now() + std::max(step, std::chrono::milliseconds{0});
  RunPending();
  for (;;) {
    const auto due = timers_.NextDue();
    if (!due || *due > target) break;
    now_.store(std::max(Now(), *due).count());
    if (const auto tick = timers_.TakeDue(Now())) RunGuarded(*tick);
    RunPending();
  }
  now_.store(target.count());
  RunPending();
}

void HeadlessEventLoop::Run() {
  for (;;) {
    RunPending();
    if (tasks_.TakeQuit()) return;
    tasks_.AwaitTaskOrQuit();
  }
}

bool HeadlessEventLoop::RunUntil(const std::function<bool()>& done,
                                 std::chrono::milliseconds realLimit) {
  const auto deadline = std::chrono::steady_clock::now() + realLimit;
  for (;;) {
    RunPending();
    if (done()) return true;
    if (!tasks_.AwaitTask(deadline)) return done();
  }
}

}  // namespace ui
