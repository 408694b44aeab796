#include "app/ctl/poll_collector.h"

namespace app::ctl {

void PollCollector::Attach(device::WorkerHandovers& handovers, std::function<void()> onEnd) {
  handovers.VoltagesReady = [this](const device::ReadingSet& r) { Voltages(r); };
  handovers.CurrentsReady = [this](const device::ReadingSet& r) { Currents(r); };
  handovers.WattReady = [this](const device::ReadingSet& r) { Watt(r); };
  handovers.FansReady = [this](const device::ReadingSet& r) { Fans(r); };
  handovers.TempsReady = [this](const device::ReadingSet& r) { Temps(r); };
  handovers.CycleComplete = [this] { Complete(); };
  handovers.ConnectionRemoved = [this, onEnd = std::move(onEnd)] {
    End();
    if (onEnd) onEnd();
  };
}

// Voltages and currents come before their poll's WattReady: they wait as `pending_`.
void PollCollector::Voltages(const device::ReadingSet& r) {
  if (open_) Complete();
  pending_.voltages = true;
  readings_ = r;
}

void PollCollector::Currents(const device::ReadingSet& r) {
  if (open_) Complete();
  pending_.currents = true;
  readings_ = r;
}

void PollCollector::Watt(const device::ReadingSet& r) {
  if (open_) Complete();
  open_ = true;
  got_ = pending_;
  pending_ = {};
  readings_ = r;
}

void PollCollector::Fans(const device::ReadingSet& r) {
  got_.fans = true;
  readings_ = r;
}

void PollCollector::Temps(const device::ReadingSet& r) {
  got_.temps = true;
  readings_ = r;
}

void PollCollector::Complete() {
  if (!open_) return;
  open_ = false;
  const CompletedPoll poll{got_.All(), got_.Any(), readings_};
  got_ = {};
  onPoll_(poll);
}

void PollCollector::End() {
  Complete();
  pending_ = {};
}

}  // namespace app::ctl
