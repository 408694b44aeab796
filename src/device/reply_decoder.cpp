#include "device/reply_decoder.h"

#include <array>
#include <cstddef>

namespace device {
namespace {

// The current reply byte of each calibration channel: d3 and d7 carry none.
constexpr std::array<std::size_t, kCurrentChannelCount> kCurrentByteOfChannel{kD1, kD2, kD4,
                                                                              kD5, kD6, kD8};

std::uint16_t Word(const InputReport& reply, std::size_t highByte) {
  return TenBitSample(reply[highByte], reply[highByte + 1]);
}

}  // namespace

bool DecodeReference(const InputReport& reply, ReadingSet& readings) {
  const std::optional<float> reference = ReferenceFromReply(reply[kD1], reply[kD2]);
  if (!reference) return false;
  readings.ReferenceVoltage = *reference;
  return true;
}

void DecodeVoltagesA(const InputReport& reply, ReadingSet& readings) {
  const float reference = readings.ReferenceVoltage;
  readings.Vol5V = LowRailVolts(Word(reply, kD1), reference);
  readings.Vol33V = LowRailVolts(Word(reply, kD3), reference);
  readings.Vol5Vsb = LowRailVolts(Word(reply, kD5), reference);
  readings.Vol12V4 = HighRailVolts(Word(reply, kD7), reference);
}

void DecodeVoltagesB(const InputReport& reply, ReadingSet& readings) {
  const float reference = readings.ReferenceVoltage;
  readings.Vol12V1 = HighRailVolts(Word(reply, kD1), reference);
  readings.Vol12V2 = HighRailVolts(Word(reply, kD3), reference);
  readings.Vol12V3 = HighRailVolts(Word(reply, kD5), reference);
  readings.VolNeg12V = NegativeRailVolts(Word(reply, kD7), reference);
}

void DecodeCurrents(const InputReport& reply, const CalibrationTable& calibration,
                    ReadingSet& readings) {
  const auto current = [&](CurrentChannel channel) {
    return RailCurrent(reply[kCurrentByteOfChannel[channel]], calibration.channels[channel]);
  };
  readings.Cur5V = current(kChannel5V);
  readings.Cur33V = current(kChannel33V);
  readings.Cur12V1 = current(kChannel12V1);
  readings.Cur12V2 = current(kChannel12V2);
  readings.Cur12V3 = current(kChannel12V3);
  readings.Cur12V4 = current(kChannel12V4);
}

void DecodeFans(const InputReport& reply, ReadingSet& readings) {
  readings.FanPSU = FanSpeed(reply[kD1], reply[kD2]);
  readings.FanSystem = FanSpeed(reply[kD3], reply[kD4]);
}

void DecodeSensorTemps(const InputReport& reply, ReadingSet& readings) {
  readings.TempT1 = Temperature(reply[kD1]);
  readings.TempT2 = Temperature(reply[kD3]);
  readings.TempT3 = Temperature(reply[kD5]);
  readings.TempT4 = Temperature(reply[kD7]);
}

void DecodePsuTemp(const InputReport& reply, ReadingSet& readings) {
  readings.TempPSU = Temperature(reply[kD1]);
}

void DecodeCurrentOffsets(const InputReport& reply, CalibrationTable& calibration) {
  for (std::size_t k = 0; k < kCurrentChannelCount; ++k)
    calibration.channels[k].Offset = CalibrationOffset(reply[kD1 + k]);
}

void DecodeCurrentGains(const InputReport& reply, CalibrationTable& calibration) {
  for (std::size_t k = 0; k < kCurrentChannelCount; ++k) {
    CalibrationChannel& channel = calibration.channels[k];
    channel.Gain = CalibrationGain(reply[kD1 + k], channel.Offset);
  }
}

std::int32_t DecodePowerRating(const InputReport& reply, RatingMapping mapping) {
  return PowerRatingFromCode(reply[kD1], mapping);
}

}  // namespace device
