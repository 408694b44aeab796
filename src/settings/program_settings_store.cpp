#include "settings/program_settings_store.h"

#include "settings/save_outcome.h"

namespace settings {

bool LoadNotifyOnAlarm(platform::RegistryStore& store) {
  const auto registry = store.Open(platform::RegistryAccess::Read);
  const auto key = registry->OpenKey(kProgramKey);
  return !key || key->ReadString(kNotifyOnAlarmValue) != "0";
}

bool SaveNotifyOnAlarm(platform::RegistryStore& store, bool on) {
  const auto registry = store.Open(platform::RegistryAccess::Write);
  SaveOutcome save(*registry);
  if (const auto key = save.Open(kProgramKey))
    save.Write(*key, kNotifyOnAlarmValue, on ? "1" : "0");
  return save.Finish();
}

}  // namespace settings
