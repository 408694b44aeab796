#include <exception>

#include "app/ctl/commands.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/settings_commands.h"
#include "app/ctl/settings_import_command.h"
#include "app/ctl/usage_error.h"
#include "platform/registry/registry.h"

namespace app::ctl {
namespace {

bool TakeJsonFlag(std::span<const std::string> arguments, std::string_view usage) {
  if (arguments.empty()) return false;
  if (arguments.size() == 1 && arguments[0] == "--json") return true;
  throw UsageError("usage: " + std::string(usage));
}

// The settings file itself may be missing or malformed: that is an error of the settings
// file, named with its line, like the errors the loads raise.
template <typename Command>
int WithSettings(CtlEnvironment& environment, Command command) {
  try {
    return command(environment.Registry());
  } catch (const platform::RegistryReadError& error) {
    environment.Err() << error.what() << "\n";
    return kExitSettingsError;
  }
}

}  // namespace

int RunConfig(CtlEnvironment& environment, std::span<const std::string> arguments) {
  constexpr std::string_view kUsage = "config show [--json]";
  if (arguments.empty() || arguments[0] != "show")
    throw UsageError("usage: " + std::string(kUsage));
  const bool json = TakeJsonFlag(arguments.subspan(1), kUsage);
  return WithSettings(environment, [&](platform::RegistryStore& store) {
    return RunConfigShow(store, json, environment.Out(), environment.Err());
  });
}

int RunAlarms(CtlEnvironment& environment, std::span<const std::string> arguments) {
  constexpr std::string_view kUsage =
      "alarms show [--json] | alarms restore-defaults | alarms check [--json]";
  if (!arguments.empty() && arguments[0] == "show") {
    const bool json = TakeJsonFlag(arguments.subspan(1), kUsage);
    return WithSettings(environment, [&](platform::RegistryStore& store) {
      return RunAlarmsShow(store, json, environment.Out(), environment.Err());
    });
  }
  if (arguments.size() == 1 && arguments[0] == "restore-defaults") {
    return WithSettings(environment, [&](platform::RegistryStore& store) {
      return RunAlarmsRestoreDefaults(store, environment.Out(), environment.Err());
    });
  }
  if (!arguments.empty() && arguments[0] == "check") {
    const bool json = TakeJsonFlag(arguments.subspan(1), kUsage);
    return WithSettings(
        environment, [&](platform::RegistryStore&) { return RunAlarmsCheck(environment, json); });
  }
  throw UsageError("usage: " + std::string(kUsage));
}

int RunSettings(CtlEnvironment& environment, std::span<const std::string> arguments) {
  if (arguments.size() != 2 || arguments[0] != "import") {
    throw UsageError("usage: settings import FILE");
  }
  return WithSettings(environment, [&](platform::RegistryStore& store) {
    return RunSettingsImport(store, arguments[1], environment.Out(), environment.Err());
  });
}

}  // namespace app::ctl
