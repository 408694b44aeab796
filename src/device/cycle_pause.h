#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>

namespace device {

// How the worker waits out the pause between two cycles. A stop of the whole program cuts
// the pause short; a plain termination request does not (it is honoured after the pause).
class CyclePause {
 public:
  virtual ~CyclePause() = default;
  // Returns after `duration`, or as soon as `abandon` is requested.
  virtual void Wait(std::chrono::milliseconds duration, std::stop_token abandon) = 0;
};

// Real time, on a condition variable: no spinning, woken at once by `abandon`.
class RealCyclePause : public CyclePause {
 public:
  void Wait(std::chrono::milliseconds duration, std::stop_token abandon) override {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, abandon, duration, [] { return false; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable_any wake_;
};

}  // namespace device
