#pragma once

#include <chrono>

namespace history {

// A moment of the record: milliseconds since 1970-01-01T00:00:00Z, stored as an INTEGER.
using HistoryTime = std::chrono::sys_time<std::chrono::milliseconds>;

// Where the record takes "now" from: the wall clock in the programs, a virtual clock in
// tests, so a day's fold and a month's retention are crossed in a moment. Now() may be called
// from any thread.
class HistoryClock {
 public:
  virtual ~HistoryClock() = default;
  virtual HistoryTime Now() const = 0;
};

// The system's UTC clock.
class SystemHistoryClock final : public HistoryClock {
 public:
  HistoryTime Now() const override {
    return std::chrono::time_point_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now());
  }
};

}  // namespace history
