#pragma once

#include <string_view>

namespace settings {

// Registry keys of the stored settings, below HKEY_LOCAL_MACHINE.
inline constexpr std::string_view kConfigKey = "SOFTWARE\\NORVANE\\Quelta\\Config";
inline constexpr std::string_view kPsuFanKey =
    "SOFTWARE\\NORVANE\\Quelta\\Config\\FanSpeed\\PSUFan";
inline constexpr std::string_view kSystemFanKey =
    "SOFTWARE\\NORVANE\\Quelta\\Config\\FanSpeed\\SystemFan";
inline constexpr std::string_view kVoltageKey = "SOFTWARE\\NORVANE\\Quelta\\Config\\Voltage";
inline constexpr std::string_view kAlarmKey = "SOFTWARE\\NORVANE\\Quelta\\Alarm";

}  // namespace settings
