#include "app/ctl/settings_commands.h"

#include <nlohmann/json.hpp>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iomanip>
#include <string>
#include <string_view>

#include "core/numbers.h"
#include "settings/alarm_settings_store.h"
#include "settings/config_settings_store.h"

namespace app::ctl {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::array<std::string_view, 4> kPsuCurveNames = {"Manual", "Performance", "Normal",
                                                            "Silent"};
constexpr std::array<std::string_view, 5> kManualCurveNames = {"PSU", "T1", "T2", "T3", "T4"};
constexpr std::array<std::string_view, 3> kPresetCurveNames = {"Performance", "Normal", "Silent"};
constexpr std::size_t kFirstSystemPreset = settings::kSysPerformance;
constexpr std::array<std::string_view, 5> kAlarmGroupNames = {"Watt", "Voltage", "Current",
                                                              "FanSpeed", "Temperature"};
constexpr double kLargestExactInteger = 9007199254740992.0;  // 2^53

// Texts come from the settings file as they are: bytes that are not UTF-8 are shown as U+FFFD
// instead of making the output fail.
std::string Dump(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// A float as JSON: whole numbers as integers (450), others in the shortest form that reads
// back as the same float (7.123, not 7.1230001449584961).
Json Number(float value) {
  if (!std::isfinite(value)) return nullptr;
  if (std::trunc(value) == value && std::fabs(value) < kLargestExactInteger) {
    return static_cast<std::int64_t>(value);
  }
  std::array<char, 64> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  double shortest = 0.0;
  std::from_chars(buffer.data(), end, shortest);
  return shortest;
}

std::string ModeName(settings::FanMode mode) {
  switch (mode) {
    case settings::FanMode::kPerformance:
      return "Performance";
    case settings::FanMode::kNormal:
      return "Normal";
    case settings::FanMode::kSilent:
      return "Silent";
    case settings::FanMode::kManual:
      return "Manual";
    default:
      return "no preset";
  }
}

std::string SensorName(std::int32_t sensor) {
  return sensor >= settings::kSensorPSU && sensor <= settings::kSensorT4
             ? std::string(kManualCurveNames[static_cast<std::size_t>(sensor)])
             : "none";
}

Json PresetJson(const settings::FanPreset& preset) {
  return Json{{"Vol", preset.Vol},
              {"Temp", preset.Temp},
              {"DefaultVol", preset.DefaultVol},
              {"DefaultTemp", preset.DefaultTemp},
              {"VolValue", Number(core::ParseSettingNumber(preset.Vol))},
              {"TempValue", Number(core::ParseSettingNumber(preset.Temp))}};
}

Json ConfigJson(const settings::FanSettings& fan, const settings::VoltageSettings& voltage) {
  Json psu{{"Mode", static_cast<std::int32_t>(fan.PSUFanMode)}};
  for (std::size_t i = 0; i < kPsuCurveNames.size(); ++i) {
    psu[std::string(kPsuCurveNames[i])] = PresetJson(fan.PSUFanPresets[i]);
  }
  Json manual{{"Mode", fan.SystemFanSensor}};
  for (std::size_t i = 0; i < kManualCurveNames.size(); ++i) {
    manual[std::string(kManualCurveNames[i])] = PresetJson(fan.SystemFanPresets[i]);
  }
  Json system{{"Mode", static_cast<std::int32_t>(fan.SystemFanMode)}, {"Manual", manual}};
  for (std::size_t i = 0; i < kPresetCurveNames.size(); ++i) {
    system[std::string(kPresetCurveNames[i])] =
        PresetJson(fan.SystemFanPresets[kFirstSystemPreset + i]);
  }
  return Json{{"PSUFan", psu},
              {"SystemFan", system},
              {"Voltage",
               {{"12V", voltage.Target12V},
                {"5V", voltage.Target5V},
                {"33V", voltage.Target33V},
                {"Default12V", voltage.Default12V},
                {"Default5V", voltage.Default5V},
                {"Default33V", voltage.Default33V}}}};
}

void PrintCurve(std::ostream& out, std::string_view name, const settings::FanPreset& preset) {
  out << "  " << std::left << std::setw(13) << name << std::setw(8) << preset.Vol << std::setw(8)
      << preset.Temp << std::setw(8) << preset.DefaultVol << preset.DefaultTemp << '\n';
}

void PrintConfig(std::ostream& out, const settings::FanSettings& fan,
                 const settings::VoltageSettings& voltage) {
  const auto header = [&out] {
    out << "  " << std::left << std::setw(13) << "curve" << std::setw(8) << "Vol" << std::setw(8)
        << "Temp" << std::setw(8) << "factory Vol / Temp" << '\n';
  };
  out << "PSU fan: mode " << static_cast<std::int32_t>(fan.PSUFanMode) << " ("
      << ModeName(fan.PSUFanMode) << ")\n";
  header();
  for (std::size_t i = 0; i < kPsuCurveNames.size(); ++i) {
    PrintCurve(out, kPsuCurveNames[i], fan.PSUFanPresets[i]);
  }
  out << "System fan: mode " << static_cast<std::int32_t>(fan.SystemFanMode) << " ("
      << ModeName(fan.SystemFanMode) << "), manual curve follows sensor " << fan.SystemFanSensor
      << " (" << SensorName(fan.SystemFanSensor) << ")\n";
  header();
  for (std::size_t i = 0; i < kManualCurveNames.size(); ++i) {
    PrintCurve(out, "Manual\\" + std::string(kManualCurveNames[i]), fan.SystemFanPresets[i]);
  }
  for (std::size_t i = 0; i < kPresetCurveNames.size(); ++i) {
    PrintCurve(out, kPresetCurveNames[i], fan.SystemFanPresets[kFirstSystemPreset + i]);
  }
  out << "Voltage trim targets: 12V " << voltage.Target12V << ", 5V " << voltage.Target5V
      << ", 3.3V " << voltage.Target33V << " (factory " << voltage.Default12V << ", "
      << voltage.Default5V << ", " << voltage.Default33V << ")\n";
}

Json AlarmsJson(const settings::AlarmSettings& alarms, const settings::SensorNames& names) {
  Json all{{"Watt",
            {{"Watt", Number(alarms.Watt)},
             {"DefaultWatt", Number(alarms.DefaultWatt)},
             {"WattEnable", !alarms.WattMuted}}}};
  for (const settings::AlarmGroup group : settings::kAlarmGroups) {
    if (group == settings::AlarmGroup::kWatt) continue;  // written above, from its own fields
    Json values;
    const auto members = settings::AlarmGroupMembers(group);
    for (const auto& m : members) values[std::string(m.name)] = Number((alarms.*m.field).Value);
    for (const auto& m : members) {
      values["Default" + std::string(m.name)] = Number((alarms.*m.field).Default);
    }
    for (const auto& m : members) {
      values[std::string(m.name) + "Enable"] = (alarms.*m.field).Enable;
    }
    if (group == settings::AlarmGroup::kTemperature) {
      for (std::size_t i = 0; i < names.size(); ++i) {
        values["T" + std::to_string(i + 1) + "Name"] = names[i];
      }
      for (std::size_t i = 0; i < names.size(); ++i) {
        values["DefaultT" + std::to_string(i + 1) + "Name"] = alarms.DefaultNames[i];
      }
    }
    all[std::string(kAlarmGroupNames[settings::AlarmGroupIndex(group)])] = values;
  }
  return all;
}

void PrintAlarm(std::ostream& out, std::string_view group, std::string_view name, float value,
                float factory, bool on) {
  out << std::left << std::setw(13) << group << std::setw(11) << name << std::right << std::setw(10)
      << core::FixedText(value, 2) << std::setw(10) << core::FixedText(factory, 2) << "   "
      << (on ? "on" : "off") << '\n';
}

void PrintAlarms(std::ostream& out, const settings::AlarmSettings& alarms,
                 const settings::SensorNames& names) {
  out << std::left << std::setw(13) << "group" << std::setw(11) << "value" << std::right
      << std::setw(10) << "threshold" << std::setw(10) << "factory"
      << "   alarm\n";
  PrintAlarm(out, "Watt", "Watt", alarms.Watt, alarms.DefaultWatt, !alarms.WattMuted);
  for (const settings::AlarmGroup group : settings::kAlarmGroups) {
    for (const auto& m : settings::AlarmGroupMembers(group)) {
      const settings::AlarmThreshold& threshold = alarms.*m.field;
      PrintAlarm(out, kAlarmGroupNames[settings::AlarmGroupIndex(group)], m.name, threshold.Value,
                 threshold.Default, threshold.Enable);
    }
  }
  out << "Sensor names:";
  for (std::size_t i = 0; i < names.size(); ++i) {
    out << (i ? ", " : " ") << "T" << i + 1 << " \"" << names[i] << "\"";
  }
  out << " (factory";
  for (std::size_t i = 0; i < names.size(); ++i) {
    out << (i ? ", " : " ") << "\"" << alarms.DefaultNames[i] << "\"";
  }
  out << ")\n";
}

// Runs a command body; a conversion or registry read error ends it with its text.
template <typename Body>
int Guarded(std::ostream& err, Body body) {
  try {
    return body();
  } catch (const core::ConversionError& error) {
    err << error.what() << '\n';
  } catch (const platform::RegistryReadError& error) {
    err << error.what() << '\n';
  }
  return kExitSettingsError;
}

}  // namespace

int RunConfigShow(platform::RegistryStore& store, bool json, std::ostream& out, std::ostream& err) {
  return Guarded(err, [&] {
    settings::FanSettings fan;
    settings::VoltageSettings voltage;
    settings::FanMode fanPageMode{};
    settings::LoadConfigSettings(store, fan, voltage, fanPageMode,
                                 [&err](const std::string& message) { err << message << '\n'; });
    if (json) {
      out << Dump(ConfigJson(fan, voltage)) << '\n';
    } else {
      PrintConfig(out, fan, voltage);
    }
    return kExitDone;
  });
}

int RunAlarmsShow(platform::RegistryStore& store, bool json, std::ostream& out, std::ostream& err) {
  return Guarded(err, [&] {
    settings::AlarmSettings alarms;
    settings::SensorNames names;
    settings::LoadAlarmSettings(store, alarms, names);
    if (json) {
      out << Dump(AlarmsJson(alarms, names)) << '\n';
    } else {
      PrintAlarms(out, alarms, names);
    }
    return kExitDone;
  });
}

int RunAlarmsRestoreDefaults(platform::RegistryStore& store, std::ostream& out, std::ostream& err) {
  return Guarded(err, [&] {
    settings::AlarmSettings alarms;
    settings::SensorNames names;
    settings::LoadAlarmSettings(store, alarms, names);
    if (!settings::RestoreAlarmDefaults(store, alarms, names)) {
      const std::string why = store.LastCommitError();
      err << "The factory alarm thresholds could not be saved completely: "
          << (why.empty() ? "an alarm key is missing or the settings file could not be written"
                          : why)
          << "\n";
      return kExitSaveFailed;
    }
    out << "Alarm thresholds restored to their factory values\n";
    return kExitDone;
  });
}

}  // namespace app::ctl
