#include "alarms/alarm_page.h"

#include <cmath>
#include <exception>
#include <utility>

#include "alarms/alarm_evaluation.h"
#include "alarms/threshold_display.h"
#include "core/numbers.h"
#include "platform/ui/color.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/window.h"
#include "settings/alarm_settings_store.h"
#include "settings/voltage_band.h"
#include "skin/default_skin_places.h"
#include "skin/skin_files.h"
#include "skin/skin_pages.h"

namespace alarms {
namespace {

constexpr ui::Color kOnColor{0, 255, 0};
constexpr ui::Color kOffColor{128, 128, 128};
constexpr const char* kSavedOk = "New Value Setting OK!";
constexpr std::int32_t kRating450 = 450;

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
// The one display whose threshold is rounded to three decimals as its group is shown.
std::size_t Vol33Display() {
  std::size_t i = 0;
  while (i + 1 < kThresholdCount &&
         ThresholdItems()[i].threshold != &settings::AlarmSettings::Voltage33V)
    ++i;
  return i;
}

constexpr std::size_t DisplayOfSwitch(std::size_t item) {
  return item + 1;
}

struct TabLayout {
  const char* record;
  settings::AlarmGroup group;
};
constexpr TabLayout kTabs[] = {{"Watt", settings::AlarmGroup::kWatt},
                               {"Voltage", settings::AlarmGroup::kVoltage},
                               {"Current", settings::AlarmGroup::kCurrent},
                               {"FanSpeed", settings::AlarmGroup::kFanSpeed},
                               {"Temperature", settings::AlarmGroup::kTemperature}};

constexpr settings::AlarmGroup kGroups[] = {
    settings::AlarmGroup::kWatt, settings::AlarmGroup::kVoltage, settings::AlarmGroup::kCurrent,
    settings::AlarmGroup::kFanSpeed, settings::AlarmGroup::kTemperature};

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
    controls_.Names().Add(edit.get());
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
  const ThresholdItem& entry = ThresholdItems()[index];
  const std::string key =
      entry.current ? skin::CurrentGroupName(env_.powerRating) + "\\" + entry.key : entry.key;
  auto display = std::make_unique<skin::TImageTrackBar>(env_.window, env_.files);
  display->ShowDigit = false;
  if (const skin::DisplayLayout* found = records.Display(key)) {
    skin::DisplayLayout layout = *found;
    // The power range ends at the rating.
    if (index == kWattDisplay) layout.statusBar.Max = env_.powerRating;
    ApplyDisplayLayout(*display, layout, env_.ilaNumber, env_.files, kOnColor);
  }
  display->CenteredMode = entry.centred;
  display->SetPartsVisible(false);
  display->MarkerImage().Hide();
  skin::TImageTrackBar& added = *display;
  displays_[index] = &added;
  ownedDisplays_.push_back(std::move(display));
  return added;
}

void AlarmPage::Build(const skin::PageRecords& records) {
  for (const TabLayout& tab : kTabs) {
    controls_.Controls().Add(&AddButton(tab.record, records, tab.record,
                                        [this, group = tab.group] { SelectGroup(group); }));
  }
  controls_.Controls().Add(
      &AddButton("Disable", records, "Disable", [this] { ToggleGroupMuted(); }));
  controls_.Controls().Add(&AddButton("OK", records, "OK", [this] { ApplyAlarmGroup(); }));
  controls_.Controls().Add(
      &AddButton("Cancel", records, "Cancel", [this] { RevertAlarmThresholds(); }));
  disableTexts_ = texts_["Disable"];

  const std::string current = skin::CurrentGroupName(env_.powerRating) + "\\";
  for (std::size_t i = 0; i < kSwitchCount; ++i) {
    const ThresholdItem& entry = ThresholdItems()[DisplayOfSwitch(i)];
    if (entry.notAt450 && env_.powerRating == kRating450) continue;
    const std::string key = entry.current ? current + entry.switchKey : entry.switchKey;
    skin::TImageLabel& button =
        AddButton(entry.switchName, records, key, [this, i] { ToggleAlarmSwitch(i); });
    controls_.Group(entry.group).Add(&button);
  }
  skin::TImageLabel& celsius = AddButton("ATempC", records, "Temperature\\Celsius",
                                         [this] { SetUnit(core::TempUnit::kCelsius); });
  skin::TImageLabel& fahrenheit = AddButton("ATempF", records, "Temperature\\Fahrenheit",
                                            [this] { SetUnit(core::TempUnit::kFahrenheit); });

  for (std::size_t i = 0; i < kThresholdCount; ++i) {
    skin::TImageTrackBar& display = AddDisplay(i, records);
    const settings::AlarmGroup group = ThresholdItems()[i].group;
    // The power display's marker shows with the page's own controls, the others' with their
    // group.
    (group == settings::AlarmGroup::kWatt ? controls_.Controls() : controls_.Group(group))
        .Add(&display.MarkerImage());
    controls_.Group(group).Add(&display);
  }
  controls_.Group(settings::AlarmGroup::kTemperature).Add({&celsius, &fahrenheit});
}

float& AlarmPage::Threshold(std::size_t index) {
  const ThresholdItem& entry = ThresholdItems()[index];
  return entry.threshold ? (env_.settings.*entry.threshold).Value : env_.settings.Watt;
}

bool AlarmPage::Enabled(std::size_t index) const {
  const ThresholdItem& entry = ThresholdItems()[index];
  return entry.threshold ? (env_.settings.*entry.threshold).Enable
                         : !env_.status.GroupMuted(settings::AlarmGroup::kWatt);
}

std::string AlarmPage::TabOf(settings::AlarmGroup group) const {
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
    if (name == ThresholdItems()[i].display) return displays_[i];
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

void AlarmPage::SelectGroup(settings::AlarmGroup group) {
  currentGroup_ = group;
  ShowAlarmGroup();
}

void AlarmPage::SetUnit(core::TempUnit unit) {
  unit_ = unit;
  ShowAlarmGroup();
}

void AlarmPage::HideGroup(settings::AlarmGroup group) {
  controls_.Group(group).Hide();
  // The power display's marker hides with its group even when it draws no position bar; the
  // names belong to the temperature group on screen.
  if (group == settings::AlarmGroup::kWatt && displays_[kWattDisplay]) {
    displays_[kWattDisplay]->MarkerImage().Hide();
  }
  if (group == settings::AlarmGroup::kTemperature) controls_.Names().Hide();
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
  if (ThresholdItems()[index].centred) {
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
  } else if (ThresholdItems()[index].group == settings::AlarmGroup::kTemperature) {
    display->TempUnitCode = unit_;
    display->ShowValue(unit_ == core::TempUnit::kFahrenheit ? core::ToFahrenheit(t) : t, false,
                       true);
  } else {
    display->ShowValue(t, false, true);
  }
  display->SetPositionValue(t);
  display->SetPartsVisible(true);
  SetDisplayLook(*display, Enabled(index));
}

void AlarmPage::ShowGroupDisplays(settings::AlarmGroup group) {
  if (group == settings::AlarmGroup::kWatt) {
    if (skin::TImageTrackBar* total = displays_[kWattDisplay]) total->MarkerImage().Show();
    ShowDisplay(kWattDisplay);
    return;
  }
  for (ui::Control* member : controls_.Group(group).Controls()) member->Show();
  env_.window.InvalidateAll();
  for (std::size_t i = 0; i < kThresholdCount; ++i) {
    if (ThresholdItems()[i].group == group) ShowDisplay(i);
  }
}

void AlarmPage::ShowAlarmGroup() {
  RestButton(TabOf(previousGroup_), skin::kLeaveBmp);
  previousGroup_ = currentGroup_;

  std::string background;
  switch (currentGroup_) {
    case settings::AlarmGroup::kWatt:
      background = skin::AlarmWattGroupBackground(env_.powerRating);
      break;
    case settings::AlarmGroup::kVoltage:
      background = skin::kAlarmVoltageBackground;
      break;
    case settings::AlarmGroup::kCurrent:
      background = skin::AlarmCurrentBackground(env_.powerRating);
      break;
    case settings::AlarmGroup::kFanSpeed:
      background = skin::kAlarmFanSpeedBackground;
      break;
    default:
      background = unit_ == core::TempUnit::kFahrenheit
                       ? skin::kAlarmTemperatureFahrenheitBackground
                       : skin::kAlarmTemperatureCelsiusBackground;
      break;
  }
  // A missing picture is the framework's file error; the rest is not run.
  env_.imgAlarm.LoadPicture(LanguageFile(background));

  for (const settings::AlarmGroup group : kGroups) {
    if (group != currentGroup_) HideGroup(group);
  }
  if (currentGroup_ == settings::AlarmGroup::kVoltage) {
    float& v33 = Threshold(Vol33Display());
    v33 = RoundHalfUp(static_cast<double>(v33), 3);
  }
  if (currentGroup_ == settings::AlarmGroup::kTemperature) {
    const bool celsius = unit_ != core::TempUnit::kFahrenheit;
    RestButton("ATempC", celsius ? skin::kClickBmp : skin::kLeaveBmp);
    RestButton("ATempF", celsius ? skin::kLeaveBmp : skin::kClickBmp);
    const settings::SensorNames names = env_.monitorNames ? env_.monitorNames() : AlarmPageNames();
    for (std::size_t i = 0; i < edits_.size(); ++i) {
      edits_[i]->Show();
      edits_[i]->SetText(names[i]);
    }
  }
  ShowGroupDisplays(currentGroup_);

  if (currentGroup_ != settings::AlarmGroup::kWatt) {
    bool anyOn = false;
    for (std::size_t item = 0; item < kSwitchCount; ++item) {
      const std::size_t d = DisplayOfSwitch(item);
      if (ThresholdItems()[d].group != currentGroup_) continue;
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
    if (ThresholdItems()[i].group == currentGroup_ && displays_[i])
      Threshold(i) = displays_[i]->Value();
  }
  bool saved = false;
  try {
    saved = settings::SaveAlarmGroup(env_.store, env_.settings, currentGroup_, AlarmPageNames());
  } catch (const std::exception&) {
    saved = false;  // a settings file that cannot be read is a failed save
  }
  CaptureCommittedThresholds();
  // Saved as entered; held from here on as the band's upper edge.
  settings::KeepVoltageUpperEdges(env_.settings);
  env_.app.GetDialogs().ShowMessage(saved ? kSavedOk : kAlarmSaveFailed);
}

void AlarmPage::RevertAlarmThresholds() {
  for (std::size_t i = 0; i < kThresholdCount; ++i) Threshold(i) = committed_[i];
  ShowAlarmGroup();
  settings::KeepVoltageUpperEdges(env_.settings);
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
