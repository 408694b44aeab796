// quelta-ctl skin-check on Windows: the check decodes every picture with Qt's image readers,
// which the Windows command-line build does not carry, so it says so and does nothing.
#include "app/ctl/commands.h"
#include "app/ctl/ctl_environment.h"
#include "app/ctl/exit_code.h"

namespace app::ctl {

int RunSkinCheckCommand(CtlEnvironment& environment, std::span<const std::string>) {
  environment.Err() << "quelta-ctl: skin-check is not available in this Windows build (it reads "
                       "the skin pictures through Qt, which this build leaves out)\n";
  return kExitUsage;
}

}  // namespace app::ctl
