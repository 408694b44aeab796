#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// The factory settings file installed beside the programs.
inline constexpr char kFactoryFileName[] = "quelta-factory.reg";

// What the default location depends on.
struct RegistryEnvironment {
  std::string xdgConfigHome;  // $XDG_CONFIG_HOME, "" when unset
  std::string home;           // $HOME, "" when unset

  static RegistryEnvironment FromProcess();
};

// $XDG_CONFIG_HOME/quelta/registry.reg, or ~/.config/quelta/registry.reg when XDG_CONFIG_HOME is
// unset or not absolute. Throws RegistryFileError when HOME is needed and not set.
std::filesystem::path DefaultRegistryFile(const RegistryEnvironment& environment);

// First run: when `file` does not exist, creates its missing folders (mode 0700) and puts a
// settings file there atomically that holds no value yet (the tree is read from `factoryFile`
// beneath it, which must exist); a file another process put there first is kept. Returns true
// when this call created the file. Throws RegistryFileError naming the file when it cannot.
bool SeedRegistryFile(const std::filesystem::path& file, const std::filesystem::path& factoryFile);

// The settings file to use: `option` (--registry FILE) as given, or else the default file,
// started on first run when `programFolder`/quelta-factory.reg is there.
std::filesystem::path LocateRegistryFile(const std::optional<std::filesystem::path>& option,
                                         const std::filesystem::path& programFolder,
                                         const RegistryEnvironment& environment);

}  // namespace platform
