#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "alarms/alarm_page_controls.h"
#include "alarms/alarm_page_items.h"
#include "alarms/alarm_state.h"
#include "core/temp_unit.h"
#include "device/reading_set.h"
#include "platform/registry/registry.h"
#include "platform/ui/application.h"
#include "platform/ui/edit.h"
#include "platform/ui/image.h"
#include "platform/ui/image_list.h"
#include "settings/alarm_settings.h"
#include "skin/file_resolver.h"
#include "skin/image_label.h"
#include "skin/image_track_bar.h"
#include "skin/page_records.h"

namespace alarms {

// What OK and "AlarmDefault" say when the settings file did not take the save.
inline constexpr const char* kAlarmSaveFailed =
    "Settings could not be saved!\n\nNew Value Setting FAIL!";

// What the alarm page works with; everything must outlive the page.
struct AlarmPageEnvironment {
  ui::Window& window;
  ui::Application& app;
  skin::FileResolver files;    // a stored "Skin\..." path to its file
  std::string languageFolder;  // LanguageFolder, "Eng\"
  std::int32_t powerRating = 0;
  const ui::ImageList& ilaNumber;  // the page's digit set
  ui::Image& imgAlarm;             // the page picture
  settings::AlarmSettings& settings;
  AlarmStatus& status;
  platform::RegistryStore& store;
  // The monitor page's sensor names (EditT1..EditT4), copied in with the temperature group.
  std::function<settings::SensorNames()> monitorNames;
  // The window's copy of the readings, for the temperature flags set by the group switch.
  std::function<const device::ReadingSet&()> readings;
};

// The alarm page: five group tabs, the threshold displays and their switches, Disable, OK and
// Cancel, the temperature unit buttons and the sensor names. It edits AlarmSettings and the
// group muted flags of AlarmStatus; OK saves one group. UI thread only.
class AlarmPage {
 public:
  explicit AlarmPage(AlarmPageEnvironment environment);
  ~AlarmPage();
  AlarmPage(const AlarmPage&) = delete;
  AlarmPage& operator=(const AlarmPage&) = delete;

  // BuildAlarmPage: every button, switch and display from the "Alarm" records, all hidden
  // until the roll brings the page out.
  void Build(const skin::PageRecords& records);
  // The page's controls and groups as the roll moves them.
  AlarmPageControls& Controls() { return controls_; }

  // After the settings load: the stored names into EditATempT1..EditATempT4, each threshold
  // into its display's stored value, then CaptureCommittedThresholds.
  void TakeLoadedSettings(const settings::SensorNames& names);
  // The worker reported the rating: the end of the power display's range.
  void SetPowerRating(std::int32_t rating);

  settings::AlarmGroup CurrentAlarmGroup() const { return currentGroup_; }
  settings::AlarmGroup PreviousAlarmGroup() const { return previousGroup_; }
  core::TempUnit AlarmPageUnit() const { return unit_; }
  const std::array<float, kThresholdCount>& CommittedThresholds() const { return committed_; }

  // Group tabs and unit buttons.
  void SelectGroup(settings::AlarmGroup group);
  void SetUnit(core::TempUnit unit);
  void ShowAlarmGroup();
  // OK and Cancel.
  void ApplyAlarmGroup();
  void RevertAlarmThresholds();
  // Takes the thresholds as held (loaded or last committed) as the ones Cancel returns to.
  void CaptureCommittedThresholds();
  // "AlarmDefault": the factory thresholds over the thresholds, all five groups saved, and
  // taken as committed; the page shows them at once when `pageShown`. A save that did not
  // reach the settings file (or a file that cannot be read) is said as OK says it.
  void RestoreDefaults(bool pageShown);

  // Switches.
  void ToggleAlarmSwitch(std::size_t item);
  void SyncGroupMuted();
  void ToggleGroupMuted();
  void ApplyGroupMuted(settings::AlarmGroup group, bool muted);

  // The names in EditATempT1..EditATempT4, which the temperature save writes.
  settings::SensorNames AlarmPageNames() const;

  // Controls by their names: tabs, "Disable", "OK", "Cancel" and "ATempC"/"ATempF" by record,
  // switches ("A12VLight") and displays ("AVol12V") by the page's own names; null if absent.
  skin::TImageLabel* Button(std::string_view name) const;
  skin::TImageTrackBar* Display(std::string_view name) const;
  ui::Edit& EditATempT(int sensor) const { return *edits_[static_cast<std::size_t>(sensor - 1)]; }
  // The Disable button's layout texts (positions 0..3 follow the set shown).
  const std::vector<std::string>& DisableTexts() const { return disableTexts_; }

 private:
  skin::TImageLabel& AddButton(const std::string& name, const skin::PageRecords& records,
                               const std::string& key, std::function<void()> action);
  skin::TImageTrackBar& AddDisplay(std::size_t index, const skin::PageRecords& records);
  std::filesystem::path File(const std::string& name, std::size_t position) const;
  std::filesystem::path LanguageFile(std::string_view file) const;
  void RestButton(const std::string& name, std::size_t position);
  float& Threshold(std::size_t index);
  bool Enabled(std::size_t index) const;
  void HideGroup(settings::AlarmGroup group);
  void ShowGroupDisplays(settings::AlarmGroup group);
  void ShowDisplay(std::size_t index);
  void SetDisplayLook(skin::TImageTrackBar& display, bool on);
  void SetItemLook(std::size_t item, bool on);
  void ShowDisableSet(bool muted);
  std::string TabOf(settings::AlarmGroup group) const;

  AlarmPageEnvironment env_;
  settings::AlarmGroup currentGroup_ = settings::AlarmGroup::kWatt;
  settings::AlarmGroup previousGroup_ = settings::AlarmGroup::kWatt;
  core::TempUnit unit_ = core::TempUnit::kCelsius;
  std::array<float, kThresholdCount> committed_{};

  std::map<std::string, std::unique_ptr<skin::TImageLabel>, std::less<>> buttons_;
  std::map<std::string, std::vector<std::string>, std::less<>> texts_;  // layout texts
  std::array<skin::TImageTrackBar*, kThresholdCount> displays_{};
  std::vector<std::unique_ptr<skin::TImageTrackBar>> ownedDisplays_;
  std::array<std::unique_ptr<ui::Edit>, 4> edits_;
  std::vector<std::string> disableTexts_;

  AlarmPageControls controls_{[this] { ShowAlarmGroup(); }};
};

}  // namespace alarms
