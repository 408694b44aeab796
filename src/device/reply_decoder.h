#pragma once

#include <cstdint>

#include "device/calibration_table.h"
#include "device/conversions.h"
#include "device/protocol.h"
#include "device/reading_set.h"

namespace device {

// Decoding of good (9-byte) replies into the readings they carry; no I/O, no pauses.

// Stores ReferenceVoltage; false (and nothing stored) for a raw sample of 0.
bool DecodeReference(const InputReport& reply, ReadingSet& readings);
// 0x21: Vol5V, Vol33V, Vol5Vsb, Vol12V4, scaled by the stored ReferenceVoltage.
void DecodeVoltagesA(const InputReport& reply, ReadingSet& readings);
// 0x22: Vol12V1, Vol12V2, Vol12V3, VolNeg12V.
void DecodeVoltagesB(const InputReport& reply, ReadingSet& readings);
// 0x02: the six currents through the calibration (d3 and d7 carry no channel).
void DecodeCurrents(const InputReport& reply, const CalibrationTable& calibration,
                    ReadingSet& readings);
// 0x03: FanPSU from d1 d2, FanSystem from d3 d4.
void DecodeFans(const InputReport& reply, ReadingSet& readings);
// 0x04: TempT1..TempT4 from d1, d3, d5, d7.
void DecodeSensorTemps(const InputReport& reply, ReadingSet& readings);
// 0x05: TempPSU from d1.
void DecodePsuTemp(const InputReport& reply, ReadingSet& readings);
// 0x12 and 0x13: the offsets, then the gains (which use the offsets in the table).
void DecodeCurrentOffsets(const InputReport& reply, CalibrationTable& calibration);
void DecodeCurrentGains(const InputReport& reply, CalibrationTable& calibration);
// 0x11: the rating that d1 stands for.
std::int32_t DecodePowerRating(const InputReport& reply, RatingMapping mapping);

}  // namespace device
