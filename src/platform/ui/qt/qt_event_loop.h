#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <map>
#include <memory>

#include "platform/ui/event_loop.h"

class QEventLoop;

namespace ui::qt {

// The live loop: posted tasks are queued calls on an object of the UI thread (so they run in
// posting order), timers are QTimers. Create it on the UI thread once the Qt application
// exists.
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

  std::unique_ptr<QObject> context_;
  QElapsedTimer clock_;
  std::map<TimerId, Entry> timers_;
  TimerId ticking_ = 0;  // the timer whose tick runs now
  TimerId lastId_ = 0;
  QEventLoop* running_ = nullptr;  // UI thread only
  bool quitPending_ = false;       // UI thread only
};

}  // namespace ui::qt
