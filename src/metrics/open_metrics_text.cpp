#include "metrics/open_metrics_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

#include "device/rail_table.h"

namespace metrics {
namespace {

// The label each temperature sensor carries, by its member of the readings.
struct Sensor {
  std::string_view label;
  float device::ReadingSet::*member;
};
constexpr std::array<Sensor, 5> kSensors{{{"psu", &device::ReadingSet::TempPSU},
                                          {"t1", &device::ReadingSet::TempT1},
                                          {"t2", &device::ReadingSet::TempT2},
                                          {"t3", &device::ReadingSet::TempT3},
                                          {"t4", &device::ReadingSet::TempT4}}};
constexpr std::array<Sensor, 2> kFans{
    {{"psu", &device::ReadingSet::FanPSU}, {"system", &device::ReadingSet::FanSystem}}};

// Appends a sample value: the shortest text that reads back to the same float, and the
// spellings OpenMetrics has for the values that are not numbers.
void AppendNumber(std::string& out, double value, bool single) {
  if (std::isnan(value)) {
    out += "NaN";
    return;
  }
  if (std::isinf(value)) {
    out += value > 0 ? "+Inf" : "-Inf";
    return;
  }
  std::array<char, 64> text{};
  const std::to_chars_result written =
      single ? std::to_chars(text.data(), text.data() + text.size(), static_cast<float>(value))
             : std::to_chars(text.data(), text.data() + text.size(), value);
  out.append(text.data(), written.ptr);
}

class Writer {
 public:
  explicit Writer(std::string& out) : out_(out) {}

  void Family(std::string_view name, std::string_view help) {
    name_ = name;
    out_ += "# HELP ";
    out_ += name;
    out_ += ' ';
    out_ += help;
    out_ += "\n# TYPE ";
    out_ += name;
    out_ += " gauge\n";
  }

  // A sample of the current family; the label values written here are our own words, none
  // of which needs escaping.
  void Sample(std::string_view label, std::string_view value, float number) {
    Start(label, value);
    AppendNumber(out_, number, true);
    out_ += '\n';
  }
  void Whole(std::string_view label, std::string_view value, long long number) {
    Start(label, value);
    AppendNumber(out_, static_cast<double>(number), false);
    out_ += '\n';
  }

 private:
  void Start(std::string_view label, std::string_view value) {
    out_ += name_;
    if (!label.empty()) {
      out_ += '{';
      out_ += label;
      out_ += "=\"";
      out_ += value;
      out_ += "\"}";
    }
    out_ += ' ';
  }

  std::string& out_;
  std::string_view name_;
};

}  // namespace

std::string OpenMetricsText(const MetricsPoll& poll) {
  std::string out;
  out.reserve(4096);
  Writer w(out);
  const device::ReadingSet& r = poll.readings;
  if (poll.success) {
    w.Family("quelta_rail_volts", "Output voltage of each rail, in volts.");
    for (const device::Rail& rail : device::kRails) w.Sample("rail", rail.shown, r.*rail.volts);
    w.Family("quelta_rail_amperes", "Current drawn from each rail that measures it, in amperes.");
    for (const device::Rail& rail : device::kRails) {
      if (rail.amps != nullptr) w.Sample("rail", rail.shown, r.*rail.amps);
    }
    w.Family("quelta_power_watts", "Total power drawn from the PSU, in watts.");
    w.Sample("", "", r.WattTotal);
    w.Family("quelta_fan_rpm", "Fan speed, in revolutions per minute.");
    for (const Sensor& fan : kFans) w.Sample("fan", fan.label, r.*fan.member);
    w.Family("quelta_temperature_celsius",
             "Temperature of the PSU and sensors T1 to T4, in Celsius.");
    for (const Sensor& sensor : kSensors) w.Sample("sensor", sensor.label, r.*sensor.member);
    w.Family("quelta_alarm", "1 while the alarm row is in alarm by the stored thresholds, else 0.");
    for (std::size_t i = 0; i < alarms::kAlarmRowCount; ++i) {
      w.Whole("row", alarms::kAlarmRowNames[i], poll.alarms.flags[i] ? 1 : 0);
    }
  }
  if (r.PowerRating > 0) {
    w.Family("quelta_power_rating_watts", "Rated power of the PSU, in watts.");
    w.Whole("", "", r.PowerRating);
  }
  w.Family("quelta_poll_success", "1 when the last poll read every reading of the PSU, else 0.");
  w.Whole("", "", poll.success ? 1 : 0);
  out += "# EOF\n";
  return out;
}

}  // namespace metrics
