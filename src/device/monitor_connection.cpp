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
  if (probeAhead_.valid()) probeAhead_.wait();
  DisconnectDevice();
}

void MonitorConnection::ProbeAhead() {
  if (worker_ || probeAhead_.valid()) return;
  probeAhead_ = std::async(std::launch::async, [this] { return Probe(); });
}

ConnectResult MonitorConnection::ConnectDevice() {
  if (worker_) DisconnectDevice();
  const Probed probed = probeAhead_.valid() ? probeAhead_.get() : Probe();
  if (probed.powerRating) powerRating_ = *probed.powerRating;
  if (probed.result != ConnectResult::Connected) return probed.result;
  StartWorker();
  return ConnectResult::Connected;
}

MonitorConnection::Probed MonitorConnection::Probe() {
  // A look whether the device opens at all, closed again at once; the probe's own handles
  // are opened only once it holds the access mutex.
  if (!OpenMonitorDevice(bus_)) return {ConnectResult::NotOpened, std::nullopt};

  if (!accessMutex_) {
    platform::NamedMutex::OpenResult opened = openMutex_();
    accessMutex_ = std::move(opened.mutex);
    accessMutexError_ = std::move(opened.error);
    if (!accessMutex_) return {ConnectResult::NoAccessMutex, std::nullopt};
  }

  const ProbeResult probe = StartupProbe(bus_, *accessMutex_, sleeper_);
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
