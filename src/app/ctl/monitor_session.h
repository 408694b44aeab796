#pragma once

#include <functional>

#include "app/ctl/ctl_environment.h"
#include "device/monitor_protocol.h"

namespace app::ctl {

// Opens the PSU controller's read and write handles, obtains the access mutex and runs
// `exchanges` under it with a protocol on fresh readings and calibration; the mutex is
// released before this returns. Says why on the error stream and returns exit code 2 when
// the device cannot be opened or the mutex obtained; otherwise returns what `exchanges`
// returned. Printing belongs after this, outside the lock.
int RunUnderAccessLock(CtlEnvironment& environment,
                       const std::function<int(device::MonitorProtocol&)>& exchanges);

}  // namespace app::ctl
