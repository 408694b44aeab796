#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace app::ctl {

// The command line: global options, then a command word and its own arguments. Global
// options may also follow the command; the command's own options (like --json) stay with
// the command's arguments.
struct CtlOptions {
  bool help = false;
  bool simulate = false;
  std::string scenarioFile;  // with --simulate=SCENARIO; empty for the built-in model
  std::optional<std::string> traceFile;
  std::optional<std::string> registryFile;  // --registry FILE; else the default location
  // --lock-wait SECONDS: how long a command waits for the access mutex while another holder
  // keeps it, before it gives up with exit 3 naming the holder.
  std::chrono::milliseconds lockWait{kDefaultLockWait};
  static constexpr std::chrono::milliseconds kDefaultLockWait{10000};
  std::string command;  // empty when none was given
  std::vector<std::string> arguments;
};

// Throws UsageError naming the offending option.
CtlOptions ParseCtlOptions(const std::vector<std::string>& args);

}  // namespace app::ctl
