#include "platform/ui/real_time_event_loop.h"

namespace ui {

RealTimeEventLoop::RealTimeEventLoop() : start_(std::chrono::steady_clock::now()) {}

void RealTimeEventLoop::Post(Task fn) {
  {
    const std::lock_guard lock(mutex_);
    queue_.push_back(std::move(fn));
  }
  wake_.notify_one();
}

EventLoop::TimerId RealTimeEventLoop::StartTimer(std::chrono::milliseconds interval, Task onTick) {
  return timers_.Start(Now(), interval, std::move(onTick));
}

EventLoop::Clock RealTimeEventLoop::Now() const {
  return std::chrono::duration_cast<Clock>(std::chrono::steady_clock::now() - start_);
}

void RealTimeEventLoop::Quit() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_one();
}

bool RealTimeEventLoop::PopTask(Task& task) {
  const std::lock_guard lock(mutex_);
  if (queue_.empty()) return false;
  task = std::move(queue_.front());
  queue_.pop_front();
  return true;
}

void RealTimeEventLoop::Run() {
  for (;;) {
    Task task;
    while (PopTask(task)) RunGuarded(task);
    while (const auto tick = timers_.TakeDue(Now())) {
      RunGuarded(*tick);
      // Posted tasks keep their place between ticks.
      while (PopTask(task)) RunGuarded(task);
    }

    std::unique_lock lock(mutex_);
    if (!queue_.empty()) continue;
    if (quit_) {
      quit_ = false;
      return;
    }
    const auto wakeCondition = [this] { return quit_ || !queue_.empty(); };
    if (const auto due = timers_.NextDue()) {
      wake_.wait_until(lock, start_ + *due, wakeCondition);
    } else {
      wake_.wait(lock, wakeCondition);
    }
  }
}

}  // namespace ui
