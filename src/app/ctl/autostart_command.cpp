#include <stdexcept>

#include "app/ctl/autostart.h"
#include "app/ctl/commands.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/usage_error.h"

namespace app::ctl {

int RunAutostart(CtlEnvironment& environment, std::span<const std::string> arguments) {
  if (arguments.size() != 1 ||
      (arguments[0] != "on" && arguments[0] != "off" && arguments[0] != "status"))
    throw UsageError("autostart takes on, off or status");
  std::filesystem::path file;
  try {
    file = AutostartFile(platform::RegistryEnvironment::FromProcess());
  } catch (const std::runtime_error& error) {
    environment.Err() << "quelta-ctl: no autostart folder: " << error.what() << "\n";
    return kExitSaveFailed;
  }
  const std::string& word = arguments[0];
  if (word == "status") {
    const AutostartStatus status = ReadAutostartStatus(file);
    if (status.state == AutostartStatus::State::Other) {
      environment.Err() << "quelta-ctl: " << status.what << "\n";
      return kExitSettingsError;
    }
    environment.Out() << (status.state == AutostartStatus::State::On ? "on" : "off") << "\n";
    return kExitDone;
  }
  const std::string failure = word == "on"
                                  ? EnableAutostart(file, environment.ProgramFolder() / "quelta")
                                  : DisableAutostart(file);
  if (!failure.empty()) {
    environment.Err() << "quelta-ctl: " << failure << "\n";
    return kExitSaveFailed;
  }
  environment.Out() << "autostart " << word << ": " << file.string() << "\n";
  return kExitDone;
}

}  // namespace app::ctl
