#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace ui {

// The UI thread's loop. Post() may be called from any thread; everything else only on the
// UI thread. Posted tasks and timer ticks run on the UI thread, posted tasks in the order
// they were posted.
class EventLoop {
 public:
  using Task = std::function<void()>;
  using TimerId = std::uint64_t;
  using Clock = std::chrono::milliseconds;

  virtual ~EventLoop() = default;

  // Queues fn to run on the UI thread. Safe from any thread, never blocks for long.
  virtual void Post(Task fn) = 0;

  // A repeating timer: onTick runs every `interval` until StopTimer. An interval of 0 never
  // fires. Returns an id that is never 0.
  virtual TimerId StartTimer(std::chrono::milliseconds interval, Task onTick) = 0;
  // Stops a timer; unknown ids and ids already stopped are ignored.
  virtual void StopTimer(TimerId id) = 0;

  // Milliseconds since the loop was created (virtual in the headless loop).
  virtual Clock Now() const = 0;

  // Runs tasks and timers until Quit() (real loops). Quit may be called from any thread.
  virtual void Run() = 0;
  virtual void Quit() = 0;
};

}  // namespace ui
