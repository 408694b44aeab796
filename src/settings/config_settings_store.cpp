#include "settings/config_settings_store.h"

#include <array>
#include <string_view>

#include "core/numbers.h"
#include "settings/save_outcome.h"
#include "settings/settings_keys.h"

namespace settings {
namespace {

constexpr std::array<std::string_view, 4> kPsuFanCurves = {"\\Manual", "\\Performance", "\\Normal",
                                                           "\\Silent"};
constexpr std::array<std::string_view, 8> kSystemFanCurves = {
    "\\Manual\\PSU", "\\Manual\\T1",  "\\Manual\\T2", "\\Manual\\T3",
    "\\Manual\\T4",  "\\Performance", "\\Normal",     "\\Silent"};
constexpr std::string_view kSystemFanManual = "\\Manual\\";  // the sensor's key, as saved
constexpr char kCurveRead = '1';
constexpr char kCurveMissing = '0';

std::string Path(std::string_view key, std::string_view sub) {
  return std::string(key) + std::string(sub);
}

// Reads each curve whose key opens; gives one flag character per curve.
template <std::size_t N>
std::string ReadPresets(platform::Registry& registry, std::string_view fanKey,
                        const std::array<std::string_view, N>& curves,
                        std::array<FanPreset, N>& presets) {
  std::string flags;
  for (std::size_t i = 0; i < N; ++i) {
    const auto key = registry.OpenKey(Path(fanKey, curves[i]));
    if (!key) {
      flags.push_back(kCurveMissing);
      continue;
    }
    presets[i].Vol = key->ReadString("Vol");
    presets[i].Temp = key->ReadString("Temp");
    presets[i].DefaultVol = key->ReadString("DefaultVol");
    presets[i].DefaultTemp = key->ReadString("DefaultTemp");
    flags.push_back(kCurveRead);
  }
  return flags;
}

template <std::size_t N>
void WritePresets(SaveOutcome& save, std::string_view fanKey,
                  const std::array<std::string_view, N>& curves,
                  const std::array<FanPreset, N>& presets) {
  for (std::size_t i = 0; i < N; ++i) {
    if (const auto key = save.Open(Path(fanKey, curves[i]))) {
      save.Write(*key, "Vol", presets[i].Vol);
      save.Write(*key, "Temp", presets[i].Temp);
    }
  }
}

}  // namespace

void LoadConfigSettings(platform::RegistryStore& store, FanSettings& fan, VoltageSettings& voltage,
                        FanMode& fanPageMode, const ShowMessage& showMessage) {
  const auto registry = store.Open(platform::RegistryAccess::Read);

  if (const auto key = registry->OpenKey(kPsuFanKey)) {
    fan.PSUFanMode = static_cast<FanMode>(core::StrictToInt(key->ReadString("Mode")));
    // The fan page starts with the PSU fan selected.
    fanPageMode = fan.PSUFanMode;
    ReadPresets(*registry, kPsuFanKey, kPsuFanCurves, fan.PSUFanPresets);
  }

  if (const auto key = registry->OpenKey(kSystemFanKey)) {
    fan.SystemFanMode = static_cast<FanMode>(core::StrictToInt(key->ReadString("Mode")));
    if (const auto manual = registry->OpenKey(Path(kSystemFanKey, "\\Manual"))) {
      fan.SystemFanSensor = core::StrictToInt(manual->ReadString("Mode"));
    }
    const std::string flags =
        ReadPresets(*registry, kSystemFanKey, kSystemFanCurves, fan.SystemFanPresets);
    if (flags.find(kCurveMissing) != std::string::npos && showMessage) showMessage(flags);
  }

  if (const auto key = registry->OpenKey(kVoltageKey)) {
    voltage.Default12V = key->ReadString("Default12V");
    voltage.Default5V = key->ReadString("Default5V");
    voltage.Default33V = key->ReadString("Default33V");
    voltage.Target12V = key->ReadString("12V");
    voltage.Target5V = key->ReadString("5V");
    voltage.Target33V = key->ReadString("33V");
  }
}

bool SaveConfigSettings(platform::RegistryStore& store, const FanSettings& fan,
                        const VoltageSettings& voltage) {
  const auto registry = store.Open(platform::RegistryAccess::Write);
  SaveOutcome save(*registry);

  if (const auto key = save.Open(kPsuFanKey)) {
    save.Write(*key, "Mode", std::to_string(static_cast<std::int32_t>(fan.PSUFanMode)));
    WritePresets(save, kPsuFanKey, kPsuFanCurves, fan.PSUFanPresets);
  }

  if (const auto key = save.Open(kSystemFanKey)) {
    save.Write(*key, "Mode", std::to_string(static_cast<std::int32_t>(fan.SystemFanMode)));
    if (const auto manual = save.Open(Path(kSystemFanKey, kSystemFanManual))) {
      save.Write(*manual, "Mode", std::to_string(fan.SystemFanSensor));
    }
    WritePresets(save, kSystemFanKey, kSystemFanCurves, fan.SystemFanPresets);
  }

  if (const auto key = save.Open(kVoltageKey)) {
    save.Write(*key, "12V", voltage.Target12V);
    save.Write(*key, "5V", voltage.Target5V);
    save.Write(*key, "33V", voltage.Target33V);
  }

  return save.Finish();
}

}  // namespace settings
