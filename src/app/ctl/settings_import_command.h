#pragma once

#include <filesystem>
#include <ostream>

#include "platform/registry/registry.h"

namespace app::ctl {

// `settings import FILE`: takes the configuration and alarm values of a registry editor's
// export of the program key into the user's settings, in one save, and prints each value taken
// and each value left with the reason. A file that is not such an export is refused with
// kExitSettingsError and nothing is saved; kExitSaveFailed when the save did not reach the
// settings.
int RunSettingsImport(platform::RegistryStore& store, const std::filesystem::path& file,
                      std::ostream& out, std::ostream& err);

}  // namespace app::ctl
