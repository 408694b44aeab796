#include "mainwindow/monitor_page.h"

#include <cmath>
#include <utility>

#include "device/reading_catalogue.h"
#include "platform/ui/color.h"
#include "platform/ui/window.h"
#include "skin/default_skin_places.h"

namespace mainwindow {
namespace {

// The sensor-name fields are borderless and start with these texts.
constexpr const char* kEditInitialTexts[4] = {"Test1", "Test2", "Test3", "Test4"};

// The fan timers' interval until the first refresh sets one from the fan speeds.
constexpr std::chrono::milliseconds kFanTimerCreationInterval{100};
// Bars are drawn in pure green.
constexpr ui::Color kStatusRectColor{0, 255, 0};

// The temperature displays in their building and refresh order, each named after its reading
// and its skin record keyed as its alarm threshold is ("PSU", "T1").
struct TemperatureDisplay {
  device::AlarmRow row;
  const ui::ImageList MonitorImageLists::*celsius;
  const ui::ImageList MonitorImageLists::*fahrenheit;

  const device::Reading& reading() const { return device::ReadingOf(row); }
  std::string name() const { return std::string(reading().name); }
};
constexpr TemperatureDisplay kTemperatureDisplays[] = {
    {device::AlarmRow::TempPSU, &MonitorImageLists::ILTempPSUCStatusBar,
     &MonitorImageLists::ILTempPSUFStatusBar},
    {device::AlarmRow::TempT1, &MonitorImageLists::ILTempT1CStatusBar,
     &MonitorImageLists::ILTempT1FStatusBar},
    {device::AlarmRow::TempT3, &MonitorImageLists::ILTempT3CStatusBar,
     &MonitorImageLists::ILTempT3FStatusBar},
    {device::AlarmRow::TempT2, &MonitorImageLists::ILTempT2CStatusBar,
     &MonitorImageLists::ILTempT2FStatusBar},
    {device::AlarmRow::TempT4, &MonitorImageLists::ILTempT4CStatusBar,
     &MonitorImageLists::ILTempT4FStatusBar},
};

// The rail buttons in the order the page makes them; each is named by its rail's reading and
// its skin record keyed by the rail.
constexpr VoltageRail kVoltageButtons[] = {
    VoltageRail::V5,    VoltageRail::V33,   VoltageRail::V5sb,   VoltageRail::V12V1,
    VoltageRail::V12V2, VoltageRail::V12V3, VoltageRail::Neg12V, VoltageRail::V12V4,
};
constexpr CurrentRail kCurrentButtons[] = {
    CurrentRail::C5V,   CurrentRail::C33V,  CurrentRail::C12V1,
    CurrentRail::C12V2, CurrentRail::C12V3, CurrentRail::C12V4,
};

}  // namespace

std::filesystem::path MonitorPage::FileOf(const std::vector<std::string>& bitmaps,
                                          std::size_t index) const {
  if (index >= bitmaps.size() || bitmaps[index].empty()) return {};
  try {
    return files_(bitmaps[index]);
  } catch (const std::exception&) {
    return {};  // a refused path loads nothing, as for the button itself
  }
}

namespace {

std::int32_t TruncatedBarValue(float value) {
  if (!std::isfinite(value)) return 0;
  const float t = std::trunc(value);
  if (t >= 2147483647.0f) return INT32_MAX;
  if (t <= -2147483648.0f) return INT32_MIN;
  return static_cast<std::int32_t>(t);
}

}  // namespace

MonitorPage::MonitorPage(ui::Window& window, skin::FileResolver files,
                         const MonitorImageLists& lists, MonitorReadings& readings)
    : window_(window),
      files_(skin::Remembering(std::move(files))),
      lists_(lists),
      readings_(readings),
      fanClock_(window.App(), &window),
      timerPSUFan_(fanClock_.Add([this] { Turn(psuFan_); }, kFanTimerCreationInterval)),
      timerSYSFan_(fanClock_.Add([this] { Turn(sysFan_); }, kFanTimerCreationInterval)) {
  for (std::size_t i = 0; i < edits_.size(); ++i) {
    auto edit = std::make_unique<ui::Edit>(window, RectOf(skin::places::kEditT[i]));
    edit->SetBorderless(true);
    edit->SetText(kEditInitialTexts[i]);
    monitorExtras_.push_back(edit.get());
    edits_[i] = std::move(edit);
  }
  imgPSUFan_ = std::make_unique<ui::Image>(window, RectOf(skin::places::kImgPSUFan));
  imgSYSFan_ = std::make_unique<ui::Image>(window, RectOf(skin::places::kImgSYSFan));
  imgPSUFan_->SetTransparent(true);
  imgSYSFan_->SetTransparent(true);
  psuFan_ = FanAnimation{imgPSUFan_.get(), &lists_.ILFanSpeed, 0};
  sysFan_ = FanAnimation{imgSYSFan_.get(), &lists_.ILSYSFanSpeed, 0};
  lists_.ILFanSpeed.Draw(*imgPSUFan_, 0);
  lists_.ILSYSFanSpeed.Draw(*imgSYSFan_, 0);
}

MonitorPage::~MonitorPage() = default;

skin::TImageTrackBar& MonitorPage::AddDisplay(std::string name, const skin::PageRecords& records,
                                              std::string_view key, const ui::ImageList* gauges) {
  auto display = std::make_unique<skin::TImageTrackBar>(window_, files_);
  display->ShowDigit = false;
  if (const skin::DisplayLayout* layout = records.Display(key)) {
    if (layout->ShowDigit) {
      const auto& d = layout->digit;
      display->SetupDigits(d.Left, d.Top, d.Count, d.Width, d.Height, d.isFloat, d.DecimalCount,
                           d.isAttr, false);
      display->SetDigitImages(lists_.ILNumber);
    }
    if (layout->ShowStatusBar) {
      const auto& s = layout->statusBar;
      display->SetupStatusBar(s.Left, s.Top, s.Min, s.Max, s.Width, s.Height, s.Scale);
      if (gauges) display->SetStatusBarImages(*gauges);
    }
    if (layout->ShowStatusRect) {
      const auto& r = layout->statusRect;
      display->SetupStatusRect(r.Left, r.Top, r.Length, r.Caliper, r.Min, r.Max, kStatusRectColor);
      display->ShowStatusRect = true;
    }
  }
  skin::TImageTrackBar& added = *display;
  monitorDisplays_.push_back(&added);
  displays_.emplace(std::move(name), std::move(display));
  return added;
}

skin::TImageLabel& MonitorPage::AddButton(std::string name, const skin::PageRecords& records,
                                          std::string_view key, std::function<void()> action) {
  const skin::ButtonRecord* record = records.Button(key);
  const skin::ButtonRecord empty;
  const skin::ButtonRecord& use = record ? *record : empty;
  auto button =
      skin::BuildImageLabel(window_, use.rect, use.bitmaps, files_,
                            [action = std::move(action)](skin::TImageLabel&) { action(); });
  button->SetBtnAction(name);
  button->Repaint();  // shows its normal picture at once
  buttonFiles_[name] =
      ButtonFiles{FileOf(use.bitmaps, skin::kLeaveBmp), FileOf(use.bitmaps, skin::kClickBmp),
                  FileOf(use.bitmaps, skin::kDisBmp)};
  skin::TImageLabel& added = *button;
  monitorControls_.push_back(&added);
  buttons_.emplace(std::move(name), std::move(button));
  return added;
}

void MonitorPage::BuildGroup(skin::ManagerGroup group, const skin::PageRecords& records) {
  switch (group) {
    case skin::ManagerGroup::Watt:
      AddDisplay("WattTotal", records, "Total", &lists_.ILTStatusBar);
      AddDisplay("WattPeak", records, "Peak", &lists_.ILWStatusBar);
      AddButton("ClearPeak", records, "ClearPeak", [this] { ClearPeak(); });
      break;
    case skin::ManagerGroup::Voltage:
      for (const VoltageRail rail : kVoltageButtons) {
        const device::Rail& r = RailOf(rail);
        AddButton(std::string(r.voltageField), records, r.key,
                  [this, rail] { SelectVoltage(rail); });
      }
      AddButton("VolNegAll", records, "All", [this] {
        if (OnVolNegAll) OnVolNegAll();
      });
      AddDisplay("Voltage", records, "Real", &lists_.ILVStatusBar);
      break;
    case skin::ManagerGroup::Current:
      for (const CurrentRail rail : kCurrentButtons) {
        const device::Rail& r = RailOf(rail);
        AddButton(std::string(r.currentField), records, r.key,
                  [this, rail] { SelectCurrent(rail); });
      }
      AddButton("CurAll", records, "All", [this] {
        if (OnCurAll) OnCurAll();
      });
      AddDisplay("Current", records, "Real", &lists_.ILCStatusBar);
      AddDisplay("CurrentPeak", records, "Peak", &lists_.ILCPeakStatusBar);
      break;
    case skin::ManagerGroup::FanSpeed:
      AddDisplay("PSUFan", records, "PSU Fan", &lists_.ILPSUStatusBar);
      AddDisplay("SysFan", records, "System Fan", &lists_.ILSYSStatusBar);
      break;
    case skin::ManagerGroup::Temperature:
      AddButton("TempC", records, "Celsius", [this] { SetTempUnit(core::TempUnit::kCelsius); });
      AddButton("TempF", records, "Fahrenheit",
                [this] { SetTempUnit(core::TempUnit::kFahrenheit); });
      for (const TemperatureDisplay& t : kTemperatureDisplays) {
        AddDisplay(t.name(), records, t.reading().settingsKey, &(lists_.*t.celsius));
      }
      break;
  }
}

skin::TImageTrackBar* MonitorPage::Display(std::string_view name) const {
  const auto found = displays_.find(name);
  return found == displays_.end() ? nullptr : found->second.get();
}

const MonitorPage::ButtonFiles* MonitorPage::FilesOf(std::string_view name) const {
  const auto found = buttonFiles_.find(name);
  return found == buttonFiles_.end() ? nullptr : &found->second;
}

skin::TImageLabel* MonitorPage::Button(std::string_view name) const {
  const auto found = buttons_.find(name);
  return found == buttons_.end() ? nullptr : found->second.get();
}

void MonitorPage::SetPowerRating(std::int32_t rating) {
  readings_.SetPowerRating(rating);
  if (skin::TImageTrackBar* total = Display("WattTotal")) {
    skin::TImageTrackBar::StatusBarGroup bar = total->StatusBar();
    bar.Max = static_cast<float>(rating);
    total->SetStatusBarGroup(bar);
  }
}

void MonitorPage::Write(skin::TImageTrackBar* display, float value, bool negative) {
  if (!display) return;
  display->SetValue(value);
  display->ShowValue(value, negative, false);
  display->SetStatusBarValue(TruncatedBarValue(value));
}

void MonitorPage::WriteVoltage() {
  const ShownValue shown = readings_.Voltage(shownVoltage_);
  Write(Display("Voltage"), shown.magnitude, shown.negative);
}

void MonitorPage::WriteCurrent() {
  Write(Display("Current"), readings_.Current(shownCurrent_));
}

void MonitorPage::WriteTemperatures() {
  const device::ReadingSet& values = readings_.Values();
  for (const TemperatureDisplay& t : kTemperatureDisplays) {
    skin::TImageTrackBar* display = Display(t.name());
    if (!display) continue;
    const float celsius = values.*t.reading().field;
    // Fahrenheit changes the digits only; the bar stays in Celsius.
    const float shown = unit_ == core::TempUnit::kFahrenheit ? ToFahrenheit(celsius) : celsius;
    display->SetValue(shown);
    display->ShowValue(shown, false, false);
    display->SetStatusBarValue(TruncatedBarValue(celsius));
  }
}

void MonitorPage::RefreshMonitorPage() {
  // A window put away in the tray draws nothing; restoring it refreshes the page.
  if (!window_.Visible() || window_.Minimized()) return;
  const device::ReadingSet& values = readings_.Values();
  Write(Display("WattTotal"), values.WattTotal);
  Write(Display("WattPeak"), readings_.WattPeak());
  Write(Display("PSUFan"), values.FanPSU);
  Write(Display("SysFan"), values.FanSystem);
  WriteTemperatures();

  if (skin::TImageTrackBar* voltage = Display("Voltage")) {
    const VoltageWindow window = WindowOf(shownVoltage_);
    skin::TImageTrackBar::StatusBarGroup bar = voltage->StatusBar();
    bar.Min = window.low;
    bar.Max = window.high;
    voltage->SetStatusBarGroup(bar);
  }
  WriteVoltage();

  if (skin::TImageTrackBar* current = Display("Current")) {
    const VoltageWindow window = WindowOf(shownCurrent_);
    skin::TImageTrackBar::StatusBarGroup bar = current->StatusBar();
    bar.Min = window.low;
    bar.Max = window.high;
    current->SetStatusBarGroup(bar);
  }
  WriteCurrent();
  Write(Display("CurrentPeak"), readings_.CurrentPeak(shownCurrent_));

  StartFan(timerPSUFan_, *imgPSUFan_, values.FanPSU);
  StartFan(timerSYSFan_, *imgSYSFan_, values.FanSystem);
}

void MonitorPage::StartFan(FanClock::Fan& timer, const ui::Image& picture, float rpm) {
  // A negative or tiny reading must not give a negative or overflowing interval.
  const double interval = std::trunc(kFanFrameRpmMs / std::fabs(static_cast<double>(rpm)));
  // A stopped fan (no interval at all), a reading that is no number, and one so fast that a
  // frame lasts under a millisecond give no interval: the fan stands still.
  if (!std::isfinite(interval) || interval < 1.0) {
    timer.SetEnabled(false);
    return;
  }
  const double capped = std::min(interval, static_cast<double>(INT32_MAX));
  const std::chrono::milliseconds wanted{static_cast<std::int64_t>(capped)};
  // Setting the same interval again would start the timer over and stall the animation.
  if (timer.Interval() != wanted) timer.SetInterval(wanted);
  // A fan rolled in behind the bar or left on another page does not turn; showing it again
  // starts its timer at this speed.
  timer.SetEnabled(picture.Visible());
}

void MonitorPage::Turn(FanAnimation& fan) {
  fan.frames->Draw(*fan.picture, fan.frame);
  ++fan.frame;
  if (fan.frame >= fan.frames->Count()) fan.frame = 0;
}

void MonitorPage::SetFanTimersEnabled(bool enabled) {
  timerPSUFan_.SetEnabled(enabled);
  timerSYSFan_.SetEnabled(enabled);
}

void MonitorPage::RestoreNormal(const std::string& name) {
  skin::TImageLabel* button = Button(name);
  const auto files = buttonFiles_.find(name);
  if (!button || files == buttonFiles_.end()) return;
  button->LoadLeaveBitmap(files->second.leave);
  button->Repaint();
}

void MonitorPage::ShowPressed(const std::string& name) {
  skin::TImageLabel* button = Button(name);
  const auto files = buttonFiles_.find(name);
  if (!button || files == buttonFiles_.end()) return;
  // The pressed picture becomes the one it rests with.
  button->LoadLeaveBitmap(files->second.click);
  button->Repaint();
}

void MonitorPage::SelectVoltage(VoltageRail rail) {
  RestoreNormal(voltageButton_);
  voltageButton_ = RailOf(rail).voltageField;
  shownVoltage_ = rail;
  ShowPressed(voltageButton_);
  WriteVoltage();
}

void MonitorPage::SelectCurrent(CurrentRail rail) {
  RestoreNormal(currentButton_);
  currentButton_ = RailOf(rail).currentField;
  shownCurrent_ = rail;
  ShowPressed(currentButton_);
  WriteCurrent();
}

void MonitorPage::SetTempUnit(TempUnit unit) {
  RestoreNormal(unitButton_);
  unit_ = unit;
  unitButton_ = unit == core::TempUnit::kCelsius ? "TempC" : "TempF";
  ShowPressed(unitButton_);
  for (const TemperatureDisplay& t : kTemperatureDisplays) {
    if (skin::TImageTrackBar* display = Display(t.name())) {
      display->SetStatusBarImages(unit == core::TempUnit::kCelsius ? lists_.*t.celsius
                                                                   : lists_.*t.fahrenheit);
    }
  }
  WriteTemperatures();
}

void MonitorPage::ClearPeak() {
  readings_.ClearPeaks();
  Write(Display("WattPeak"), 0.0f);
  Write(Display("CurrentPeak"), 0.0f);
}

void MonitorPage::MarkSelections() {
  ShowPressed(voltageButton_);
  ShowPressed(currentButton_);
  ShowPressed(unitButton_);
}

settings::SensorNames MonitorPage::SensorNames() const {
  settings::SensorNames names;
  for (std::size_t i = 0; i < edits_.size(); ++i) names[i] = edits_[i]->Text();
  return names;
}

void MonitorPage::SetSensorNames(const settings::SensorNames& names) {
  for (std::size_t i = 0; i < edits_.size(); ++i) edits_[i]->SetText(names[i]);
}

}  // namespace mainwindow
