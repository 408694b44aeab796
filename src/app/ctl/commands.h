#pragma once

#include <span>
#include <string>

#include "app/ctl/ctl_environment.h"

namespace app::ctl {

// The device commands, one source file each.
int RunList(CtlEnvironment& environment, std::span<const std::string> arguments);
int RunProbe(CtlEnvironment& environment, std::span<const std::string> arguments);
int RunStatus(CtlEnvironment& environment, std::span<const std::string> arguments);
int RunLed(CtlEnvironment& environment, std::span<const std::string> arguments);
int RunFan(CtlEnvironment& environment, std::span<const std::string> arguments);
int RunTrim(CtlEnvironment& environment, std::span<const std::string> arguments);

}  // namespace app::ctl
