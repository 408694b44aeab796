// quelta-ctl history, metrics and serve on Windows: the record is SQLite, the service's server
// POSIX sockets and its notices D-Bus, none of which the Windows command-line build carries
// yet, so each says so and does nothing.
#include <string_view>

#include "app/ctl/commands.h"
#include "app/ctl/ctl_environment.h"
#include "app/ctl/exit_code.h"

namespace app::ctl {
namespace {

int NotInThisBuild(CtlEnvironment& environment, std::string_view command) {
  environment.Err() << "quelta-ctl: " << command
                    << " is not available in this Windows build (the record, the metrics and "
                       "the service are built on Linux only for now)\n";
  return kExitUsage;
}

}  // namespace

int RunHistory(CtlEnvironment& environment, std::span<const std::string>) {
  return NotInThisBuild(environment, "history");
}

int RunMetrics(CtlEnvironment& environment, std::span<const std::string>) {
  return NotInThisBuild(environment, "metrics");
}

int RunServe(CtlEnvironment& environment, std::span<const std::string>) {
  return NotInThisBuild(environment, "serve");
}

}  // namespace app::ctl
