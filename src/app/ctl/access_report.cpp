#include "app/ctl/access_report.h"

#include "device/access_denied.h"

namespace app::ctl {

bool ReportAccessDenied(CtlEnvironment& environment, const device::DeviceIdentity& device) {
  const std::optional<std::string> path = device::DeniedInterfacePath(environment.Bus(), device);
  if (!path) return false;
  environment.Err() << "quelta-ctl: " << device::AccessDeniedText(device, *path) << "\n";
  return true;
}

void ReportMonitorNotOpened(CtlEnvironment& environment) {
  if (ReportAccessDenied(environment, device::kMonitorDevice)) return;
  environment.Err() << "quelta-ctl: the PSU controller (" << device::kMonitorDevice.instanceText
                    << ") was not found or could not be opened\n";
}

}  // namespace app::ctl
