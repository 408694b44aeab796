#include "alarms/alarm_notices.h"

#include <cmath>
#include <cstddef>

#include "core/numbers.h"
#include "device/rail_table.h"
#include "settings/alarm_thresholds.h"

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

// The threshold of a row that is not a voltage; voltages are told by their band.
float Threshold(const device::Reading& row, const settings::AlarmSettings& s) {
  if (row.rule == device::AlarmRule::PowerAbove) return s.Watt;
  return (s.*settings::ThresholdField(row)).Value;
}

}  // namespace

std::string AlarmNoticeBody(AlarmRow row, const device::ReadingSet& readings,
                            const settings::AlarmSettings& settings) {
  const device::Reading& words = device::ReadingOf(row);
  const std::string unit(words.unit);
  std::string body = std::string(words.words) + " at " +
                     core::FixedText(readings.*words.field, words.decimals) + " " + unit;
  if (words.rule == device::AlarmRule::OutsideBand) {
    // The threshold holds either edge of a band symmetric about the nominal.
    const double nominal = device::RailOf(words.rail).nominal;
    const float threshold = (settings.*settings::ThresholdField(words)).Value;
    const double share = std::fabs(static_cast<double>(threshold) - nominal) / nominal * 100.0;
    return body + " is beyond its " + Compact(share, 1) + " % band";
  }
  const bool below = words.rule == device::AlarmRule::Below;
  return body + (below ? " is below its " : " is above its ") +
         Compact(Threshold(words, settings), 2) + " " + unit + " threshold";
}

std::vector<AlarmNotice> AlarmNotices::Evaluated(const AlarmState& now,
                                                 const device::ReadingSet& readings,
                                                 const settings::AlarmSettings& settings) {
  std::vector<AlarmNotice> notices;
  for (std::size_t i = 0; i < kAlarmRowCount; ++i) {
    if (!now.flags[i] || previous_.flags[i]) continue;
    if (auto notice = Started(static_cast<AlarmRow>(i), readings, settings)) {
      notices.push_back(std::move(*notice));
    }
  }
  previous_ = now;
  return notices;
}

std::optional<AlarmNotice> AlarmNotices::Started(AlarmRow row, const device::ReadingSet& readings,
                                                 const settings::AlarmSettings& settings) {
  if (!enabled_) return std::nullopt;
  const auto i = static_cast<std::size_t>(row);
  if (i >= kAlarmRowCount) return std::nullopt;
  const auto time = clock_();
  if (told_[i] && time - lastTold_[i] < kQuietTime) return std::nullopt;
  told_[i] = true;
  lastTold_[i] = time;
  return AlarmNotice{row, kSummary, AlarmNoticeBody(row, readings, settings)};
}

}  // namespace alarms
