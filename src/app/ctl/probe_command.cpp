#include "app/ctl/access_report.h"
#include "app/ctl/commands.h"
#include "app/ctl/ctl_arguments.h"
#include "app/ctl/exit_code.h"
#include "device/device_identity.h"
#include "device/device_ready.h"
#include "device/monitor_connection.h"

namespace app::ctl {

// The probe exactly as the main window's ConnectDevice runs it, without starting a worker.
int RunProbe(CtlEnvironment& environment, std::span<const std::string> arguments) {
  ExpectArguments(arguments, 0, "probe");
  device::DeviceReady ready;
  device::MonitorConnection connection(
      environment.Bus(), environment.Sleeper(), ready,
      [&environment] { return environment.OpenAccessMutex(); }, nullptr);
  connection.SetLockWait(environment.LockWait());
  const device::ConnectResult result = connection.ConnectDevice();
  switch (result) {
    case device::ConnectResult::LockBusy:
      return environment.ReportLockBusy(*connection.AccessMutex());
    case device::ConnectResult::NotOpened:
      ReportMonitorNotOpened(environment);
      return kExitNotFound;
    case device::ConnectResult::NoAccessMutex:
      environment.Err() << "quelta-ctl: no access mutex: " << connection.AccessMutexError() << "\n";
      return kExitNotFound;
    case device::ConnectResult::ProbeFailed:
      environment.Out() << connection.PowerRating() << "\n";
      environment.Err() << "quelta-ctl: the PSU controller did not answer the start-up probe\n";
      return kExitNoAnswer;
    case device::ConnectResult::Connected:
      break;
  }
  environment.Out() << connection.PowerRating() << "\n";
  return kExitDone;
}

}  // namespace app::ctl
