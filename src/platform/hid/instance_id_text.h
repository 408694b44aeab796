#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Instance-id texts "<bus>\VID_vvvv&PID_pppp\<suffix>", which HidBus promises on every
// backend (HidInterfaceInfo::instanceId, PresentDeviceIds), built here from what Linux shows.

// "HID\VID_1044&PID_4001\<suffix>" (hexadecimal in upper case, four digits).
std::string HidInstanceId(std::uint16_t vendorId, std::uint16_t productId, std::string_view suffix);

// "USB\VID_1044&PID_4001\<suffix>" from the idVendor/idProduct texts of a USB device
// ("1044", "4001"); nullopt when either is not four hexadecimal digits.
std::optional<std::string> UsbInstanceId(std::string_view idVendor, std::string_view idProduct,
                                         std::string_view suffix);

// The HID instance id of a HID_ID text "BBBB:VVVVVVVV:PPPPPPPP" (bus, vendor, product, all
// hexadecimal); nullopt when the text has another shape.
std::optional<std::string> HidInstanceIdFromHidId(std::string_view hidId, std::string_view suffix);

}  // namespace platform
