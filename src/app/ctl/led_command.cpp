#include "app/ctl/commands.h"
#include "app/ctl/ctl_arguments.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/monitor_session.h"
#include "app/ctl/usage_error.h"

namespace app::ctl {

int RunLed(CtlEnvironment& environment, std::span<const std::string> arguments) {
  ExpectArguments(arguments, 1, "led on|off");
  if (arguments[0] != "on" && arguments[0] != "off")
    throw UsageError("led takes on or off (got '" + arguments[0] + "')");
  const bool on = arguments[0] == "on";
  const int code = RunUnderAccessLock(environment, [&](device::MonitorProtocol& protocol) {
    return protocol.SetLed(on) ? kExitDone : kExitNoAnswer;
  });
  if (code == kExitDone) environment.Out() << "LED " << (on ? "on" : "off") << "\n";
  if (code == kExitNoAnswer) {
    environment.Err() << "quelta-ctl: the PSU controller did not answer (the LED command was not "
                         "delivered): the LED was not switched\n";
  }
  return code;
}

}  // namespace app::ctl
