#include <charconv>
#include <cstdio>
#include <exception>
#include <string>

#include "alarms/gauge_alarm_rules.h"
#include "app/ctl/commands.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/polled_session.h"
#include "app/ctl/usage_error.h"
#include "core/numbers.h"
#include "device/device_discovery.h"
#include "device/device_identity.h"
#include "device/gauge_panel.h"
#include "platform/registry/registry.h"
#include "settings/alarm_settings_store.h"

namespace app::ctl {
namespace {

// The shortest text that reads back as the same single-precision value ("336.4").
std::string FloatText(float value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string ByteText(std::uint8_t byte) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%02X", byte);
  return buffer;
}

std::string GaugeJson(bool present, bool sent, const device::GaugeState& state) {
  std::string text = std::string("{\"present\":") + (present ? "true" : "false") +
                     ",\"sent\":" + (sent ? "true" : "false") + ",\"needles\":[";
  for (std::size_t i = 0; i < state.needles.size(); ++i) {
    const device::GaugeNeedle& n = state.needles[i];
    if (i > 0) text += ',';
    text += "{\"reading\":" + FloatText(n.reading) + ",\"position\":" + std::to_string(n.position) +
            ",\"flags\":" + std::to_string(n.FlagsByte()) + "}";
  }
  return text + "]}\n";
}

std::string GaugeTable(bool present, bool sent, const device::GaugeState& state,
                       const device::GaugeReport& report) {
  static constexpr const char* kNames[] = {"Power", "PSU temperature", "PSU fan"};
  static constexpr const char* kUnits[] = {"W", "C", "rpm"};
  std::string text;
  for (std::size_t i = 0; i < state.needles.size(); ++i) {
    const device::GaugeNeedle& n = state.needles[i];
    char line[128];
    std::snprintf(line, sizeof line, "%-16s %10s %-3s  position %3d  flags 0x%s\n", kNames[i],
                  core::FixedText(n.reading, 2).c_str(), kUnits[i], static_cast<int>(n.position),
                  ByteText(n.FlagsByte()).c_str());
    text += line;
  }
  std::string bytes;
  for (std::uint8_t b : report) bytes += (bytes.empty() ? "" : " ") + ByteText(b);
  text += std::string("Panel: ") + (present ? "present" : "absent") + ", " +
          (sent ? "sent " + bytes : std::string("nothing sent")) + "\n";
  return text;
}

}  // namespace

int RunGauge(CtlEnvironment& environment, std::span<const std::string> arguments) {
  bool json = false;
  for (const std::string& argument : arguments) {
    if (argument != "--json") throw UsageError("gauge takes only --json (got '" + argument + "')");
    json = true;
  }

  // The stored thresholds and switches first: a broken settings file sends nothing.
  PolledSession polled;
  if (const int code = polled.Poll(environment); code != kExitDone) return code;
  const settings::AlarmSettings& alarms = polled.Session().Alarms();
  const StatusGroups& g = polled.Groups();
  // Needles from readings that did not come would point at nothing real.
  if (!g.Reference || !g.Voltages() || !g.Currents || !g.Fans || !g.PsuTemp) {
    environment.Err() << "quelta-ctl: the PSU controller did not answer every reading the "
                         "needles need (power, PSU temperature, PSU fan)\n";
    return kExitNoAnswer;
  }

  const device::ReadingSet& r = polled.Session().Values();
  const device::GaugeState state = device::ComputeGaugeState({r.WattTotal, r.TempPSU, r.FanPSU},
                                                             alarms::GaugeThresholdsOf(alarms),
                                                             alarms::GroupMutedBySwitches(alarms));
  const device::GaugeReport report = device::MakeGaugeReport(state);

  platform::HidBus& bus = environment.Bus();
  const bool present = device::IsDevicePresent(bus, device::kGaugeDevice.instanceText);
  bool sent = false;
  if (present) {
    if (auto handle = device::OpenGaugeDevice(bus)) sent = handle->Write(report) == report.size();
  }

  environment.Out() << (json ? GaugeJson(present, sent, state)
                             : GaugeTable(present, sent, state, report));
  if (!present) {
    environment.Err() << "quelta-ctl: the gauge panel is not present; nothing was sent\n";
    return kExitNotFound;
  }
  if (!sent) {
    environment.Err() << "quelta-ctl: the gauge panel could not be opened or took no report\n";
    return kExitNotFound;
  }
  return kExitDone;
}

}  // namespace app::ctl
