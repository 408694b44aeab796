#include "app/ctl/commands.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/usage_error.h"
#include "platform/autostart/win32/run_key_autostart.h"

namespace app::ctl {

using platform::DisableRunKeyAutostart;
using platform::EnableRunKeyAutostart;
using platform::kRunKey;
using platform::kRunValueName;
using platform::RunKeyAutostartEnabled;

// On Windows the login entry is the current user's Run value, which needs no rights beyond
// the user's own.
int RunAutostart(CtlEnvironment& environment, std::span<const std::string> arguments) {
  if (arguments.size() != 1 ||
      (arguments[0] != "on" && arguments[0] != "off" && arguments[0] != "status"))
    throw UsageError("autostart takes on, off or status");
  const std::string& word = arguments[0];
  if (word == "status") {
    environment.Out() << (RunKeyAutostartEnabled(kRunKey) ? "on" : "off") << "\n";
    return kExitDone;
  }
  const std::string failure =
      word == "on" ? EnableRunKeyAutostart(kRunKey, environment.ProgramFolder() / "quelta.exe")
                   : DisableRunKeyAutostart(kRunKey);
  if (!failure.empty()) {
    environment.Err() << "quelta-ctl: " << failure << "\n";
    return kExitSaveFailed;
  }
  environment.Out() << "autostart " << word << ": HKEY_CURRENT_USER\\" << kRunKey << "\\"
                    << kRunValueName << "\n";
  return kExitDone;
}

}  // namespace app::ctl
