#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/registry/registry.h"
#include "settings/fan_settings.h"
#include "settings/voltage_settings.h"

namespace settings {

// How a store shows the one message a load can give (a message box in the window).
using ShowMessage = std::function<void(const std::string&)>;

// Loads the fan and voltage settings with one read accessor. A missing key is skipped and
// leaves its fields as they were; a missing value reads as "". Sets `fanPageMode` (the fan
// page's current mode) to the PSU fan mode. When system fan curves are missing, shows eight
// characters, one per curve in SystemFanPresets order, "1" read and "0" missing.
// Throws core::ConversionError for a missing or non-integer "Mode", and
// platform::RegistryReadError for a value that is not text or a settings file that cannot be
// read; the fields read before stay set.
void LoadConfigSettings(platform::RegistryStore& store, FanSettings& fan, VoltageSettings& voltage,
                        FanMode& fanPageMode, const ShowMessage& showMessage);

// Saves the modes, the sensor, every curve's "Vol" and "Temp" texts as held (presets
// unchanged) and the three trim targets with one write accessor; factory values are never
// written. Keys that are missing are skipped. Returns true only when every key opened, every
// value was written and the accessor committed. Throws platform::RegistryReadError when the
// settings file cannot be read.
bool SaveConfigSettings(platform::RegistryStore& store, const FanSettings& fan,
                        const VoltageSettings& voltage);

}  // namespace settings
