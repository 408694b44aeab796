#include "device/access_denied.h"

namespace device {

std::optional<std::string> DeniedInterfacePath(platform::HidBus& bus,
                                               const DeviceIdentity& device) {
  std::optional<std::string> denied;
  for (const platform::HidInterfaceInfo& info : bus.Interfaces()) {
    if (info.vendorId != device.vendorId || info.productId != device.productId) continue;
    const platform::HidOpenResult opened = bus.OpenExplained(info.path, device.access);
    // One interface that opens is a device this user may use.
    if (opened.handle) return std::nullopt;
    if (opened.error == platform::HidOpenError::PermissionDenied && !denied) denied = info.path;
  }
  return denied;
}

std::string AccessDeniedText(const DeviceIdentity& device, std::string_view path) {
  const bool gauge =
      device.vendorId == kGaugeDevice.vendorId && device.productId == kGaugeDevice.productId;
  return std::string(gauge ? "the gauge panel" : "the PSU controller") + " is at " +
         std::string(path) +
         " but this user may not open it; install the package's udev rule or run "
         "`sudo udevadm trigger` after installing it";
}

}  // namespace device
