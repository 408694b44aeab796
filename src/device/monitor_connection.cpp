#include "device/monitor_connection.h"

#include "device/device_discovery.h"
#include "device/startup_probe.h"

namespace device {

MonitorConnection::MonitorConnection(platform::HidBus& bus, Sleeper& sleeper, DeviceReady& ready,
                                     MutexOpener openMutex, WorkerStarter startWorker)
    : bus_(bus),
      sleeper_(sleeper),
      ready_(ready),
      openMutex_(std::move(openMutex)),
      startWorker_(std::move(startWorker)) {}

MonitorConnection::~MonitorConnection() {
  // A probe still waiting for another holder's mutex gives up: the program is closing.
  probeStop_.request_stop();
  if (probeAhead_.valid()) probeAhead_.wait();
  DisconnectDevice();
}

void MonitorConnection::ProbeAhead(std::function<void()> finished) {
  if (worker_ || probeAhead_.valid()) return;
  OpenAccessMutex();  // here, so that AccessMutexHolder never races the probe's thread
  {
    const std::lock_guard lock(probeStateMutex_);
    probeLocked_ = false;
    probeDone_ = false;
  }
  const auto tell = [this](bool& flag) {
    {
      const std::lock_guard lock(probeStateMutex_);
      flag = true;
    }
    probeStateChanged_.notify_all();
  };
  probeAhead_ = std::async(std::launch::async, [this, tell, finished = std::move(finished)] {
    const Probed probed = Probe(ProbeLockWait{platform::NamedMutex::kNoLimit,
                                              probeStop_.get_token(), [&] { tell(probeLocked_); }},
                                false);
    tell(probeDone_);
    if (finished) finished();
    return probed;
  });
}

bool MonitorConnection::AwaitProbeLock(std::chrono::milliseconds limit) {
  if (!probeAhead_.valid()) return true;
  std::unique_lock lock(probeStateMutex_);
  return probeStateChanged_.wait_for(lock, limit, [this] { return probeLocked_ || probeDone_; });
}

std::optional<platform::LockHolder> MonitorConnection::AccessMutexHolder() const {
  return accessMutex_ ? accessMutex_->Holder() : std::nullopt;
}

ConnectResult MonitorConnection::ConnectDevice() {
  if (worker_) DisconnectDevice();
  const Probed probed =
      probeAhead_.valid() ? probeAhead_.get() : Probe(ProbeLockWait{lockWait_, {}, {}}, true);
  if (probed.powerRating) powerRating_ = *probed.powerRating;
  if (probed.result != ConnectResult::Connected) return probed.result;
  StartWorker();
  return ConnectResult::Connected;
}

bool MonitorConnection::OpenAccessMutex() {
  if (accessMutex_) return true;
  platform::NamedMutex::OpenResult opened = openMutex_();
  accessMutex_ = std::move(opened.mutex);
  accessMutexError_ = std::move(opened.error);
  return accessMutex_ != nullptr;
}

MonitorConnection::Probed MonitorConnection::Probe(const ProbeLockWait& wait, bool mayOpenMutex) {
  // A look whether the device opens at all, closed again at once; the probe's own handles
  // are opened only once it holds the access mutex.
  if (!OpenMonitorDevice(bus_)) return {ConnectResult::NotOpened, std::nullopt};

  if (!(mayOpenMutex ? OpenAccessMutex() : accessMutex_ != nullptr))
    return {ConnectResult::NoAccessMutex, std::nullopt};

  const ProbeResult probe = StartupProbe(bus_, *accessMutex_, sleeper_, wait);
  if (probe.lock == platform::NamedMutex::WaitResult::TimedOut)
    return {ConnectResult::LockBusy, std::nullopt};
  if (!probe.opened) return {ConnectResult::NotOpened, probe.powerRating};
  if (!probe.succeeded) return {ConnectResult::ProbeFailed, probe.powerRating};
  return {ConnectResult::Connected, probe.powerRating};
}

void MonitorConnection::DisconnectDevice() {
  if (!worker_) return;
  worker_->Terminate();
  worker_.reset();
  ready_.Clear();
}

bool MonitorConnection::RestartWorker() {
  if (!worker_ || !accessMutex_) return false;
  worker_->Terminate();
  worker_.reset();
  StartWorker();
  ready_.Set();
  return true;
}

bool MonitorConnection::Place(const DeviceCommand& command) {
  return worker_ && ready_.IsSet() && worker_->Place(command);
}

void MonitorConnection::StartWorker() {
  // A new generation first: from here on only the new worker can change the ready flag.
  const std::uint64_t generation = ready_.BeginGeneration();
  workerGeneration_ = generation;
  if (startWorker_) worker_ = startWorker_(*accessMutex_, generation);
}

}  // namespace device
