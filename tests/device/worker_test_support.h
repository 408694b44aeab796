#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

#include "device/cycle_pause.h"
#include "device/worker_handovers.h"

namespace device::testing {

// A cycle pause that lasts until the test lets it end: each Release ends one pause. The test
// can wait (in real time, without spinning) until the worker has reached its n-th pause.
class SteppedPause : public CyclePause {
 public:
  void Wait(std::chrono::milliseconds duration, std::stop_token abandon) override {
    std::unique_lock lock(mutex_);
    durations_.push_back(duration);
    ++started_;
    changed_.notify_all();
    changed_.wait(lock, abandon, [this] { return permits_ > 0; });
    if (permits_ > 0) --permits_;
  }

  void Release(int pauses = 1) {
    const std::lock_guard lock(mutex_);
    permits_ += pauses;
    changed_.notify_all();
  }

  // True once the worker has started its n-th pause (counting from 1) within the limit.
  bool AwaitPause(std::size_t n, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return started_ >= n; });
  }

  std::size_t Started() const {
    const std::lock_guard lock(mutex_);
    return started_;
  }
  std::vector<std::chrono::milliseconds> Durations() const {
    const std::lock_guard lock(mutex_);
    return durations_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable_any changed_;
  std::size_t started_ = 0;
  int permits_ = 0;
  std::vector<std::chrono::milliseconds> durations_;
};

// Hand-overs that write down what reached the UI thread, by name.
struct HandoverLog {
  std::vector<std::string> events;
  std::vector<std::int32_t> ratings;
  std::vector<float> wattTotals;

  std::shared_ptr<WorkerHandovers> Make() {
    auto to = std::make_shared<WorkerHandovers>();
    to->PowerRatingReady = [this](std::int32_t rating) {
      events.push_back("PowerRatingReady");
      ratings.push_back(rating);
    };
    to->VoltagesReady = [this](const ReadingSet&) { events.push_back("VoltagesReady"); };
    to->CurrentsReady = [this](const ReadingSet&) { events.push_back("CurrentsReady"); };
    to->WattReady = [this](const ReadingSet& readings) {
      events.push_back("WattReady");
      wattTotals.push_back(readings.WattTotal);
    };
    to->FansReady = [this](const ReadingSet&) { events.push_back("FansReady"); };
    to->TempsReady = [this](const ReadingSet&) { events.push_back("TempsReady"); };
    to->CycleComplete = [this] { events.push_back("CycleComplete"); };
    to->ConnectionRemoved = [this] { events.push_back("ConnectionRemoved"); };
    to->TrimRefused = [this](const std::string& why) { events.push_back("TrimRefused: " + why); };
    return to;
  }

  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(events);
    return taken;
  }
};

}  // namespace device::testing
