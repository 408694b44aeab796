#include "device/startup_probe.h"

#include "device/monitor_protocol.h"
#include "platform/lock/named_mutex_guard.h"

namespace device {

ProbeResult StartupProbe(platform::HidHandle* writeHandle, platform::HidHandle* readHandle,
                         platform::NamedMutex& accessMutex, Sleeper& sleeper) {
  if (writeHandle == nullptr || readHandle == nullptr) return {};
  const platform::NamedMutexGuard lock(accessMutex);
  if (!lock.Acquired()) return {};

  ReadingSet readings;
  CalibrationTable calibration;
  MonitorProtocol protocol(*writeHandle, *readHandle, sleeper, readings, calibration);
  if (!protocol.ReadReference()) return {};
  protocol.ReadCalibration();
  const bool rated = protocol.ReadPowerRating(RatingMapping::Probe);
  return {rated, readings.PowerRating};
}

}  // namespace device
