#include "history/history_settings.h"

#include <charconv>
#include <string>

#include "history/history_recorder.h"

namespace history {
namespace {

std::string Where(std::string_view value, const std::string& text) {
  return "'" + text + "' is not a valid value for \"" + std::string(value) + "\" under " +
         std::string(kHistoryKey);
}

}  // namespace

HistorySettings LoadHistorySettings(platform::RegistryStore& store) {
  HistorySettings settings;
  const std::unique_ptr<platform::Registry> registry = store.Open(platform::RegistryAccess::Read);
  const std::unique_ptr<platform::RegistryKey> key = registry->OpenKey(kHistoryKey);
  if (!key) return settings;
  const std::string enabled = key->ReadString(kHistoryEnabledValue);
  if (enabled == "0") {
    settings.enabled = false;
  } else if (enabled != "1" && !enabled.empty()) {
    throw HistorySettingsError(Where(kHistoryEnabledValue, enabled) + " (\"1\" or \"0\")");
  }
  const std::string days = key->ReadString(kHistoryRetentionValue);
  if (!days.empty()) {
    int value = 0;
    const auto [end, error] = std::from_chars(days.data(), days.data() + days.size(), value);
    if (error != std::errc() || end != days.data() + days.size() || value < 1 ||
        value > kMaxRetentionDays) {
      throw HistorySettingsError(Where(kHistoryRetentionValue, days) + " (whole days, 1 to " +
                                 std::to_string(kMaxRetentionDays) + ")");
    }
    settings.retentionDays = value;
  }
  return settings;
}

bool SaveHistorySettings(platform::RegistryStore& store, const HistorySettings& settings) {
  const std::unique_ptr<platform::Registry> registry = store.Open(platform::RegistryAccess::Write);
  const std::unique_ptr<platform::RegistryKey> key = registry->OpenKey(kHistoryKey);
  if (!key) return false;
  const bool written =
      key->WriteString(kHistoryEnabledValue, settings.enabled ? "1" : "0") &&
      key->WriteString(kHistoryRetentionValue, std::to_string(settings.retentionDays));
  return registry->Commit() && written;
}

}  // namespace history
