#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <stop_token>
#include <string>
#include <vector>

#include "device/cycle_pause.h"
#include "device/worker_handovers.h"

namespace device::testing {

// A cycle pause that lasts until the test lets it end: each Release ends one pause, the one
// that has waited longest (so when two workers share the pause, the older worker's ends
// first), or, when none waits, the next one to begin. The test can wait (in real time,
// without spinning) until the worker has reached its n-th pause.
class SteppedPause : public CyclePause {
 public:
  void Wait(std::chrono::milliseconds duration, std::stop_token abandon) override {
    std::unique_lock lock(mutex_);
    durations_.push_back(duration);
    const std::size_t ticket = started_++;
    changed_.notify_all();
    if (credit_ > 0) {
      --credit_;
      return;
    }
    waiting_.push_back(ticket);
    changed_.wait(lock, abandon, [&] { return released_.count(ticket) != 0; });
    if (released_.erase(ticket) == 0) std::erase(waiting_, ticket);  // abandoned
  }

  void Release(int pauses = 1) {
    const std::lock_guard lock(mutex_);
    for (int i = 0; i < pauses; ++i) {
      if (waiting_.empty()) {
        ++credit_;
      } else {
        released_.insert(waiting_.front());
        waiting_.pop_front();
      }
    }
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
  std::deque<std::size_t> waiting_;  // pauses under way, oldest first
  std::set<std::size_t> released_;   // let go, not yet left
  int credit_ = 0;                   // releases for pauses not yet begun
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
    to->CommandFailed = [this](DeviceCommand::Code code, const std::string& cause) {
      events.push_back("CommandFailed " + std::to_string(code) + ": " + cause);
    };
    return to;
  }

  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(events);
    return taken;
  }
};

}  // namespace device::testing
