#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>

namespace platform {

// The folders of the programs' own per-user files: what is kept and follows the user
// (settings), and what the programs accumulate on this machine (state, such as a record of
// readings). Neither is created here.
struct AppFolders {
  std::filesystem::path settings;
  std::filesystem::path state;
};

// No variable gives a folder: the message names the variables looked at.
class AppFoldersError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Looks up an environment variable; nullptr when unset.
using EnvironmentLookup = std::function<const char*(const char*)>;

// Linux: $XDG_CONFIG_HOME/quelta and $XDG_STATE_HOME/quelta, or ~/.config/quelta and
// ~/.local/state/quelta when a variable is unset or not absolute.
AppFolders XdgAppFolders(const EnvironmentLookup& getenv);

// Windows: %APPDATA%\Quelta (roaming) and %LOCALAPPDATA%\Quelta (this machine's), or their
// places below %USERPROFILE% when a variable is unset or not an absolute path.
AppFolders WindowsAppFolders(const EnvironmentLookup& getenv);

// The rule of the system the programs run on, from the process's environment.
AppFolders ThisSystemAppFolders();

}  // namespace platform
