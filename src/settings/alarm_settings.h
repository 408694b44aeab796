#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "settings/setting_codes.h"

namespace settings {

// The names of sensors T1..T4. The current names live in the pages' edit fields, so they go
// in and out of the stores as plain parameters.
using SensorNames = std::array<std::string, 4>;

// One watched reading: its threshold, whether its alarm is switched on, its factory threshold.
struct AlarmThreshold {
  float Value = 0.0f;
  bool Enable = false;
  float Default = 0.0f;
};

// The alarm thresholds as the main window holds them. All zero until loaded.
struct AlarmSettings {
  // The power alarm: its switch is held inverted, as a muted flag ("WattEnable" 0).
  float Watt = 0.0f;
  float DefaultWatt = 0.0f;
  bool WattMuted = false;

  // Each voltage threshold is the upper edge of a band symmetric about the nominal voltage.
  AlarmThreshold Voltage12V, Voltage5V, Voltage33V;
  AlarmThreshold Current5V, Current33V, Current12V1, Current12V2, Current12V3, Current12V4;
  AlarmThreshold PSUFan, SystemFan;  // alarm when the fan is slower
  AlarmThreshold TempPSU, TempT1, TempT2, TempT3, TempT4;

  SensorNames DefaultNames;
};

}  // namespace settings
