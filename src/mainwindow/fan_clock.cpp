#include "mainwindow/fan_clock.h"

#include <algorithm>
#include <optional>

#include "platform/ui/application.h"
#include "platform/ui/window.h"

namespace mainwindow {

FanClock::Fan::Fan(Key, FanClock& clock, std::function<void()> turn,
                   std::chrono::milliseconds interval)
    : clock_(clock), turn_(std::move(turn)), interval_(interval) {}

void FanClock::Fan::SetInterval(std::chrono::milliseconds interval) {
  if (interval == interval_) return;
  interval_ = interval;
  if (!enabled_) return;
  due_ = clock_.Now() + interval_;
  clock_.Retime();
}

void FanClock::Fan::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled_) due_ = clock_.Now() + interval_;
  clock_.Retime();
}

FanClock::FanClock(ui::Application& app, ui::Window* paints)
    : app_(app), paints_(paints), timer_(app) {
  timer_.OnTimer = [this](ui::Timer&) { Tick(); };
}

FanClock::Fan& FanClock::Add(std::function<void()> turn, std::chrono::milliseconds interval) {
  fans_.push_back(std::make_unique<Fan>(Fan::Key{}, *this, std::move(turn), interval));
  return *fans_.back();
}

std::chrono::milliseconds FanClock::Now() const {
  return app_.Loop().Now();
}

void FanClock::Retime() {
  std::optional<std::chrono::milliseconds> shortest;
  for (const auto& fan : fans_) {
    if (fan->Turning() && (!shortest || fan->interval_ < *shortest)) shortest = fan->interval_;
  }
  if (!shortest) {
    timer_.SetEnabled(false);
    return;
  }
  if (timer_.Enabled() && timer_.Interval() == *shortest) return;
  // A new tick length starts the timer over from now, as the fan that set it does.
  timer_.SetEnabled(false);
  timer_.SetInterval(*shortest);
  timer_.SetEnabled(true);
}

void FanClock::Tick() {
  if (paints_) {
    paints_->PaintAtOnce([this] { TurnDueFans(); });
  } else {
    TurnDueFans();
  }
}

void FanClock::TurnDueFans() {
  const std::chrono::milliseconds now = Now();
  // A frame due within half a tick from now is shown now: the tick nearest to it.
  const std::chrono::milliseconds halfTick = timer_.Interval() / 2;
  for (const auto& fan : fans_) {
    if (!fan->Turning() || fan->due_ > now + halfTick) continue;
    fan->due_ += fan->interval_;
    // A loop that fell behind shows one frame, not a burst of the frames it missed.
    if (fan->due_ <= now) fan->due_ = now + fan->interval_;
    if (fan->turn_) fan->turn_();
  }
}

}  // namespace mainwindow
