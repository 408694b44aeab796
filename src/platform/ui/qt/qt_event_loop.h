#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "platform/ui/event_loop.h"

class QEventLoop;

namespace ui::qt {

// The live loop: posted tasks wait in a queue of our own and an event posted to an object of
// the UI thread wakes it to run them in posting order; timers are QTimers. Create it on the UI
// thread once the Qt application exists.
class QtEventLoop : public EventLoop {
 public:
  QtEventLoop();
  ~QtEventLoop() override;
  QtEventLoop(const QtEventLoop&) = delete;
  QtEventLoop& operator=(const QtEventLoop&) = delete;

  void Post(Task fn) override;
  TimerId StartTimer(std::chrono::milliseconds interval, Task onTick) override;
  void StopTimer(TimerId id) override;
  Clock Now() const override;
  void Run() override;
  void Quit() override;

  std::size_t TimerCount() const { return timers_.size(); }

 private:
  struct Entry {
    std::unique_ptr<QTimer> timer;  // none for an interval that never fires
    std::shared_ptr<const Task> onTick;
  };

  void RunPosted();

  // Holding the tasks ourselves, behind our own mutex, makes the hand-over between threads
  // plain to see for thread checkers; Qt's event only says "look at the queue".
  std::mutex postedMutex_;
  std::deque<Task> posted_;  // guarded by postedMutex_
  std::unique_ptr<QObject> waker_;
  std::unique_ptr<QObject> context_;
  QElapsedTimer clock_;
  std::map<TimerId, Entry> timers_;
  TimerId ticking_ = 0;  // the timer whose tick runs now
  TimerId lastId_ = 0;
  QEventLoop* running_ = nullptr;  // UI thread only
  bool quitPending_ = false;       // UI thread only
};

}  // namespace ui::qt
