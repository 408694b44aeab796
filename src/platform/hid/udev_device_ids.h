#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// The instance id of every device udev knows (see HidapiBus for the forms). An empty entry
// stands for a device whose id could not be read; nullopt when udev itself is unavailable.
std::optional<std::vector<std::optional<std::string>>> ListUdevDeviceIds();

}  // namespace platform
