#pragma once

#include "app/ctl/ctl_environment.h"
#include "device/device_identity.h"

namespace app::ctl {

// When the device is there but this user may not open it, says so on the error stream
// (with its node and what to do) and returns true; otherwise says nothing.
bool ReportAccessDenied(CtlEnvironment& environment, const device::DeviceIdentity& device);

// Why the PSU controller did not open: access denied when that is the reason, otherwise
// "not found or could not be opened".
void ReportMonitorNotOpened(CtlEnvironment& environment);

}  // namespace app::ctl
