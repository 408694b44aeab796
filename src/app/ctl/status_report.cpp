#include "app/ctl/status_report.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <span>
#include <string_view>
#include <vector>

#include "app/ctl/json_text.h"
#include "core/numbers.h"
#include "device/reading_fields.h"

namespace app::ctl {
namespace {

constexpr char kMissing[] = "--";
constexpr int kFloatDigits = 9;  // enough for every 32-bit float to read back unchanged
constexpr char kDegrees[] =
    "\xC2\xB0"
    "C";

// A value with its unit, right-aligned in `width` columns; "--" in its place when the
// group that carries it had no good reply.
std::string Cell(bool good, double value, int decimals, std::string_view unit, std::size_t width) {
  std::string text = kMissing;
  if (good) {
    text = core::FixedText(value, decimals);
    if (!unit.empty()) text += " " + std::string(unit);
  }
  return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

std::string Padded(std::string_view text, std::size_t width) {
  std::string padded(text);
  if (padded.size() < width) padded.append(width - padded.size(), ' ');
  return padded;
}

}  // namespace

double JsonFloat(float value) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.*g", kFloatDigits, static_cast<double>(value));
  return std::strtod(text.data(), nullptr);
}

namespace {

// The rails with their voltage, current and power, and the total.
std::string RailLines(const StatusSnapshot& snapshot) {
  const device::ReadingSet& r = snapshot.readings;
  const StatusGroups& g = snapshot.groups;
  std::string out;
  constexpr std::size_t kNameWidth = 5, kVoltsWidth = 11, kAmpsWidth = 12, kWattsWidth = 12;
  out += Padded("Rail", kNameWidth);
  out += std::string(kVoltsWidth - 7, ' ') + "Voltage" + std::string(kAmpsWidth - 7, ' ') +
         "Current" + std::string(kWattsWidth - 5, ' ') + "Power\n";
  for (const device::Rail& rail : device::kRails) {
    const float volts = r.*rail.volts;
    const bool voltsGood = rail.reply == device::VoltageReply::First ? g.VoltagesA : g.VoltagesB;
    std::string line = Padded(rail.shown, kNameWidth) + Cell(voltsGood, volts, 3, "V", kVoltsWidth);
    if (rail.amps != nullptr) {
      const float amps = r.*rail.amps;
      line += Cell(g.Currents, amps, 3, "A", kAmpsWidth);
      const double watts = static_cast<double>(volts) * amps;
      line += Cell(g.Currents && voltsGood, watts, 2, "W", kWattsWidth);
    }
    out += line + "\n";
  }
  out += Padded("Total", kNameWidth + kVoltsWidth + kAmpsWidth) +
         Cell(true, r.WattTotal, 2, "W", kWattsWidth) + "\n\n";
  return out;
}

// The fan speeds and the temperatures.
std::string FanAndTemperatureLines(const StatusSnapshot& snapshot) {
  const device::ReadingSet& r = snapshot.readings;
  const StatusGroups& g = snapshot.groups;
  std::string out;
  out +=
      "Fans          PSU " + (g.Fans ? std::to_string(std::lround(r.FanPSU)) + " rpm" : kMissing);
  out += "    System " +
         (g.Fans ? std::to_string(std::lround(r.FanSystem)) + " rpm" : std::string(kMissing)) +
         "\n";
  const auto degrees = [](bool good, float value) {
    return good ? std::to_string(std::lround(value)) + " " + kDegrees : std::string(kMissing);
  };
  out += "Temperatures  PSU " + degrees(g.PsuTemp, r.TempPSU);
  const std::array<float, 4> sensors{r.TempT1, r.TempT2, r.TempT3, r.TempT4};
  for (std::size_t i = 0; i < sensors.size(); ++i)
    out += "   T" + std::to_string(i + 1) + " " + degrees(g.SensorTemps, sensors[i]);
  out += "\n\n";
  return out;
}

// Each current channel's offset and gain.
std::string CalibrationLines(const StatusSnapshot& snapshot) {
  const StatusGroups& g = snapshot.groups;
  std::string out;
  constexpr std::size_t kChannelWidth = 8, kLabelWidth = 11;
  constexpr auto kChannels = device::RailsByCurrentChannel();
  static_assert(kChannels.size() == device::kCurrentChannelCount);
  std::string header = Padded("Calibration", kLabelWidth);
  std::string offsets = Padded("  Offset", kLabelWidth);
  std::string gains = Padded("  Gain", kLabelWidth);
  for (std::size_t k = 0; k < kChannels.size(); ++k) {
    const std::string_view name = kChannels[k]->shown;
    header += std::string(kChannelWidth - name.size(), ' ') + std::string(name);
    offsets += Cell(g.Calibration, snapshot.calibration.channels[k].Offset, 3, "", kChannelWidth);
    gains += Cell(g.Calibration, snapshot.calibration.channels[k].Gain, 3, "", kChannelWidth);
  }
  out += header + "\n" + offsets + "\n" + gains + "\n";
  return out;
}

// The groups that gave no good reply; empty when all did.
std::string FailedLine(const StatusGroups& g) {
  std::string out;
  std::vector<std::string_view> failed;
  if (!g.Reference) failed.push_back("reference");
  if (!g.Calibration) failed.push_back("calibration");
  if (!g.PowerRating) failed.push_back("power rating");
  if (!g.Voltages()) failed.push_back("voltages");
  if (!g.Currents) failed.push_back("currents");
  if (!g.Fans) failed.push_back("fans");
  if (!g.SensorTemps) failed.push_back("sensor temperatures");
  if (!g.PsuTemp) failed.push_back("PSU temperature");
  if (!failed.empty()) {
    out += "\nNo good reply:";
    for (std::size_t i = 0; i < failed.size(); ++i)
      out += (i == 0 ? " " : ", ") + std::string(failed[i]);
    out += "\n";
  }
  return out;
}

}  // namespace

std::string StatusTable(const StatusSnapshot& snapshot) {
  const device::ReadingSet& r = snapshot.readings;
  const StatusGroups& g = snapshot.groups;
  std::string out;
  out += "Reference " + Cell(g.Reference, r.ReferenceVoltage, 3, "V", 9);
  out += "     Power rating ";
  out += g.PowerRating ? std::to_string(r.PowerRating) + " W" : kMissing;
  out += "\n\n";
  out += RailLines(snapshot);
  out += FanAndTemperatureLines(snapshot);
  out += CalibrationLines(snapshot);
  out += FailedLine(g);
  return out;
}

std::string StatusJson(const StatusSnapshot& snapshot) {
  const device::ReadingSet& r = snapshot.readings;
  const StatusGroups& g = snapshot.groups;
  nlohmann::ordered_json json;
  const auto put = [&](const char* name, float value) { json[name] = JsonFloat(value); };
  put("ReferenceVoltage", r.ReferenceVoltage);
  for (const auto& fields : {std::span<const device::ReadingField>(device::kVoltageFields),
                             std::span<const device::ReadingField>(device::kCurrentFields),
                             std::span<const device::ReadingField>(device::kTemperatureFields),
                             std::span<const device::ReadingField>(device::kFanFields)}) {
    for (const device::ReadingField& field : fields) put(field.name, r.*field.member);
  }
  put("WattTotal", r.WattTotal);
  json["PowerRating"] = r.PowerRating;
  nlohmann::ordered_json channels = nlohmann::ordered_json::array();
  for (const device::CalibrationChannel& channel : snapshot.calibration.channels) {
    nlohmann::ordered_json entry;
    entry["Offset"] = JsonFloat(channel.Offset);
    entry["Gain"] = JsonFloat(channel.Gain);
    channels.push_back(entry);
  }
  json["Calibration"] = channels;
  json["groups"] = {{"Reference", g.Reference},     {"Calibration", g.Calibration},
                    {"PowerRating", g.PowerRating}, {"Voltages", g.Voltages()},
                    {"Currents", g.Currents},       {"Fans", g.Fans},
                    {"SensorTemps", g.SensorTemps}, {"PsuTemp", g.PsuTemp}};
  return JsonText(json, 2) + "\n";
}

}  // namespace app::ctl
