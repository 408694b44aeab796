#include "app/ctl/commands.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/monitor_session.h"
#include "app/ctl/status_report.h"
#include "app/ctl/status_snapshot.h"
#include "app/ctl/usage_error.h"

namespace app::ctl {

int RunStatus(CtlEnvironment& environment, std::span<const std::string> arguments) {
  bool json = false;
  for (const std::string& argument : arguments) {
    if (argument != "--json") throw UsageError("status takes only --json (got '" + argument + "')");
    json = true;
  }
  StatusSnapshot snapshot;
  const int code = RunUnderAccessLock(environment, [&](device::MonitorProtocol& protocol) {
    snapshot = ReadStatusSnapshot(protocol);
    return kExitDone;
  });
  if (code != kExitDone) return code;
  if (!snapshot.groups.Reference) {
    environment.Err() << "quelta-ctl: the PSU controller did not answer (reference read failed)\n";
    return kExitNoAnswer;
  }
  environment.Out() << (json ? StatusJson(snapshot) : StatusTable(snapshot));
  return kExitDone;
}

}  // namespace app::ctl
