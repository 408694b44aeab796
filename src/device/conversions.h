#pragma once

#include <cstdint>
#include <optional>

#include "device/calibration_table.h"
#include "device/reading_set.h"

namespace device {

// The conversions from reply bytes to engineering units. Results are 32-bit floats; the
// arithmetic before each stored result runs in double.

// A left-aligned 10-bit sample of a big-endian word: (high * 256 + low) >> 6, 0..1023.
std::uint16_t TenBitSample(std::uint8_t high, std::uint8_t low);

// The reference voltage of reply 0x00: 1689.6 / raw with raw = d1 * 4 + (d2 >> 6).
// nullopt for a raw of 0, which cannot be converted.
std::optional<float> ReferenceFromReply(std::uint8_t d1, std::uint8_t d2);

// 5V, 3.3V and 5Vsb (a x2 divider): raw * reference * 2 / 1024, never below 0.
float LowRailVolts(std::uint16_t raw, float reference);
// The 12 V rails (a x5 divider): raw * reference * 5 / 1024, never below 0.
float HighRailVolts(std::uint16_t raw, float reference);
// -12V: ((raw * reference / 1024) - reference) * 11 + reference, never above 0.
float NegativeRailVolts(std::uint16_t raw, float reference);

// Fan speed from the period bytes: period = high + low / 255, times 10.9226 (each stored as
// a float); 60000 / period rpm, 0 for a period of 0.
float FanSpeed(std::uint8_t high, std::uint8_t low);

// Calibration bytes: 255 marks an unprogrammed value (offset 0, gain byte 50).
float CalibrationOffset(std::uint8_t offsetByte);
float CalibrationGain(std::uint8_t gainByte, float offset);

// (b - Offset) / Gain, never below 0; 0 when the channel's gain is 0.
float RailCurrent(std::uint8_t b, const CalibrationChannel& channel);

// Temperatures are whole degrees Celsius, one byte each.
float Temperature(std::uint8_t b);

// The sum of volts times amps over the six rails that carry a current channel.
float WattTotal(const ReadingSet& readings);

// The two readings of a power-rating code. The worker takes an unknown code for 550 W; the
// start-up probe takes it for 0 (unsupported).
enum class RatingMapping { Worker, Probe };
std::int32_t PowerRatingFromCode(std::uint8_t code, RatingMapping mapping);

// Fan-curve voltage code: start volts * 256 / (5 * reference), truncated toward zero and held
// within 0..255: a code above 255 is sent as 255. A reference of 0 gives 0 (no code).
std::uint8_t FanCurveVoltageCode(float startVolts, float reference);

// The system fan's sensor code for sensor choice 0..4 (PSU, T1..T4): 0xA0, 0xA2, 0xA4, 0xA6,
// 0xA8; 0x00 for any other choice.
std::int32_t SystemFanSensorCode(int choice);

}  // namespace device
