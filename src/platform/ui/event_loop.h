#pragma once

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>

namespace ui {

// The UI thread's loop. Post() and Quit() may be called from any thread; everything else only
// on the UI thread. Posted tasks and timer ticks run on the UI thread, posted tasks in the
// order they were posted.
class EventLoop {
 public:
  using Task = std::function<void()>;
  using TimerId = std::uint64_t;
  using Clock = std::chrono::milliseconds;
  // Receives an exception that escaped a task or a timer tick; the loop then goes on.
  using ErrorHandler = std::function<void(std::exception_ptr)>;

  virtual ~EventLoop() = default;

  // Queues fn to run on the UI thread. Safe from any thread, never blocks for long.
  virtual void Post(Task fn) = 0;

  // A repeating timer: onTick runs every `interval` until StopTimer. An interval of 0 (or
  // less) never fires. Returns an id that is never 0.
  virtual TimerId StartTimer(std::chrono::milliseconds interval, Task onTick) = 0;
  // Stops a timer; unknown ids and ids already stopped are ignored. A timer may stop itself
  // from its own tick.
  virtual void StopTimer(TimerId id) = 0;

  // Milliseconds since the loop was created (virtual in the headless loop).
  virtual Clock Now() const = 0;

  // Runs tasks and timers until Quit(). Quit may be called from any thread; a Quit that comes
  // before Run makes the next Run return once the tasks already posted have run.
  virtual void Run() = 0;
  virtual void Quit() = 0;

  // Where exceptions escaping a task or a tick go (the application shows them in its error
  // box). Without a handler they leave the call that ran the task (Run, AdvanceBy, ...).
  // UI thread only.
  void SetErrorHandler(ErrorHandler handler) { errorHandler_ = std::move(handler); }

 protected:
  // Runs one task or tick, handing an escaping exception to the error handler.
  void RunGuarded(const Task& task) {
    if (!errorHandler_) {
      task();
      return;
    }
    try {
      task();
    } catch (...) {
      errorHandler_(std::current_exception());
    }
  }

 private:
  ErrorHandler errorHandler_;
};

}  // namespace ui
