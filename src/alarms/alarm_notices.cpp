#include "alarms/alarm_notices.h"

#include <cmath>
#include <cstddef>

#include "alarms/alarm_evaluation.h"
#include "core/numbers.h"

namespace alarms {
namespace {

constexpr const char* kSummary = "Quelta";

// A threshold as people write it: "480", "12.6", never "480.00".
std::string Compact(double value, int decimals) {
  std::string text = core::FixedText(value, decimals);
  if (text.find('.') == std::string::npos) return text;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

struct RowWords {
  const char* name;  // how the sentence names the reading
  float device::ReadingSet::*reading;
  const char* unit;
  int decimals;  // of the reading
};

// In AlarmRow order.
constexpr std::array<RowWords, kAlarmRowCount> kWords = {{
    {"power", &device::ReadingSet::WattTotal, "W", 2},
    {"PSU fan", &device::ReadingSet::FanPSU, "rpm", 0},
    {"system fan", &device::ReadingSet::FanSystem, "rpm", 0},
    {"5V", &device::ReadingSet::Vol5V, "V", 2},
    {"3.3V", &device::ReadingSet::Vol33V, "V", 2},
    {"12V1", &device::ReadingSet::Vol12V1, "V", 2},
    {"12V2", &device::ReadingSet::Vol12V2, "V", 2},
    {"12V3", &device::ReadingSet::Vol12V3, "V", 2},
    {"12V4", &device::ReadingSet::Vol12V4, "V", 2},
    {"5V current", &device::ReadingSet::Cur5V, "A", 2},
    {"3.3V current", &device::ReadingSet::Cur33V, "A", 2},
    {"12V1 current", &device::ReadingSet::Cur12V1, "A", 2},
    {"12V2 current", &device::ReadingSet::Cur12V2, "A", 2},
    {"12V3 current", &device::ReadingSet::Cur12V3, "A", 2},
    {"12V4 current", &device::ReadingSet::Cur12V4, "A", 2},
    {"PSU temperature", &device::ReadingSet::TempPSU, "\u00B0C", 1},
    {"T1", &device::ReadingSet::TempT1, "\u00B0C", 1},
    {"T2", &device::ReadingSet::TempT2, "\u00B0C", 1},
    {"T3", &device::ReadingSet::TempT3, "\u00B0C", 1},
    {"T4", &device::ReadingSet::TempT4, "\u00B0C", 1},
}};

// The threshold of a row that is not a voltage; voltages are told by their band.
float Threshold(AlarmRow row, const settings::AlarmSettings& s) {
  switch (row) {
    case AlarmRow::Watt:
      return s.Watt;
    case AlarmRow::PSUFan:
      return s.PSUFan.Value;
    case AlarmRow::SystemFan:
      return s.SystemFan.Value;
    case AlarmRow::Cur5V:
      return s.Current5V.Value;
    case AlarmRow::Cur33V:
      return s.Current33V.Value;
    case AlarmRow::Cur12V1:
      return s.Current12V1.Value;
    case AlarmRow::Cur12V2:
      return s.Current12V2.Value;
    case AlarmRow::Cur12V3:
      return s.Current12V3.Value;
    case AlarmRow::Cur12V4:
      return s.Current12V4.Value;
    case AlarmRow::TempPSU:
      return s.TempPSU.Value;
    case AlarmRow::TempT1:
      return s.TempT1.Value;
    case AlarmRow::TempT2:
      return s.TempT2.Value;
    case AlarmRow::TempT3:
      return s.TempT3.Value;
    case AlarmRow::TempT4:
      return s.TempT4.Value;
    default:
      return 0.0f;
  }
}

// The voltage rows' threshold and nominal; nominal 0 for any other row.
std::pair<float, double> Band(AlarmRow row, const settings::AlarmSettings& s) {
  switch (row) {
    case AlarmRow::Vol5V:
      return {s.Voltage5V.Value, kNominal5V};
    case AlarmRow::Vol33V:
      return {s.Voltage33V.Value, kNominal33V};
    case AlarmRow::Vol12V1:
    case AlarmRow::Vol12V2:
    case AlarmRow::Vol12V3:
    case AlarmRow::Vol12V4:
      return {s.Voltage12V.Value, kNominal12V};
    default:
      return {0.0f, 0.0};
  }
}

}  // namespace

std::string AlarmNoticeBody(AlarmRow row, const device::ReadingSet& readings,
                            const settings::AlarmSettings& settings) {
  const RowWords& words = kWords[static_cast<std::size_t>(row)];
  const std::string unit = words.unit;
  std::string body = std::string(words.name) + " at " +
                     core::FixedText(readings.*words.reading, words.decimals) + " " + unit;
  if (const auto [threshold, nominal] = Band(row, settings); nominal > 0.0) {
    // The threshold holds either edge of a band symmetric about the nominal.
    const double share = std::fabs(static_cast<double>(threshold) - nominal) / nominal * 100.0;
    return body + " is beyond its " + Compact(share, 1) + " % band";
  }
  const bool below = row == AlarmRow::PSUFan || row == AlarmRow::SystemFan;
  return body + (below ? " is below its " : " is above its ") +
         Compact(Threshold(row, settings), 2) + " " + unit + " threshold";
}

std::vector<AlarmNotice> AlarmNotices::Evaluated(const AlarmState& now,
                                                 const device::ReadingSet& readings,
                                                 const settings::AlarmSettings& settings) {
  std::vector<AlarmNotice> notices;
  const auto time = clock_();
  for (std::size_t i = 0; i < kAlarmRowCount; ++i) {
    const bool started = now.flags[i] && !previous_.flags[i];
    if (!started || !enabled_) continue;
    if (told_[i] && time - lastTold_[i] < kQuietTime) continue;
    told_[i] = true;
    lastTold_[i] = time;
    const auto row = static_cast<AlarmRow>(i);
    notices.push_back(AlarmNotice{row, kSummary, AlarmNoticeBody(row, readings, settings)});
  }
  previous_ = now;
  return notices;
}

}  // namespace alarms
