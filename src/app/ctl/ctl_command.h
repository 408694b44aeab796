#pragma once

#include <span>
#include <string>
#include <string_view>

#include "app/ctl/ctl_environment.h"

namespace app::ctl {

// One command of quelta-ctl. `run` gets the words after the command name and returns the
// exit code; it throws UsageError for arguments it cannot take.
struct CtlCommand {
  std::string_view name;
  std::string_view arguments;  // as shown in the usage, e.g. "[--json]"
  std::string_view summary;    // one line, or more separated by '\n'
  int (*run)(CtlEnvironment& environment, std::span<const std::string> arguments);
};

// Every command, in the order the usage lists them. New commands are added to the table
// in ctl_commands.cpp.
std::span<const CtlCommand> CtlCommands();

}  // namespace app::ctl
