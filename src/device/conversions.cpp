#include "device/conversions.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "device/protocol.h"
#include "device/rail_table.h"

namespace device {
namespace {

constexpr int kSampleShift = 6;                 // 10-bit samples sit in the top of a word
constexpr int kReferenceHighShift = 2;          // reference raw = d1 * 4 + (d2 >> 6)
constexpr double kReferenceNumerator = 1689.6;  // 1.65 V * 1024
constexpr double kFullScale = 0.0009765625;     // 1 / 1024
constexpr double kLowRailDivider = 2.0;
constexpr double kHighRailDivider = 5.0;
constexpr double kNegativeRailGain = 11.0;
constexpr double kFanLowDivisor = 255.0;
constexpr double kFanPeriodScale = 10.9226;
constexpr double kFanMinute = 60000.0;
constexpr std::uint8_t kUnprogrammed = 255;
constexpr float kUnprogrammedGainByte = 50.0f;
constexpr double kGainScale = 0.125;
constexpr double kFanCodeScale = 256.0;
constexpr double kFanCodeDivider = 5.0;
// Far beyond any byte; keeps the integer conversion defined.
constexpr double kLargestFanCode = 255.0;  // the code travels in one byte
struct RatingCode {
  std::uint8_t code;
  std::int32_t watts;
};
constexpr RatingCode kRatings[] = {
    {kRating450Code, 450}, {kRating550Code, 550}, {kRating680Code, 680}, {kRating800Code, 800}};
constexpr std::int32_t kUnknownRatingInWorker = 550;
constexpr std::int32_t kUnknownRatingInProbe = 0;  // "unsupported": the program ends
constexpr std::int32_t kSensorCodes[] = {0xA0, 0xA2, 0xA4, 0xA6, 0xA8};

float NotBelowZero(double value) {
  const auto stored = static_cast<float>(value);
  return stored < 0.0f ? 0.0f : stored;
}

}  // namespace

std::uint16_t TenBitSample(std::uint8_t high, std::uint8_t low) {
  return static_cast<std::uint16_t>(((high << 8) | low) >> kSampleShift);
}

std::optional<float> ReferenceFromReply(std::uint8_t d1, std::uint8_t d2) {
  const int raw = (d1 << kReferenceHighShift) + (d2 >> kSampleShift);
  if (raw == 0) return std::nullopt;
  return static_cast<float>(kReferenceNumerator / static_cast<float>(raw));
}

float LowRailVolts(std::uint16_t raw, float reference) {
  return NotBelowZero(raw * static_cast<double>(reference) * kLowRailDivider * kFullScale);
}

float HighRailVolts(std::uint16_t raw, float reference) {
  return NotBelowZero(raw * static_cast<double>(reference) * kHighRailDivider * kFullScale);
}

float NegativeRailVolts(std::uint16_t raw, float reference) {
  const double ref = reference;
  const auto stored =
      static_cast<float>(((raw * ref * kFullScale) - ref) * kNegativeRailGain + ref);
  return stored > 0.0f ? 0.0f : stored;
}

float FanSpeed(std::uint8_t high, std::uint8_t low) {
  auto period = static_cast<float>(high + low / kFanLowDivisor);
  period = static_cast<float>(period * kFanPeriodScale);
  if (period <= 0.0f) return 0.0f;
  return static_cast<float>(kFanMinute / period);
}

float CalibrationOffset(std::uint8_t offsetByte) {
  return offsetByte == kUnprogrammed ? 0.0f : static_cast<float>(offsetByte);
}

float CalibrationGain(std::uint8_t gainByte, float offset) {
  const float g = gainByte == kUnprogrammed ? kUnprogrammedGainByte : static_cast<float>(gainByte);
  return static_cast<float>((static_cast<double>(g) - offset) * kGainScale);
}

float RailCurrent(std::uint8_t b, const CalibrationChannel& channel) {
  if (channel.Gain == 0.0f) return 0.0f;
  return NotBelowZero((b - static_cast<double>(channel.Offset)) / channel.Gain);
}

float Temperature(std::uint8_t b) {
  return static_cast<float>(b);
}

float WattTotal(const ReadingSet& r) {
  // Summed in channel order (5V, 3.3V, 12V1 .. 12V4) in double, narrowed once.
  double total = 0.0;
  for (const Rail* rail : RailsByCurrentChannel())
    total += static_cast<double>(r.*rail->volts) * (r.*rail->amps);
  return static_cast<float>(total);
}

std::int32_t PowerRatingFromCode(std::uint8_t code, RatingMapping mapping) {
  for (const RatingCode& rating : kRatings)
    if (rating.code == code) return rating.watts;
  return mapping == RatingMapping::Worker ? kUnknownRatingInWorker : kUnknownRatingInProbe;
}

std::uint8_t FanCurveVoltageCode(float startVolts, float reference) {
  const double code = std::trunc(static_cast<double>(startVolts) * kFanCodeScale /
                                 (kFanCodeDivider * static_cast<double>(reference)));
  // A start voltage beyond what one byte holds (a low reference) is sent as the highest code,
  // never as its wrapped low bits, which would start the fan near 0 V.
  if (!std::isfinite(code) || code <= 0.0) return 0;
  return static_cast<std::uint8_t>(std::min(code, kLargestFanCode));
}

std::int32_t SystemFanSensorCode(int choice) {
  if (choice < 0 || choice >= static_cast<int>(std::size(kSensorCodes))) return 0x00;
  return kSensorCodes[choice];
}

}  // namespace device
