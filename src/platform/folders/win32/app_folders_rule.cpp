#include <string>

#include "platform/folders/app_folders.h"

namespace platform {
namespace {

constexpr char kProgramFolder[] = "Quelta";

// "C:\..." or a share, "\\server\...": a folder relative to the current one would move with it.
bool IsAbsolute(const std::string& path) {
  const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
  return drive || path.starts_with("\\\\");
}

std::string Folder(const EnvironmentLookup& getenv, const char* name) {
  const char* value = getenv(name);
  std::string path = value == nullptr ? std::string() : std::string(value);
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return IsAbsolute(path) ? path : std::string();
}

std::string Below(const std::string& folder, const std::string& name) {
  return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

}  // namespace

AppFolders WindowsAppFolders(const EnvironmentLookup& getenv) {
  std::string roaming = Folder(getenv, "APPDATA");
  std::string local = Folder(getenv, "LOCALAPPDATA");
  const std::string profile = Folder(getenv, "USERPROFILE");
  if ((roaming.empty() || local.empty()) && profile.empty()) {
    throw AppFoldersError("neither APPDATA and LOCALAPPDATA nor USERPROFILE is set");
  }
  if (roaming.empty()) roaming = Below(profile, "AppData\\Roaming");
  if (local.empty()) local = Below(profile, "AppData\\Local");
  return AppFolders{Below(roaming, kProgramFolder), Below(local, kProgramFolder)};
}

}  // namespace platform
