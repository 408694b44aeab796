#pragma once

#include <stdexcept>
#include <string_view>

#include "platform/registry/registry.h"

namespace history {

// The settings of the record, under their own key of the settings tree:
//   [HKEY_LOCAL_MACHINE\SOFTWARE\NORVANE\Quelta\History]
//   "Enabled"="1"          "1" records every completed poll, "0" records nothing
//   "RetentionDays"="30"   whole days, 1 to 3650
inline constexpr std::string_view kHistoryKey = "SOFTWARE\\NORVANE\\Quelta\\History";
inline constexpr std::string_view kHistoryEnabledValue = "Enabled";
inline constexpr std::string_view kHistoryRetentionValue = "RetentionDays";

struct HistorySettings {
  bool enabled = true;
  int retentionDays = 30;
};

// A stored value that is not one of those above: the message names the value, its text and
// the key.
class HistorySettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the switch and the retention with one read accessor. A missing key or value leaves
// the default (on, 30 days). Throws HistorySettingsError for a value outside the rules above
// and platform::RegistryReadError for a value that is not text or a file that cannot be read.
HistorySettings LoadHistorySettings(platform::RegistryStore& store);

// Writes both values with one write accessor. True only when the key opened, both values were
// written and the accessor committed. Throws platform::RegistryReadError when the settings
// file cannot be read.
bool SaveHistorySettings(platform::RegistryStore& store, const HistorySettings& settings);

}  // namespace history
