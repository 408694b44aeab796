#include "platform/ui/timer.h"

#include "platform/ui/application.h"

namespace ui {

Timer::Timer(Application& app) : app_(app) {}

Timer::~Timer() {
  Stop();
}

void Timer::SetInterval(std::chrono::milliseconds interval) {
  if (interval == interval_) return;
  interval_ = interval;
  if (enabled_) {
    Stop();
    Start();
  }
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled_) {
    Start();
  } else {
    Stop();
  }
}

void Timer::Start() {
  id_ = app_.Loop().StartTimer(interval_, [this] {
    app_.Guard([this] {
      if (!OnTimer) return;
      const auto routine = OnTimer;  // the handler may replace it or free the timer
      routine(*this);
    });
  });
}

void Timer::Stop() {
  if (id_ != 0) app_.Loop().StopTimer(id_);
  id_ = 0;
}

}  // namespace ui
