#pragma once

#include <cstdint>

namespace device {

// The decoded readings of the PSU controller, in V, A, degrees Celsius, rpm and W.
struct ReadingSet {
  float ReferenceVoltage = 0.0f;
  float Vol5V = 0.0f;
  float Vol33V = 0.0f;
  float Vol5Vsb = 0.0f;
  float Vol12V4 = 0.0f;
  float Vol12V1 = 0.0f;
  float Vol12V2 = 0.0f;
  float Vol12V3 = 0.0f;
  float VolNeg12V = 0.0f;  // zero or negative; displays show its magnitude
  float Cur5V = 0.0f;
  float Cur33V = 0.0f;
  float Cur12V1 = 0.0f;
  float Cur12V2 = 0.0f;
  float Cur12V3 = 0.0f;
  float Cur12V4 = 0.0f;
  float TempT1 = 0.0f;
  float TempT2 = 0.0f;
  float TempT3 = 0.0f;
  float TempT4 = 0.0f;
  float TempPSU = 0.0f;
  float FanPSU = 0.0f;
  float FanSystem = 0.0f;
  float WattTotal = 0.0f;
  std::int32_t PowerRating = 0;  // 450, 550, 680 or 800 W; 0 while unknown
};

}  // namespace device
