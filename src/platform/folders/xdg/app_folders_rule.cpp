#include <string>

#include "platform/folders/app_folders.h"

namespace platform {
namespace {

constexpr char kProgramFolder[] = "quelta";

std::string Absolute(const char* value) {
  return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

}  // namespace

AppFolders XdgAppFolders(const EnvironmentLookup& getenv) {
  const std::string config = Absolute(getenv("XDG_CONFIG_HOME"));
  const std::string state = Absolute(getenv("XDG_STATE_HOME"));
  const std::string home = Absolute(getenv("HOME"));
  if ((config.empty() || state.empty()) && home.empty()) {
    throw AppFoldersError("neither XDG_CONFIG_HOME and XDG_STATE_HOME nor HOME is set");
  }
  return AppFolders{(config.empty() ? home + "/.config" : config) + "/" + kProgramFolder,
                    (state.empty() ? home + "/.local/state" : state) + "/" + kProgramFolder};
}

}  // namespace platform
