#pragma once

#include <cstdint>

namespace settings {

// One fan curve as the fan-speed page holds it and the PSU takes it: the voltage the fan starts
// at, the temperature (Celsius) from which it rises, and the sensor that drives it (0 the PSU's
// own, 1 .. 4 T1 .. T4). Drags and typing write it; OK reads it; edits only show it.
struct FanCurve {
  float volts = 0.0f;
  float celsius = 0.0f;
  std::int32_t sensor = 0;
};

}  // namespace settings
