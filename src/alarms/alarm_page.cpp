#include "alarms/alarm_page.h"

#include <cmath>
#include <exception>
#include <utility>

#include "alarms/alarm_evaluation.h"
#include "core/numbers.h"
#include "platform/ui/color.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/window.h"
#include "settings/alarm_settings_store.h"
#include "skin/default_skin_places.h"
#include "skin/skin_files.h"
#include "skin/skin_pages.h"

namespace alarms {
namespace {

using settings::AlarmSettings;
using settings::AlarmThreshold;

constexpr ui::Color kOnColor{0, 255, 0};
constexpr ui::Color kOffColor{128, 128, 128};
constexpr const char* kSavedOk = "New Value Setting OK!";
constexpr std::int32_t kRating450 = 450;

// One threshold display, in creation order. `current` keys sit below the rating's current
// group ("Current" or "Current_450W"); the power threshold has no AlarmThreshold.
struct ThresholdDisplayLayout {
  const char* name;
  const char* key;
  bool current;
  std::int32_t group;
  AlarmThreshold AlarmSettings::*threshold;
  bool centred;
};
constexpr ThresholdDisplayLayout kDisplays[kThresholdCount] = {
    {"AWattTotal", "Total", false, settings::kAlarmWatt, nullptr, false},
    {"AVol12V", "Voltage\\12V", false, settings::kAlarmVoltage, &AlarmSettings::Voltage12V, true},
    {"AVol5V", "Voltage\\5V", false, settings::kAlarmVoltage, &AlarmSettings::Voltage5V, true},
    {"AVol33V", "Voltage\\33V", false, settings::kAlarmVoltage, &AlarmSettings::Voltage33V, true},
    {"AC12V1", "12V1", true, settings::kAlarmCurrent, &AlarmSettings::Current12V1, false},
    {"AC12V2", "12V2", true, settings::kAlarmCurrent, &AlarmSettings::Current12V2, false},
    {"AC12V3", "12V3", true, settings::kAlarmCurrent, &AlarmSettings::Current12V3, false},
    {"AC12V4", "12V4", true, settings::kAlarmCurrent, &AlarmSettings::Current12V4, false},
    {"AC5V", "5V", true, settings::kAlarmCurrent, &AlarmSettings::Current5V, false},
    {"AC33V", "33V", true, settings::kAlarmCurrent, &AlarmSettings::Current33V, false},
    {"AFSPSU", "FanSpeed\\PSU", false, settings::kAlarmFanSpeed, &AlarmSettings::PSUFan, false},
    {"AFSSystemFan", "FanSpeed\\SystemFan", false, settings::kAlarmFanSpeed,
     &AlarmSettings::SystemFan, false},
    {"ATempPSU", "Temperature\\PSU", false, settings::kAlarmTemperature, &AlarmSettings::TempPSU,
     false},
    {"ATempT1", "Temperature\\T1", false, settings::kAlarmTemperature, &AlarmSettings::TempT1,
     false},
    {"ATempT2", "Temperature\\T2", false, settings::kAlarmTemperature, &AlarmSettings::TempT2,
     false},
    {"ATempT3", "Temperature\\T3", false, settings::kAlarmTemperature, &AlarmSettings::TempT3,
     false},
    {"ATempT4", "Temperature\\T4", false, settings::kAlarmTemperature, &AlarmSettings::TempT4,
     false},
};
constexpr std::size_t kWattDisplay = 0;

// `value` within the range a drag on `display` covers (its status rect's Min to Max); a value
// that is no number takes the range's start. A display without a range takes it as it is.
float WithinRange(const skin::TImageTrackBar& display, float value) {
  if (!display.ShowStatusRect) return value;
  const skin::TImageTrackBar::StatusRectGroup& r = display.StatusRect();
  const float low = std::fmin(r.Min, r.Max);
  const float high = std::fmax(r.Min, r.Max);
  if (!(low < high)) return value;
  return std::fmin(std::fmax(value, low), high);
}
constexpr std::size_t kVol33Display = 3;
constexpr std::size_t kFirstTempDisplay = 12;

// One switch, in the order group operations walk them; switch i belongs to display i + 1.
struct SwitchLayout {
  const char* name;
  const char* key;
  bool current;
  bool notAt450;
};
constexpr SwitchLayout kSwitches[kSwitchCount] = {
    {"A12VLight", "Voltage\\12VLight", false, false},
    {"A5VLight", "Voltage\\5VLight", false, false},
    {"A33VLight", "Voltage\\33VLight", false, false},
    {"AC12V1Light", "12V1Light", true, false},
    {"AC12V2Light", "12V2Light", true, false},
    {"AC12V3Light", "12V3Light", true, true},
    {"AC12V4Light", "12V4Light", true, true},
    {"AC5VLight", "5VLight", true, false},
    {"AC33VLight", "33VLight", true, false},
    {"AFSPSULight", "FanSpeed\\PSULight", false, false},
    {"AFSSystemFanLight", "FanSpeed\\SystemFanLight", false, false},
    {"ATempPSULight", "Temperature\\PSULight", false, false},
    {"ATempT1Light", "Temperature\\T1Light", false, false},
    {"ATempT2Light", "Temperature\\T2Light", false, false},
    {"ATempT3Light", "Temperature\\T3Light", false, false},
    {"ATempT4Light", "Temperature\\T4Light", false, false},
};

constexpr std::size_t DisplayOfSwitch(std::size_t item) {
  return item + 1;
}

struct TabLayout {
  const char* record;
  std::int32_t group;
};
constexpr TabLayout kTabs[] = {{"Watt", settings::kAlarmWatt},
                               {"Voltage", settings::kAlarmVoltage},
                               {"Current", settings::kAlarmCurrent},
                               {"FanSpeed", settings::kAlarmFanSpeed},
                               {"Temperature", settings::kAlarmTemperature}};

constexpr std::int32_t kGroups[] = {settings::kAlarmWatt, settings::kAlarmVoltage,
                                    settings::kAlarmCurrent, settings::kAlarmFanSpeed,
                                    settings::kAlarmTemperature};

float RoundHalfUp(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return static_cast<float>(std::floor(value * scale + 0.5) / scale);
}

}  // namespace

AlarmPage::AlarmPage(AlarmPageEnvironment environment) : env_(std::move(environment)) {
  for (std::size_t i = 0; i < edits_.size(); ++i) {
    auto edit = std::make_unique<ui::Edit>(env_.window, RectOf(skin::places::kEditATempT[i]));
    edit->SetBorderless(true);
    edit->SetBackgroundColor(std::nullopt);
    edit->SetEnabled(false);
    edit->Hide();
    edits_[i] = std::move(edit);
  }
}

AlarmPage::~AlarmPage() = default;

std::filesystem::path AlarmPage::File(const std::string& name, std::size_t position) const {
  const auto found = texts_.find(name);
  const std::vector<std::string>* texts =
      name == "Disable" ? &disableTexts_ : (found == texts_.end() ? nullptr : &found->second);
  if (!texts || position >= texts->size() || (*texts)[position].empty()) return {};
  try {
    return env_.files((*texts)[position]);
  } catch (const std::exception&) {
    return {};  // a refused path loads nothing, as for the button itself
  }
}

std::filesystem::path AlarmPage::LanguageFile(std::string_view file) const {
  return env_.files(std::string(skin::kSkinFolder) + env_.languageFolder + std::string(file));
}

skin::TImageLabel& AlarmPage::AddButton(const std::string& name, const skin::PageRecords& records,
                                        const std::string& key, std::function<void()> action) {
  const skin::ButtonRecord* record = records.Button(key);
  const skin::ButtonRecord empty;
  const skin::ButtonRecord& use = record ? *record : empty;
  auto button =
      skin::BuildImageLabel(env_.window, use.rect, use.bitmaps, env_.files,
                            [action = std::move(action)](skin::TImageLabel&) { action(); });
  button->SetBtnAction(name);
  button->Hide();  // the roll shows the page's controls as it comes out
  texts_[name] = use.bitmaps;
  skin::TImageLabel& added = *button;
  buttons_.emplace(name, std::move(button));
  return added;
}

skin::TImageTrackBar& AlarmPage::AddDisplay(std::size_t index, const skin::PageRecords& records) {
  const ThresholdDisplayLayout& spec = kDisplays[index];
  const std::string key =
      spec.current ? skin::CurrentGroupName(env_.powerRating) + "\\" + spec.key : spec.key;
  auto display = std::make_unique<skin::TImageTrackBar>(env_.window, env_.files);
  display->ShowDigit = false;
  if (const skin::DisplayLayout* found = records.Display(key)) {
    skin::DisplayLayout layout = *found;
    // The power range ends at the rating.
    if (index == kWattDisplay) layout.statusBar.Max = env_.powerRating;
    display->SBHorz = layout.statusRect.Horizontal;
    display->ShowDigit = layout.ShowDigit;
    display->ShowSBar = layout.ShowStatusBar;
    display->ShowPositionBar = layout.ShowPosBar;
    display->ShowStatusRect = layout.ShowStatusRect;
    if (layout.ShowDigit) {
      const auto& d = layout.digit;
      display->SetupDigits(d.Left, d.Top, d.Count, d.Width, d.Height, d.isFloat, d.DecimalCount,
                           d.isAttr, true);
      display->SetDigitImages(env_.ilaNumber);
    }
    if (layout.ShowStatusBar) {
      const auto& s = layout.statusBar;
      display->SetupStatusBar(s.Left, s.Top, s.Min, s.Max, s.Width, s.Height, s.Scale);
    }
    if (layout.ShowPosBar) {
      const auto& p = layout.posBar;
      display->SetPositionBarOrigin(p.Left, p.Top);
      display->LoadMarker(env_.files(p.Path), p.Width, p.Height);
    }
    if (layout.ShowStatusRect) {
      const auto& r = layout.statusRect;
      display->SetupStatusRect(r.Left, r.Top, r.Length, r.Caliper, r.Min, r.Max, kOnColor);
    }
  }
  display->CenteredMode = spec.centred;
  display->SetPartsVisible(false);
  display->MarkerImage().Hide();
  skin::TImageTrackBar& added = *display;
  displays_[index] = &added;
  ownedDisplays_.push_back(std::move(display));
  return added;
}

void AlarmPage::Build(const skin::PageRecords& records) {
  for (const TabLayout& tab : kTabs) {
    alarmControls_.push_back(&AddButton(tab.record, records, tab.record,
                                        [this, group = tab.group] { SelectGroup(group); }));
  }
  alarmControls_.push_back(
      &AddButton("Disable", records, "Disable", [this] { ToggleGroupMuted(); }));
  alarmControls_.push_back(&AddButton("OK", records, "OK", [this] { ApplyAlarmGroup(); }));
  alarmControls_.push_back(
      &AddButton("Cancel", records, "Cancel", [this] { RevertAlarmThresholds(); }));
  disableTexts_ = texts_["Disable"];

  const std::string current = skin::CurrentGroupName(env_.powerRating) + "\\";
  for (std::size_t i = 0; i < kSwitchCount; ++i) {
    const SwitchLayout& spec = kSwitches[i];
    if (spec.notAt450 && env_.powerRating == kRating450) continue;
    const std::string key = spec.current ? current + spec.key : spec.key;
    skin::TImageLabel& button =
        AddButton(spec.name, records, key, [this, i] { ToggleAlarmSwitch(i); });
    GroupOf(kDisplays[DisplayOfSwitch(i)].group)->plain.push_back(&button);
  }
  skin::TImageLabel& celsius =
      AddButton("ATempC", records, "Temperature\\Celsius", [this] { SetUnit(kAlarmCelsius); });
  skin::TImageLabel& fahrenheit = AddButton("ATempF", records, "Temperature\\Fahrenheit",
                                            [this] { SetUnit(kAlarmFahrenheit); });

  for (std::size_t i = 0; i < kThresholdCount; ++i) {
    skin::TImageTrackBar& display = AddDisplay(i, records);
    if (Group* group = GroupOf(kDisplays[i].group)) {
      group->plain.push_back(&display.MarkerImage());
      group->displays.push_back(&display);
    } else {
      alarmControls_.push_back(&display.MarkerImage());
    }
  }
  temperature_.plain.push_back(&celsius);
  temperature_.plain.push_back(&fahrenheit);
}

void AlarmPage::FillGroups(pages::PageGroups& groups) const {
  groups.AlarmControls = alarmControls_;
  groups.AWattTotal = displays_[kWattDisplay];
  groups.AlarmVoltageControls = voltage_.plain;
  groups.AlarmCurrentControls = current_.plain;
  groups.AlarmFanControls = fan_.plain;
  groups.AlarmTempControls = temperature_.plain;
  groups.AlarmVoltageDisplays = voltage_.displays;
  groups.AlarmCurrentDisplays = current_.displays;
  groups.AlarmFanDisplays = fan_.displays;
  groups.AlarmTempDisplays = temperature_.displays;
  for (std::size_t i = 0; i < edits_.size(); ++i) groups.EditATempT[i] = edits_[i].get();
}

float& AlarmPage::Threshold(std::size_t index) {
  const ThresholdDisplayLayout& spec = kDisplays[index];
  return spec.threshold ? (env_.settings.*spec.threshold).Value : env_.settings.Watt;
}

bool AlarmPage::Enabled(std::size_t index) const {
  const ThresholdDisplayLayout& spec = kDisplays[index];
  return spec.threshold ? (env_.settings.*spec.threshold).Enable
                        : !env_.status.GroupMuted(settings::kAlarmWatt);
}

AlarmPage::Group* AlarmPage::GroupOf(std::int32_t group) {
  switch (group) {
    case settings::kAlarmVoltage:
      return &voltage_;
    case settings::kAlarmCurrent:
      return &current_;
    case settings::kAlarmFanSpeed:
      return &fan_;
    case settings::kAlarmTemperature:
      return &temperature_;
    default:
      return nullptr;
  }
}

std::string AlarmPage::TabOf(std::int32_t group) const {
  for (const TabLayout& tab : kTabs) {
    if (tab.group == group) return tab.record;
  }
  return {};
}

skin::TImageLabel* AlarmPage::Button(std::string_view name) const {
  const auto found = buttons_.find(name);
  return found == buttons_.end() ? nullptr : found->second.get();
}

skin::TImageTrackBar* AlarmPage::Display(std::string_view name) const {
  for (std::size_t i = 0; i < kThresholdCount; ++i) {
    if (name == kDisplays[i].name) return displays_[i];
  }
  return nullptr;
}

settings::SensorNames AlarmPage::AlarmPageNames() const {
  settings::SensorNames names;
  for (std::size_t i = 0; i < edits_.size(); ++i) names[i] = edits_[i]->Text();
  return names;
}

void AlarmPage::TakeLoadedSettings(const settings::SensorNames& names) {
  for (std::size_t i = 0; i < edits_.size(); ++i) edits_[i]->SetText(names[i]);
  for (std::size_t i = 0; i < kThresholdCount; ++i) {
    if (!displays_[i]) continue;
    // A stored threshold beyond the display's range is taken as the end of the range, where a
    // drag would stop: the page shows, and the alarms judge, the same number.
    Threshold(i) = WithinRange(*displays_[i], Threshold(i));
    displays_[i]->SetValue(Threshold(i));
  }
  CaptureCommittedThresholds();
}

void AlarmPage::SetPowerRating(std::int32_t rating) {
  env_.powerRating = rating;
  if (skin::TImageTrackBar* total = displays_[kWattDisplay]) {
    skin::TImageTrackBar::StatusRectGroup rect = total->StatusRect();
    rect.Max = static_cast<float>(rating);
    total->SetStatusRectGroup(rect);
  }
}

void AlarmPage::CaptureCommittedThresholds() {
  // From the thresholds themselves, not from the displays: a drag on another group that was
  // never confirmed is not a committed value.
  for (std::size_t i = 0; i < kThresholdCount; ++i) committed_[i] = Threshold(i);
}

void AlarmPage::RestButton(const std::string& name, std::size_t position) {
  skin::TImageLabel* button = Button(name);
  if (!button) return;
  button->LoadLeaveBitmap(File(name, position));
  button->Repaint();
}

void AlarmPage::SelectGroup(std::int32_t group) {
  currentGroup_ = group;
  ShowAlarmGroup();
}

void AlarmPage::SetUnit(std::int32_t unit) {
  unit_ = unit;
  ShowAlarmGroup();
}

void AlarmPage::HideGroup(std::int32_t group) {
  if (group == settings::kAlarmWatt) {
    if (skin::TImageTrackBar* total = displays_[kWattDisplay]) {
      total->SetPartsVisible(false);
      total->MarkerImage().Hide();
    }
    return;
  }
  Group* g = GroupOf(group);
  for (ui::Control* member : g->plain) member->Hide();
  for (skin::TImageTrackBar* display : g->displays) display->SetPartsVisible(false);
  // The names belong to the temperature group on screen.
  if (group == settings::kAlarmTemperature) {
    for (const auto& edit : edits_) edit->Hide();
  }
}

void AlarmPage::SetDisplayLook(skin::TImageTrackBar& display, bool on) {
  display.StatusRectColor = on ? kOnColor : kOffColor;
  display.MarkerImage().SetEnabled(on);
  display.DrawStatusRect();
}

void AlarmPage::ShowDisplay(std::size_t index) {
  skin::TImageTrackBar* display = displays_[index];
  if (!display) return;
  const float t = Threshold(index);
  display->SetValue(t);
  display->SetPartsVisible(true);
  if (kDisplays[index].centred) {
    const skin::TImageTrackBar::StatusRectGroup& r = display->StatusRect();
    const float m = (r.Min + r.Max) / 2.0f;
    if (t >= m) {
      float ratio = RoundHalfUp(static_cast<double>((t - m) / m), 2);
      ratio = std::fmin(std::fmax(ratio, 0.0f), 1.0f);
      display->ShowValue(ratio * 100.0f, false, true);
    } else {
      const float ratio = RoundHalfUp(static_cast<double>((m - t) / m), 2);
      display->ShowValue(ratio * 100.0f, true, true);
    }
  } else if (kDisplays[index].group == settings::kAlarmTemperature) {
    display->TempUnitCode = unit_;
    display->ShowValue(unit_ == kAlarmFahrenheit ? core::ToFahrenheit(t) : t, false, true);
  } else {
    display->ShowValue(t, false, true);
  }
  display->SetPositionValue(t);
  display->SetPartsVisible(true);
  SetDisplayLook(*display, Enabled(index));
}

void AlarmPage::ShowGroupDisplays(std::int32_t group) {
  if (group == settings::kAlarmWatt) {
    if (skin::TImageTrackBar* total = displays_[kWattDisplay]) total->MarkerImage().Show();
    ShowDisplay(kWattDisplay);
    return;
  }
  for (ui::Control* member : GroupOf(group)->plain) member->Show();
  env_.window.InvalidateAll();
  for (std::size_t i = 0; i < kThresholdCount; ++i) {
    if (kDisplays[i].group == group) ShowDisplay(i);
  }
}

void AlarmPage::ShowAlarmGroup() {
  RestButton(TabOf(previousGroup_), skin::kLeaveBmp);
  previousGroup_ = currentGroup_;

  std::string background;
  switch (currentGroup_) {
    case settings::kAlarmWatt:
      background = skin::AlarmWattGroupBackground(env_.powerRating);
      break;
    case settings::kAlarmVoltage:
      background = skin::kAlarmVoltageBackground;
      break;
    case settings::kAlarmCurrent:
      background = skin::AlarmCurrentBackground(env_.powerRating);
      break;
    case settings::kAlarmFanSpeed:
      background = skin::kAlarmFanSpeedBackground;
      break;
    default:
      background = unit_ == kAlarmFahrenheit ? skin::kAlarmTemperatureFahrenheitBackground
                                             : skin::kAlarmTemperatureCelsiusBackground;
      break;
  }
  // A missing picture is the framework's file error; the rest is not run.
  env_.imgAlarm.LoadPicture(LanguageFile(background));

  for (const std::int32_t group : kGroups) {
    if (group != currentGroup_) HideGroup(group);
  }
  if (currentGroup_ == settings::kAlarmVoltage) {
    float& v33 = Threshold(kVol33Display);
    v33 = RoundHalfUp(static_cast<double>(v33), 3);
  }
  if (currentGroup_ == settings::kAlarmTemperature) {
    const bool celsius = unit_ != kAlarmFahrenheit;
    RestButton("ATempC", celsius ? skin::kClickBmp : skin::kLeaveBmp);
    RestButton("ATempF", celsius ? skin::kLeaveBmp : skin::kClickBmp);
    const settings::SensorNames names = env_.monitorNames ? env_.monitorNames() : AlarmPageNames();
    for (std::size_t i = 0; i < edits_.size(); ++i) {
      edits_[i]->Show();
      edits_[i]->SetText(names[i]);
    }
  }
  ShowGroupDisplays(currentGroup_);

  if (currentGroup_ != settings::kAlarmWatt) {
    bool anyOn = false;
    for (std::size_t item = 0; item < kSwitchCount; ++item) {
      const std::size_t d = DisplayOfSwitch(item);
      if (kDisplays[d].group != currentGroup_) continue;
      anyOn = anyOn || Enabled(d);
      SetItemLook(item, Enabled(d));
    }
    env_.status.SetGroupMuted(currentGroup_, !anyOn);
  }
  RestButton(TabOf(currentGroup_), skin::kClickBmp);
  ShowDisableSet(env_.status.GroupMuted(currentGroup_));
}

void AlarmPage::ApplyAlarmGroup() {
  for (std::size_t i = 0; i < kThresholdCount; ++i) {
    if (kDisplays[i].group == currentGroup_ && displays_[i]) Threshold(i) = displays_[i]->Value();
  }
  bool saved = false;
  try {
    saved = settings::SaveAlarmGroup(env_.store, env_.settings, currentGroup_, AlarmPageNames());
  } catch (const std::exception&) {
    saved = false;  // a settings file that cannot be read is a failed save
  }
  CaptureCommittedThresholds();
  env_.app.GetDialogs().ShowMessage(saved ? kSavedOk : kAlarmSaveFailed);
}

void AlarmPage::RevertAlarmThresholds() {
  for (std::size_t i = 0; i < kThresholdCount; ++i) Threshold(i) = committed_[i];
  ShowAlarmGroup();
}

void AlarmPage::RestoreDefaults(bool pageShown) {
  bool saved = false;
  try {
    saved = settings::RestoreAlarmDefaults(env_.store, env_.settings, AlarmPageNames());
  } catch (const std::exception&) {
    saved = false;  // a settings file that cannot be read is a failed save
  }
  CaptureCommittedThresholds();
  if (pageShown) ShowAlarmGroup();
  if (!saved) env_.app.GetDialogs().ShowMessage(kAlarmSaveFailed);
}

}  // namespace alarms
