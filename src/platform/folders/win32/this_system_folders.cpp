#include <cstdlib>

#include "platform/folders/app_folders.h"

namespace platform {

AppFolders ThisSystemAppFolders() {
  return WindowsAppFolders([](const char* name) -> const char* { return std::getenv(name); });
}

}  // namespace platform
