#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "device/device_identity.h"
#include "platform/hid/hid_bus.h"

namespace device {

// The path of an interface with the device's ids that this user may not open, when no
// interface with those ids opens; nullopt when one opens, none is there, or they fail for
// another reason. Every candidate is opened (and closed at once) to ask, so this belongs
// after an open has already failed, not in a loop.
std::optional<std::string> DeniedInterfacePath(platform::HidBus& bus, const DeviceIdentity& device);

// What the user is told when the device is there but refuses them, e.g. "the PSU controller
// is at /dev/hidraw3 but this user may not open it; ...".
std::string AccessDeniedText(const DeviceIdentity& device, std::string_view path);

}  // namespace device
