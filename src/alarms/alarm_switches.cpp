// The alarm page's switches, the group muted flags and the Disable button.
#include "alarms/alarm_evaluation.h"
#include "alarms/alarm_page.h"
#include "skin/skin_files.h"

namespace alarms {
namespace {

using settings::AlarmSettings;
using settings::AlarmThreshold;

// The enable flag behind each switch, in switch order, with its group.
struct SwitchFlag {
  settings::AlarmGroup group;
  AlarmThreshold AlarmSettings::*threshold;
  const char* name;
  const char* display;
};
constexpr SwitchFlag kFlags[kSwitchCount] = {
    {settings::AlarmGroup::kVoltage, &AlarmSettings::Voltage12V, "A12VLight", "AVol12V"},
    {settings::AlarmGroup::kVoltage, &AlarmSettings::Voltage5V, "A5VLight", "AVol5V"},
    {settings::AlarmGroup::kVoltage, &AlarmSettings::Voltage33V, "A33VLight", "AVol33V"},
    {settings::AlarmGroup::kCurrent, &AlarmSettings::Current12V1, "AC12V1Light", "AC12V1"},
    {settings::AlarmGroup::kCurrent, &AlarmSettings::Current12V2, "AC12V2Light", "AC12V2"},
    {settings::AlarmGroup::kCurrent, &AlarmSettings::Current12V3, "AC12V3Light", "AC12V3"},
    {settings::AlarmGroup::kCurrent, &AlarmSettings::Current12V4, "AC12V4Light", "AC12V4"},
    {settings::AlarmGroup::kCurrent, &AlarmSettings::Current5V, "AC5VLight", "AC5V"},
    {settings::AlarmGroup::kCurrent, &AlarmSettings::Current33V, "AC33VLight", "AC33V"},
    {settings::AlarmGroup::kFanSpeed, &AlarmSettings::PSUFan, "AFSPSULight", "AFSPSU"},
    {settings::AlarmGroup::kFanSpeed, &AlarmSettings::SystemFan, "AFSSystemFanLight",
     "AFSSystemFan"},
    {settings::AlarmGroup::kTemperature, &AlarmSettings::TempPSU, "ATempPSULight", "ATempPSU"},
    {settings::AlarmGroup::kTemperature, &AlarmSettings::TempT1, "ATempT1Light", "ATempT1"},
    {settings::AlarmGroup::kTemperature, &AlarmSettings::TempT2, "ATempT2Light", "ATempT2"},
    {settings::AlarmGroup::kTemperature, &AlarmSettings::TempT3, "ATempT3Light", "ATempT3"},
    {settings::AlarmGroup::kTemperature, &AlarmSettings::TempT4, "ATempT4Light", "ATempT4"},
};

}  // namespace

void AlarmPage::SetItemLook(std::size_t item, bool on) {
  const SwitchFlag& flag = kFlags[item];
  if (skin::TImageLabel* button = Button(flag.name)) {
    const std::string name = flag.name;
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
  AlarmThreshold& threshold = env_.settings.*kFlags[item].threshold;
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
  for (const SwitchFlag& flag : kFlags) {
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
    const SwitchFlag& flag = kFlags[item];
    if (flag.group != group) continue;
    (env_.settings.*flag.threshold).Enable = !muted;
    SetItemLook(item, !muted);
  }
  if (group != settings::AlarmGroup::kTemperature) return;
  // The temperature flags follow at once, by the evaluation's own rule: switching the group
  // on must not make a sensor within its threshold blink until the next poll.
  const device::ReadingSet none;
  const device::ReadingSet& r = env_.readings ? env_.readings() : none;
  AlarmState& state = env_.status.Flags();
  const settings::AlarmSettings& s = env_.settings;
  state[AlarmRow::TempPSU] = TemperatureInAlarm(r.TempPSU, s.TempPSU);
  state[AlarmRow::TempT1] = TemperatureInAlarm(r.TempT1, s.TempT1);
  state[AlarmRow::TempT2] = TemperatureInAlarm(r.TempT2, s.TempT2);
  state[AlarmRow::TempT3] = TemperatureInAlarm(r.TempT3, s.TempT3);
  state[AlarmRow::TempT4] = TemperatureInAlarm(r.TempT4, s.TempT4);
}

}  // namespace alarms
