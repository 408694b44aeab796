#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "settings/fan_preset.h"
#include "settings/setting_codes.h"

namespace settings {

// TempSensorIndex: the sensor that drives the system fan in mode Manual.
inline constexpr std::int32_t kSensorPSU = 0;
inline constexpr std::int32_t kSensorT4 = 4;

// Positions in FanSettings::PSUFanPresets.
enum PsuFanCurve : std::size_t { kPsuManual, kPsuPerformance, kPsuNormal, kPsuSilent };
// Positions in FanSettings::SystemFanPresets; the five manual curves follow TempSensorIndex.
enum SystemFanCurve : std::size_t {
  kSysManualPSU,
  kSysManualT1,
  kSysManualT2,
  kSysManualT3,
  kSysManualT4,
  kSysPerformance,
  kSysNormal,
  kSysSilent
};

// The fan-speed settings as the main window holds them. All 0 and empty until loaded.
struct FanSettings {
  FanMode PSUFanMode{};
  FanMode SystemFanMode{};
  std::int32_t SystemFanSensor = 0;
  std::array<FanPreset, 4> PSUFanPresets;     // Manual, Performance, Normal, Silent
  std::array<FanPreset, 8> SystemFanPresets;  // Manual\PSU, \T1..\T4, Performance, Normal, Silent
};

}  // namespace settings
