// quelta-ctl send: the word names the message; the system's delivery takes it to the window.
#include <string>

#include "app/ctl/commands.h"
#include "app/ctl/ctl_arguments.h"
#include "app/ctl/send_words.h"
#include "app/ctl/usage_error.h"

namespace app::ctl {

int RunSend(CtlEnvironment& environment, std::span<const std::string> arguments) {
  ExpectArguments(arguments, 1, "send restore|restart-worker|apply-fan-curve|history|unplug|plug");
  for (const SendWord& word : kSendWords) {
    if (arguments[0] == word.name) return DeliverToWindow(environment, word);
  }
  throw UsageError(
      "send takes restore, restart-worker, apply-fan-curve, history, unplug or plug (got '" +
      arguments[0] + "')");
}

}  // namespace app::ctl
