#pragma once

#include <memory>
#include <string_view>

#include "device/device_identity.h"
#include "platform/hid/hid_bus.h"

namespace device {

// Searches every HID interface, in the bus's order, for one with the device's vendor and
// product id that opens with the device's access and whose capabilities can be read; a
// candidate that fails either is passed over. Null when none qualifies. There is no limit
// on how many interfaces are examined, so a machine with many HID devices still finds it.
std::unique_ptr<platform::HidHandle> OpenDevice(platform::HidBus& bus,
                                                const DeviceIdentity& device);

// The searches for the two devices.
std::unique_ptr<platform::HidHandle> OpenMonitorDevice(platform::HidBus& bus);
std::unique_ptr<platform::HidHandle> OpenGaugeDevice(platform::HidBus& bus);

// True when a present device of any class has an instance id that contains `instanceText`
// (case-sensitive). A device whose id cannot be read is passed over, not taken for the end
// of the list.
bool IsDevicePresent(platform::HidBus& bus, std::string_view instanceText);

}  // namespace device
