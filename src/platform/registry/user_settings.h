#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "platform/registry/registry.h"

namespace platform {

// The settings the programs load and save: the user's layer over the factory tree beside the
// programs in `programFolder`. On Linux the user's layer is `registryFile` (--registry FILE)
// or the user's settings file, started on first run; on Windows it is the user's registry key
// (kUserSettingsKey), and a `registryFile` is read as it stands, without saving to it. Throws
// RegistryFileError naming the file when a file cannot be had.
std::unique_ptr<RegistryStore> OpenUserSettings(
    const std::optional<std::filesystem::path>& registryFile,
    const std::filesystem::path& programFolder);

}  // namespace platform
