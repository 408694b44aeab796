#include "app/ctl/monitor_session.h"

#include "app/ctl/access_report.h"
#include "app/ctl/exit_code.h"
#include "device/device_discovery.h"
#include "device/device_identity.h"
#include "platform/lock/named_mutex_guard.h"

namespace app::ctl {

int RunUnderAccessLock(CtlEnvironment& environment,
                       const std::function<int(device::MonitorProtocol&)>& exchanges) {
  platform::HidBus& bus = environment.Bus();
  // The lock comes first: every handle open on the device gets its own copy of every reply,
  // so a handle opened before the wait would fill up with the replies of whoever holds it.
  const platform::NamedMutex::OpenResult opened = environment.OpenAccessMutex();
  if (!opened.mutex) {
    environment.Err() << "quelta-ctl: no access mutex: " << opened.error << "\n";
    return kExitNotFound;
  }
  // Another holder (another user's program, say) may keep the mutex without end: the wait
  // has a limit.
  const platform::NamedMutexGuard lock(*opened.mutex, environment.LockWait());
  if (lock.Result() == platform::NamedMutex::WaitResult::TimedOut)
    return environment.ReportLockBusy(*opened.mutex);
  if (!lock.Acquired()) {
    environment.Err() << "quelta-ctl: the access mutex could not be taken ("
                      << opened.mutex->LockFilePath().string() << ")\n";
    return kExitNotFound;
  }
  const std::unique_ptr<platform::HidHandle> readHandle = device::OpenMonitorDevice(bus);
  const std::unique_ptr<platform::HidHandle> writeHandle =
      readHandle ? device::OpenMonitorDevice(bus) : nullptr;
  if (!readHandle || !writeHandle) {
    ReportMonitorNotOpened(environment);
    return kExitNotFound;
  }
  device::ReadingSet readings;
  device::CalibrationTable calibration;
  device::MonitorProtocol protocol(*writeHandle, *readHandle, environment.Sleeper(), readings,
                                   calibration);
  return exchanges(protocol);
}

}  // namespace app::ctl
