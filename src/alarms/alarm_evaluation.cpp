#include "alarms/alarm_evaluation.h"

namespace alarms {
namespace {

bool Outside(float reading, const VoltageBand& band, bool enable) {
  const bool inside = band.low < reading && reading < band.high;
  return !inside && enable;
}

bool Above(float reading, const settings::AlarmThreshold& threshold) {
  return reading > threshold.Value && threshold.Enable;
}

bool Below(float reading, const settings::AlarmThreshold& threshold) {
  return reading < threshold.Value && threshold.Enable;
}

}  // namespace

VoltageBand TakeVoltageBand(float& threshold, double nominal) {
  VoltageBand band;
  if (static_cast<double>(threshold) >= nominal) {
    band.high = threshold;
    const float excess = static_cast<float>(static_cast<double>(threshold) - nominal);
    band.low = static_cast<float>(nominal - static_cast<double>(excess));
  } else {
    band.low = threshold;
    const float shortfall = static_cast<float>(nominal - static_cast<double>(threshold));
    band.high = static_cast<float>(nominal + static_cast<double>(shortfall));
    threshold = band.high;
  }
  return band;
}

bool TemperatureInAlarm(float reading, const settings::AlarmThreshold& threshold) {
  return Above(reading, threshold);
}

void EvaluateAlarms(const device::ReadingSet& r, settings::AlarmSettings& s, bool monitorPageShown,
                    AlarmState& state) {
  state[AlarmRow::Watt] = r.WattTotal > s.Watt && monitorPageShown && !s.WattMuted;
  state[AlarmRow::PSUFan] = Below(r.FanPSU, s.PSUFan);
  state[AlarmRow::SystemFan] = Below(r.FanSystem, s.SystemFan);

  const VoltageBand band5 = TakeVoltageBand(s.Voltage5V.Value, kNominal5V);
  state[AlarmRow::Vol5V] = Outside(r.Vol5V, band5, s.Voltage5V.Enable);
  const VoltageBand band33 = TakeVoltageBand(s.Voltage33V.Value, kNominal33V);
  state[AlarmRow::Vol33V] = Outside(r.Vol33V, band33, s.Voltage33V.Enable);
  // One threshold and one switch serve the four 12 V rails.
  const VoltageBand band12 = TakeVoltageBand(s.Voltage12V.Value, kNominal12V);
  const bool on12 = s.Voltage12V.Enable;
  state[AlarmRow::Vol12V1] = Outside(r.Vol12V1, band12, on12);
  state[AlarmRow::Vol12V2] = Outside(r.Vol12V2, band12, on12);
  state[AlarmRow::Vol12V3] = Outside(r.Vol12V3, band12, on12);
  state[AlarmRow::Vol12V4] = Outside(r.Vol12V4, band12, on12);

  state[AlarmRow::Cur5V] = Above(r.Cur5V, s.Current5V);
  state[AlarmRow::Cur33V] = Above(r.Cur33V, s.Current33V);
  state[AlarmRow::Cur12V1] = Above(r.Cur12V1, s.Current12V1);
  state[AlarmRow::Cur12V2] = Above(r.Cur12V2, s.Current12V2);
  state[AlarmRow::Cur12V3] = Above(r.Cur12V3, s.Current12V3);
  state[AlarmRow::Cur12V4] = Above(r.Cur12V4, s.Current12V4);

  state[AlarmRow::TempPSU] = Above(r.TempPSU, s.TempPSU);
  state[AlarmRow::TempT1] = Above(r.TempT1, s.TempT1);
  state[AlarmRow::TempT2] = Above(r.TempT2, s.TempT2);
  state[AlarmRow::TempT3] = Above(r.TempT3, s.TempT3);
  state[AlarmRow::TempT4] = Above(r.TempT4, s.TempT4);
}

}  // namespace alarms
