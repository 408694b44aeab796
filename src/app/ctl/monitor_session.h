#pragma once

#include <functional>

#include "app/ctl/ctl_environment.h"
#include "device/monitor_protocol.h"

namespace app::ctl {

// Obtains and takes the access mutex, then opens the PSU controller's read and write handles
// and runs `exchanges` with a protocol on fresh readings and calibration; the handles are
// closed and the mutex released before this returns. Says why on the error stream and returns exit
// code 2 when the device cannot be opened or the mutex obtained, and exit code 3 naming the holder
// when another holder keeps the mutex beyond --lock-wait; otherwise returns what `exchanges`
// returned. Printing belongs after this, outside the lock.
int RunUnderAccessLock(CtlEnvironment& environment,
                       const std::function<int(device::MonitorProtocol&)>& exchanges);

}  // namespace app::ctl
