#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/timer.h"

namespace ui {
class Application;
class Window;
}  // namespace ui

namespace mainwindow {

// The fans' animation on one timer. Each fan keeps the interval and on/off switch a timer of
// its own would have (TimerPSUFan, TimerSYSFan) and turns one frame per interval; the shared
// timer ticks at the shortest interval of the fans that turn, and a slower fan turns on the
// tick nearest to its own due time. Two fans so wake the window no more often than the faster
// one alone, their frames are painted together, and each keeps its own frame rate. UI thread
// only.
class FanClock {
 public:
  class Fan {
   public:
    Fan(const Fan&) = delete;
    Fan& operator=(const Fan&) = delete;

    std::chrono::milliseconds Interval() const { return interval_; }
    bool Enabled() const { return enabled_; }
    // As for a timer: a new interval of a turning fan starts its count over; switching on a
    // turning fan changes nothing; an interval of 0 (or less) never turns.
    void SetInterval(std::chrono::milliseconds interval);
    void SetEnabled(bool enabled);

    // Made by FanClock::Add only.
    struct Key {
     private:
      friend class FanClock;
      Key() = default;
    };
    Fan(Key, FanClock& clock, std::function<void()> turn, std::chrono::milliseconds interval);

   private:
    friend class FanClock;
    bool Turning() const { return enabled_ && interval_.count() > 0; }

    FanClock& clock_;
    std::function<void()> turn_;
    std::chrono::milliseconds interval_;
    bool enabled_ = false;
    std::chrono::milliseconds due_{0};  // when the next frame is due, on the loop's clock
  };

  // With a window, the frames of one tick are painted in it at once, in one paint.
  explicit FanClock(ui::Application& app, ui::Window* paints = nullptr);
  FanClock(const FanClock&) = delete;
  FanClock& operator=(const FanClock&) = delete;

  // A fan, switched off, that calls `turn` for each frame; it lives as long as the clock.
  Fan& Add(std::function<void()> turn, std::chrono::milliseconds interval);

  // The one timer all fans ride on.
  const ui::Timer& SharedTimer() const { return timer_; }

 private:
  std::chrono::milliseconds Now() const;
  // Ticks at the shortest interval of the turning fans; stops when none turns.
  void Retime();
  void Tick();
  void TurnDueFans();

  ui::Application& app_;
  ui::Window* paints_;
  ui::Timer timer_;
  std::vector<std::unique_ptr<Fan>> fans_;
};

}  // namespace mainwindow
