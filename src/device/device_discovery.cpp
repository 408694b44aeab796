#include "device/device_discovery.h"

namespace device {

std::unique_ptr<platform::HidHandle> OpenDevice(platform::HidBus& bus,
                                                const DeviceIdentity& device) {
  for (const platform::HidInterfaceInfo& info : bus.Interfaces()) {
    if (info.vendorId != device.vendorId || info.productId != device.productId) continue;
    std::unique_ptr<platform::HidHandle> handle = bus.Open(info.path, device.access);
    if (handle && handle->Capabilities()) return handle;
    // A handle that fails the checks is closed here and the search goes on.
  }
  return nullptr;
}

std::unique_ptr<platform::HidHandle> OpenMonitorDevice(platform::HidBus& bus) {
  return OpenDevice(bus, kMonitorDevice);
}

std::unique_ptr<platform::HidHandle> OpenGaugeDevice(platform::HidBus& bus) {
  return OpenDevice(bus, kGaugeDevice);
}

bool IsDevicePresent(platform::HidBus& bus, std::string_view instanceText) {
  for (const std::optional<std::string>& id : bus.PresentDeviceIds()) {
    if (id && id->find(instanceText) != std::string::npos) return true;
  }
  return false;
}

}  // namespace device
