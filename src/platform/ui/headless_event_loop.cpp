#include "platform/ui/headless_event_loop.h"

#include <algorithm>

namespace ui {

void HeadlessEventLoop::Post(Task fn) {
  {
    const std::lock_guard lock(mutex_);
    queue_.push_back(std::move(fn));
  }
  posted_.notify_all();
}

EventLoop::TimerId HeadlessEventLoop::StartTimer(std::chrono::milliseconds interval, Task onTick) {
  return timers_.Start(Now(), interval, std::move(onTick));
}

void HeadlessEventLoop::Quit() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  posted_.notify_all();
}

bool HeadlessEventLoop::PopTask(Task& task) {
  const std::lock_guard lock(mutex_);
  if (queue_.empty()) return false;
  task = std::move(queue_.front());
  queue_.pop_front();
  return true;
}

std::size_t HeadlessEventLoop::RunPending() {
  std::size_t ran = 0;
  Task task;
  while (PopTask(task)) {
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
    std::unique_lock lock(mutex_);
    if (quit_ && queue_.empty()) {
      quit_ = false;
      return;
    }
    posted_.wait(lock, [this] { return quit_ || !queue_.empty(); });
  }
}

bool HeadlessEventLoop::RunUntil(const std::function<bool()>& done,
                                 std::chrono::milliseconds realLimit) {
  const auto deadline = std::chrono::steady_clock::now() + realLimit;
  for (;;) {
    RunPending();
    if (done()) return true;
    std::unique_lock lock(mutex_);
    if (!posted_.wait_until(lock, deadline, [this] { return !queue_.empty(); })) {
      lock.unlock();
      return done();
    }
  }
}

std::size_t HeadlessEventLoop::PendingCount() const {
  const std::lock_guard lock(mutex_);
  return queue_.size();
}

}  // namespace ui
