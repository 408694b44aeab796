#include "device/reply_decoder.h"

#include <array>
#include <cstddef>

#include "device/reading_catalogue.h"

namespace device {
namespace {

std::uint16_t Word(const InputReport& reply, std::size_t highByte) {
  return TenBitSample(reply[highByte], reply[highByte + 1]);
}

// One reading from its slot of the reply; currents go through their calibration channel and
// the rails through the stored reference.
float Decoded(const Reading& r, const InputReport& reply, float reference,
              const CalibrationTable* calibration) {
  switch (r.decoder) {
    case ReadingDecoder::LowRail:
      return LowRailVolts(Word(reply, r.slot), reference);
    case ReadingDecoder::HighRail:
      return HighRailVolts(Word(reply, r.slot), reference);
    case ReadingDecoder::NegativeRail:
      return NegativeRailVolts(Word(reply, r.slot), reference);
    case ReadingDecoder::Current:
      return calibration ? RailCurrent(reply[r.slot], calibration->channels[r.channel]) : 0.0f;
    case ReadingDecoder::Temperature:
      return Temperature(reply[r.slot]);
    case ReadingDecoder::Fan:
      return FanSpeed(reply[r.slot], reply[r.slot + 1]);
    default:
      return 0.0f;
  }
}

template <ReadingReply kind>
void DecodeReply(const InputReport& reply, ReadingSet& readings,
                 const CalibrationTable* calibration = nullptr) {
  static constexpr auto kCarried = ReadingsOf<kind>();
  const float reference = readings.ReferenceVoltage;
  for (const Reading* r : kCarried) readings.*r->field = Decoded(*r, reply, reference, calibration);
}

}  // namespace

bool DecodeReference(const InputReport& reply, ReadingSet& readings) {
  const std::optional<float> reference = ReferenceFromReply(reply[kD1], reply[kD2]);
  if (!reference) return false;
  readings.ReferenceVoltage = *reference;
  return true;
}

void DecodeVoltagesA(const InputReport& reply, ReadingSet& readings) {
  DecodeReply<ReadingReply::VoltagesA>(reply, readings);
}

void DecodeVoltagesB(const InputReport& reply, ReadingSet& readings) {
  DecodeReply<ReadingReply::VoltagesB>(reply, readings);
}

void DecodeCurrents(const InputReport& reply, const CalibrationTable& calibration,
                    ReadingSet& readings) {
  DecodeReply<ReadingReply::Currents>(reply, readings, &calibration);
}

void DecodeFans(const InputReport& reply, ReadingSet& readings) {
  DecodeReply<ReadingReply::Fans>(reply, readings);
}

void DecodeSensorTemps(const InputReport& reply, ReadingSet& readings) {
  DecodeReply<ReadingReply::SensorTemps>(reply, readings);
}

void DecodePsuTemp(const InputReport& reply, ReadingSet& readings) {
  DecodeReply<ReadingReply::PsuTemp>(reply, readings);
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
