#pragma once

#include <atomic>
#include <chrono>

#include "history/history_clock.h"

namespace history {

// A clock that stands still until told to move: tests, benchmarks and generated records.
class VirtualHistoryClock final : public HistoryClock {
 public:
  explicit VirtualHistoryClock(HistoryTime start) : now_(start.time_since_epoch().count()) {}

  HistoryTime Now() const override { return HistoryTime(std::chrono::milliseconds(now_.load())); }
  void Set(HistoryTime time) { now_ = time.time_since_epoch().count(); }
  void Advance(std::chrono::milliseconds step) { now_ += step.count(); }

 private:
  std::atomic<std::chrono::milliseconds::rep> now_;
};

}  // namespace history
