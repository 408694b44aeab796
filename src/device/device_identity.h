#pragma once

#include <cstdint>
#include <string_view>

#include "platform/hid/hid_bus.h"

namespace device {

// The two devices the program talks to; fixed, not configurable.
struct DeviceIdentity {
  std::uint16_t vendorId;
  std::uint16_t productId;
  std::string_view instanceText;  // what the presence test looks for in instance ids
  platform::HidAccess access;
};

// The PSU controller (the monitor device): read and write.
inline constexpr DeviceIdentity kMonitorDevice{0x1044, 0x4001, "VID_1044&PID_4001",
                                               platform::HidAccess::ReadWrite};
// The needle panel: written to only.
inline constexpr DeviceIdentity kGaugeDevice{0x1044, 0x4100, "VID_1044&PID_4100",
                                             platform::HidAccess::WriteOnly};

// The machine-wide mutex that serialises every exchange with the monitor device among all
// processes that use the same name.
inline constexpr std::string_view kAccessMutexName = "Global\\Access_Norvane_KORL";

}  // namespace device
