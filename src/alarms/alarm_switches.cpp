// The alarm page's switches, the group muted flags and the Disable button.
#include "alarms/alarm_evaluation.h"
#include "alarms/alarm_page.h"
#include "settings/alarm_thresholds.h"
#include "skin/skin_files.h"

namespace alarms {
namespace {

using settings::AlarmSettings;
using settings::AlarmThreshold;

// The threshold item behind switch `item`.
const ThresholdItem& ItemOfSwitch(std::size_t item) {
  return ThresholdItems()[item + 1];
}

}  // namespace

void AlarmPage::SetItemLook(std::size_t item, bool on) {
  const ThresholdItem& flag = ItemOfSwitch(item);
  if (skin::TImageLabel* button = Button(flag.switchName)) {
    const std::string name = flag.switchName;
    if (on) {
      button->LoadLeaveBitmap(File(name, skin::kLeaveBmp));
      button->LoadEnterBitmap(File(name, skin::kEnterBmp));
      button->LoadClickBitmap(File(name, skin::kClickBmp));
    } else {
      button->LoadLeaveBitmap(File(name, skin::kDisBmp));
      button->LoadEnterBitmap(File(name, skin::kDisBmp));
      button->LoadClickBitmap(File(name, skin::kDisBmp));
    }
    button->LoadDisabledBitmap(File(name, skin::kDisBmp));
    button->Repaint();
  }
  if (skin::TImageTrackBar* display = Display(flag.display)) SetDisplayLook(*display, on);
}

void AlarmPage::ToggleAlarmSwitch(std::size_t item) {
  if (item >= kSwitchCount) return;
  settings::AlarmThreshold& threshold = env_.settings.*ItemOfSwitch(item).threshold;
  threshold.Enable = !threshold.Enable;
  SetItemLook(item, threshold.Enable);
  SyncGroupMuted();
}

void AlarmPage::SyncGroupMuted() {
  const settings::AlarmGroup group = currentGroup_;
  if (group < settings::AlarmGroup::kVoltage || group > settings::AlarmGroup::kTemperature) return;
  bool allOn = true;
  bool allOff = true;
  // Flags without a switch (12V3 and 12V4 currents at 450 W) count as they are.
  for (std::size_t item = 0; item < kSwitchCount; ++item) {
    const ThresholdItem& flag = ItemOfSwitch(item);
    if (flag.group != group) continue;
    const bool on = (env_.settings.*flag.threshold).Enable;
    allOn = allOn && on;
    allOff = allOff && !on;
  }
  if (!allOn && !allOff) return;
  env_.status.SetGroupMuted(group, !allOff);
  ToggleGroupMuted();
}

void AlarmPage::ShowDisableSet(bool muted) {
  skin::TImageLabel* disable = Button("Disable");
  const std::vector<std::string> set = skin::DisableAlarmSet(muted);
  if (disableTexts_.size() < set.size()) disableTexts_.resize(set.size());
  for (std::size_t i = 0; i < set.size(); ++i) {
    disableTexts_[i] = std::string(skin::kSkinFolder) + env_.languageFolder + set[i];
  }
  if (!disable) return;
  disable->LoadLeaveBitmap(File("Disable", skin::kLeaveBmp));
  disable->LoadEnterBitmap(File("Disable", skin::kEnterBmp));
  disable->LoadClickBitmap(File("Disable", skin::kClickBmp));
  disable->LoadDisabledBitmap(File("Disable", skin::kDisBmp));
  disable->LoadLeaveBitmap(File("Disable", skin::kLeaveBmp));
  disable->Repaint();
}

void AlarmPage::ToggleGroupMuted() {
  const settings::AlarmGroup group = currentGroup_;
  const bool muted = !env_.status.GroupMuted(group);
  env_.status.SetGroupMuted(group, muted);
  ShowDisableSet(muted);
  ApplyGroupMuted(group, muted);
}

void AlarmPage::ApplyGroupMuted(settings::AlarmGroup group, bool muted) {
  if (group == settings::AlarmGroup::kWatt) {
    if (skin::TImageTrackBar* total = Display("AWattTotal")) SetDisplayLook(*total, !muted);
    return;
  }
  for (std::size_t item = 0; item < kSwitchCount; ++item) {
    const ThresholdItem& flag = ItemOfSwitch(item);
    if (flag.group != group) continue;
    (env_.settings.*flag.threshold).Enable = !muted;
    SetItemLook(item, !muted);
  }
  if (group != settings::AlarmGroup::kTemperature) return;
  // The temperature flags follow at once, by the evaluation's own rule: switching the group
  // on must not make a sensor within its threshold blink until the next poll.
  const device::ReadingSet none;
  const device::ReadingSet& r = env_.readings ? env_.readings() : none;
  for (const AlarmRow row : kTemperatureRows) {
    const device::Reading& reading = device::ReadingOf(row);
    env_.status.SetInAlarm(
        row,
        TemperatureInAlarm(r.*reading.field, env_.settings.*settings::ThresholdField(reading)));
  }
}

}  // namespace alarms
