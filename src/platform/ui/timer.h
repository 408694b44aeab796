#pragma once

#include <chrono>
#include <functional>

#include "platform/ui/event_loop.h"

namespace ui {

class Application;

// A repeating timer on the UI thread. It starts disabled with an interval of 1000 ms; an
// interval of 0 never fires. Changing the interval of a running timer starts it over;
// enabling a running timer changes nothing. Exceptions escaping OnTimer go to the error box.
class Timer {
 public:
  static constexpr std::chrono::milliseconds kDefaultInterval{1000};

  explicit Timer(Application& app);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  std::chrono::milliseconds Interval() const { return interval_; }
  void SetInterval(std::chrono::milliseconds interval);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  std::function<void(Timer&)> OnTimer;

 private:
  void Start();
  void Stop();

  Application& app_;
  std::chrono::milliseconds interval_ = kDefaultInterval;
  bool enabled_ = false;
  EventLoop::TimerId id_ = 0;
};

}  // namespace ui
