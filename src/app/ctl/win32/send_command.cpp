// quelta-ctl send on Windows: the message is posted to the window of class "Quelta".
#include <string>

#include "app/ctl/commands.h"
#include "app/ctl/ctl_arguments.h"
#include "app/ctl/ctl_environment.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/usage_error.h"
#include "core/window_message_codes.h"
#include "platform/messages/win32/find_window_sender.h"

namespace app::ctl {
namespace {

struct NamedMessage {
  std::string_view name;
  std::uint32_t message;
};
constexpr NamedMessage kMessages[] = {
    {"restore", core::kRestoreMessage},
    {"restart-worker", core::kWorkerRestartMessage},
    {"apply-fan-curve", core::kFanCurveApplyMessage},
    {"unplug", core::kSimulatedUnplugMessage},
    {"plug", core::kSimulatedPlugMessage},
};

}  // namespace

int RunSend(CtlEnvironment& environment, std::span<const std::string> arguments) {
  ExpectArguments(arguments, 1, "send restore|restart-worker|apply-fan-curve|unplug|plug");
  for (const NamedMessage& named : kMessages) {
    if (arguments[0] != named.name) continue;
    platform::FindWindowSender sender;
    switch (sender.Send(named.message)) {
      case platform::MessageDelivery::Delivered:
        environment.Out() << "sent " << named.name << "\n";
        return kExitDone;
      case platform::MessageDelivery::NoWindow:
        environment.Err() << "quelta-ctl: no Quelta window is open (no window of class Quelta)\n";
        return kExitNotFound;
      case platform::MessageDelivery::NotDelivered:
        environment.Err() << "quelta-ctl: the Quelta window did not take the message " << named.name
                          << "\n";
        return kExitNoAnswer;
    }
    return kExitNoAnswer;
  }
  throw UsageError("send takes restore, restart-worker, apply-fan-curve, unplug or plug (got '" +
                   arguments[0] + "')");
}

}  // namespace app::ctl
