#include "device/startup_probe.h"

#include <memory>

#include "device/device_discovery.h"
#include "device/monitor_protocol.h"
#include "platform/lock/named_mutex_guard.h"

namespace device {
namespace {

// Reference, calibration and rating; the caller holds the access mutex.
ProbeResult ProbeLocked(platform::HidHandle& writeHandle, platform::HidHandle& readHandle,
                        Sleeper& sleeper) {
  ReadingSet readings;
  CalibrationTable calibration;
  MonitorProtocol protocol(writeHandle, readHandle, sleeper, readings, calibration);
  if (!protocol.ReadReference()) return {};
  protocol.ReadCalibration();
  const bool rated = protocol.ReadPowerRating(RatingMapping::Probe);
  return {rated, readings.PowerRating};
}

}  // namespace

ProbeResult StartupProbe(platform::HidHandle* writeHandle, platform::HidHandle* readHandle,
                         platform::NamedMutex& accessMutex, Sleeper& sleeper) {
  if (writeHandle == nullptr || readHandle == nullptr) return {};
  const platform::NamedMutexGuard lock(accessMutex);
  if (!lock.Acquired()) return {};
  return ProbeLocked(*writeHandle, *readHandle, sleeper);
}

ProbeResult StartupProbe(platform::HidBus& bus, platform::NamedMutex& accessMutex, Sleeper& sleeper,
                         const ProbeLockWait& wait) {
  const platform::NamedMutexGuard lock(accessMutex, wait.limit, wait.stop);
  if (!lock.Acquired()) return {.lock = lock.Result()};
  if (wait.locked) wait.locked();
  // Declared after the guard: the handles are closed before the lock is released.
  const std::unique_ptr<platform::HidHandle> readHandle = OpenMonitorDevice(bus);
  const std::unique_ptr<platform::HidHandle> writeHandle =
      readHandle ? OpenMonitorDevice(bus) : nullptr;
  if (!readHandle || !writeHandle) return {.opened = false};
  return ProbeLocked(*writeHandle, *readHandle, sleeper);
}

}  // namespace device
