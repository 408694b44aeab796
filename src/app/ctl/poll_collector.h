#pragma once

#include <functional>
#include <memory>

#include "device/reading_set.h"
#include "device/worker_handovers.h"

namespace app::ctl {

// One poll of the worker as a whole.
struct CompletedPoll {
  bool success = false;         // voltages, currents, fans and temperatures all read this time
  bool anyRead = false;         // any of them read: a poll of a device that has gone reads none
  device::ReadingSet readings;  // as the worker held them at the poll's end
};

// Gathers a worker's per-group hand-overs into whole polls. Every poll's hand-overs end with
// its PollEnd (WattReady comes in every one, good reads or not), which tells the poll to
// `onPoll`, once, in order. UI thread only.
class PollCollector {
 public:
  explicit PollCollector(std::function<void(const CompletedPoll&)> onPoll)
      : onPoll_(std::move(onPoll)) {}

  // Fills the reading hand-overs of `handovers`; the others are left to the caller.
  // `onEnd` runs when the worker has ended (ConnectionRemoved), after its last poll was told.
  void Attach(device::WorkerHandovers& handovers, std::function<void()> onEnd);

 private:
  struct Got {
    bool voltages = false, currents = false, fans = false, temps = false;
    bool All() const { return voltages && currents && fans && temps; }
    bool Any() const { return voltages || currents || fans || temps; }
  };

  void PollEnd();

  std::function<void(const CompletedPoll&)> onPoll_;
  Got got_;  // the groups this poll read
  device::ReadingSet readings_;
};

}  // namespace app::ctl
