#include "platform/registry/registry_location.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/registry/atomic_file.h"
#include "platform/registry/registry_file_error.h"

namespace platform {
namespace {

constexpr mode_t kConfigFolderMode = 0700;
constexpr mode_t kSettingsFileMode = 0600;
constexpr char kProgramFolderName[] = "quelta";
constexpr char kSettingsFileName[] = "registry.reg";
constexpr std::string_view kNewSettingsFile =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "; Your settings. A value here wins over the same value in quelta-factory.reg beside the\r\n"
    "; program; delete its line to have the factory value again.\r\n";

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// Creates every missing folder of `folder`, each private to the user.
void CreateFolders(const std::filesystem::path& folder) {
  std::filesystem::path partial;
  for (const std::filesystem::path& part : folder) {
    partial /= part;
    if (::mkdir(partial.c_str(), kConfigFolderMode) != 0 && errno != EEXIST) {
      throw RegistryFileError("Cannot create the settings folder " + partial.string() + ": " +
                              std::strerror(errno));
    }
  }
}

}  // namespace

RegistryEnvironment RegistryEnvironment::FromProcess() {
  return RegistryEnvironment{Env("XDG_CONFIG_HOME"), Env("HOME")};
}

std::filesystem::path DefaultRegistryFile(const RegistryEnvironment& environment) {
  std::filesystem::path config(environment.xdgConfigHome);
  // The base directory rules ignore a relative XDG_CONFIG_HOME.
  if (environment.xdgConfigHome.empty() || !config.is_absolute()) {
    if (environment.home.empty()) {
      throw RegistryFileError(
          "Cannot find the settings file: neither XDG_CONFIG_HOME nor HOME is set (use "
          "--registry FILE)");
    }
    config = std::filesystem::path(environment.home) / ".config";
  }
  return config / kProgramFolderName / kSettingsFileName;
}

bool SeedRegistryFile(const std::filesystem::path& file, const std::filesystem::path& factoryFile) {
  std::error_code error;
  if (std::filesystem::exists(file, error)) return false;
  // The user's file holds only what the programs save; the tree itself stays in the factory
  // file, so that must be there to start from.
  if (!std::filesystem::is_regular_file(factoryFile, error)) {
    throw RegistryFileError("No settings file at " + file.string() + ", and no factory file " +
                            factoryFile.string() + " to start it from");
  }
  if (file.has_parent_path()) CreateFolders(file.parent_path());
  switch (WriteFileAtomically(file, kNewSettingsFile, kSettingsFileMode, false)) {
    case AtomicWriteResult::Written:
      return true;
    case AtomicWriteResult::AlreadyExists:
      return false;
    case AtomicWriteResult::Failed:
      break;
  }
  throw RegistryFileError("Cannot create the settings file " + file.string());
}

std::filesystem::path LocateRegistryFile(const std::optional<std::filesystem::path>& option,
                                         const std::filesystem::path& programFolder,
                                         const RegistryEnvironment& environment) {
  if (option) return *option;
  const std::filesystem::path file = DefaultRegistryFile(environment);
  SeedRegistryFile(file, programFolder / kFactoryFileName);
  return file;
}

}  // namespace platform
