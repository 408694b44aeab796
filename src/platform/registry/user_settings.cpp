#include "platform/registry/user_settings.h"

#include "platform/registry/overlay_registry_store.h"
#include "platform/registry/registry_location.h"

namespace platform {

std::unique_ptr<RegistryStore> OpenUserSettings(
    const std::optional<std::filesystem::path>& registryFile,
    const std::filesystem::path& programFolder) {
  return OpenSettingsStore(
      LocateRegistryFile(registryFile, programFolder, RegistryEnvironment::FromProcess()),
      programFolder);
}

}  // namespace platform
