#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/ui/event_loop.h"

namespace ui {

// A loop's queue of posted tasks and its quit request. Any thread pushes and asks to quit; the
// loop's own thread pops and waits.
class PostedTasks {
 public:
  using Task = EventLoop::Task;
  using Deadline = std::chrono::steady_clock::time_point;

  void Push(Task task);
  void RequestQuit();
  bool Pop(Task& task);

  // True, taking the request back, when a quit was asked for and no task is waiting.
  bool TakeQuit();
  // Sleeps until a task or a quit request is there, or until `deadline` when one is given.
  void AwaitTaskOrQuit(std::optional<Deadline> deadline = std::nullopt);
  // Sleeps until a task is there or `deadline` passes; returns whether a task is there.
  bool AwaitTask(Deadline deadline);

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> queue_;  // guarded by mutex_
  bool quit_ = false;       // guarded by mutex_
};

}  // namespace ui
