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

// Gathers a worker's per-group hand-overs into whole polls. A poll opens with its WattReady
// (every poll hands one over, good reads or not) and closes with CycleComplete, or, when that
// does not come (the device is not ready), with the next poll's WattReady or the worker's end.
// Each poll is told to `onPoll` once, in order. UI thread only.
class PollCollector {
 public:
  explicit PollCollector(std::function<void(const CompletedPoll&)> onPoll)
      : onPoll_(std::move(onPoll)) {}

  // Fills the reading hand-overs of `handovers`; the others are left to the caller.
  // `onEnd` runs after the last poll of the worker is told (from ConnectionRemoved).
  void Attach(device::WorkerHandovers& handovers, std::function<void()> onEnd);

  void Voltages(const device::ReadingSet& r);
  void Currents(const device::ReadingSet& r);
  void Watt(const device::ReadingSet& r);
  void Fans(const device::ReadingSet& r);
  void Temps(const device::ReadingSet& r);
  void Complete();
  void End();

 private:
  struct Got {
    bool voltages = false, currents = false, fans = false, temps = false;
    bool All() const { return voltages && currents && fans && temps; }
    bool Any() const { return voltages || currents || fans || temps; }
  };

  std::function<void(const CompletedPoll&)> onPoll_;
  bool open_ = false;
  Got pending_;  // groups read before the open poll's WattReady (voltages, currents)
  Got got_;
  device::ReadingSet readings_;
};

}  // namespace app::ctl
