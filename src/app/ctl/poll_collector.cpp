#include "app/ctl/poll_collector.h"

namespace app::ctl {

void PollCollector::Attach(device::WorkerHandovers& handovers, std::function<void()> onEnd) {
  // Every hand-over of a poll carries the poll's one copy of the readings.
  const auto read = [this](bool Got::*group) {
    return [this, group](const device::ReadingSet& r) {
      got_.*group = true;
      readings_ = r;
    };
  };
  handovers.VoltagesReady = read(&Got::voltages);
  handovers.CurrentsReady = read(&Got::currents);
  handovers.WattReady = [this](const device::ReadingSet& r) { readings_ = r; };
  handovers.FansReady = read(&Got::fans);
  handovers.TempsReady = read(&Got::temps);
  handovers.PollEnd = [this] { PollEnd(); };
  handovers.ConnectionRemoved = [this, onEnd = std::move(onEnd)] {
    got_ = {};
    if (onEnd) onEnd();
  };
}

void PollCollector::PollEnd() {
  const CompletedPoll poll{got_.All(), got_.Any(), readings_};
  got_ = {};
  onPoll_(poll);
}

}  // namespace app::ctl
