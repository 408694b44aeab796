#include "platform/ui/posted_tasks.h"

namespace ui {

void PostedTasks::Push(Task task) {
  {
    const std::lock_guard lock(mutex_);
    queue_.push_back(std::move(task));
  }
  wake_.notify_all();
}

void PostedTasks::RequestQuit() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
}

bool PostedTasks::Pop(Task& task) {
  const std::lock_guard lock(mutex_);
  if (queue_.empty()) return false;
  task = std::move(queue_.front());
  queue_.pop_front();
  return true;
}

bool PostedTasks::TakeQuit() {
  const std::lock_guard lock(mutex_);
  if (!quit_ || !queue_.empty()) return false;
  quit_ = false;
  return true;
}

void PostedTasks::AwaitTaskOrQuit(std::optional<Deadline> deadline) {
  std::unique_lock lock(mutex_);
  const auto ready = [this] { return quit_ || !queue_.empty(); };
  if (deadline) {
    wake_.wait_until(lock, *deadline, ready);
  } else {
    wake_.wait(lock, ready);
  }
}

bool PostedTasks::AwaitTask(Deadline deadline) {
  std::unique_lock lock(mutex_);
  return wake_.wait_until(lock, deadline, [this] { return !queue_.empty(); });
}

}  // namespace ui
