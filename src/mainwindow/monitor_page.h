#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/numbers.h"
#include "mainwindow/fan_clock.h"
#include "mainwindow/monitor_image_lists.h"
#include "platform/ui/edit.h"
#include "platform/ui/image.h"
#include "platform/ui/timer.h"
#include "session/monitor_readings.h"
#include "settings/alarm_settings.h"
#include "skin/file_resolver.h"
#include "skin/image_label.h"
#include "skin/image_track_bar.h"
#include "skin/page_records.h"

namespace mainwindow {

using core::TempUnit;

using core::ToFahrenheit;
using session::CurrentRail;
using session::MonitorReadings;
using session::ShownValue;
using session::VoltageRail;
using session::VoltageWindow;
using session::WindowOf;

// The monitor page: the displays and buttons of the skin's Manager groups, the sensor-name
// fields and the fan pictures, and the selections of rail and unit. It draws the session's
// readings and peaks, which it does not own. UI thread only.
class MonitorPage {
 public:
  // Fan frames advance one per 100000 / rpm milliseconds.
  static constexpr double kFanFrameRpmMs = 100000.0;

  MonitorPage(ui::Window& window, skin::FileResolver files, const MonitorImageLists& lists,
              MonitorReadings& readings);
  MonitorPage(const MonitorPage&) = delete;
  MonitorPage& operator=(const MonitorPage&) = delete;
  ~MonitorPage();

  // The builder of one Manager group, run by the skin load right after the group was read.
  void BuildGroup(skin::ManagerGroup group, const skin::PageRecords& records);

  // The session's readings and peaks, which the page draws ("ClearPeak" resets the peaks).
  MonitorReadings& Readings() { return readings_; }
  const MonitorReadings& Readings() const { return readings_; }
  // The rating becomes the full scale of "WattTotal".
  void SetPowerRating(std::int32_t rating);

  // Writes the readings into the displays and sets the fans turning; does nothing while the
  // window is hidden or minimised.
  void RefreshMonitorPage();

  // What the "VolNegAll" and "CurAll" buttons open; set by the main window.
  std::function<void()> OnVolNegAll;
  std::function<void()> OnCurAll;

  // Button actions.
  void SelectVoltage(VoltageRail rail);
  void SelectCurrent(CurrentRail rail);
  void SetTempUnit(TempUnit unit);
  void ClearPeak();
  // Gives the selected rail and unit buttons their pressed picture (after the settings load).
  void MarkSelections();

  // The four external sensors' names as typed in EditT1..EditT4.
  settings::SensorNames SensorNames() const;
  void SetSensorNames(const settings::SensorNames& names);

  // The fan timers, disabled while the window is in the tray.
  void SetFanTimersEnabled(bool enabled);

  VoltageRail ShownVoltage() const { return shownVoltage_; }
  CurrentRail ShownCurrent() const { return shownCurrent_; }
  TempUnit Unit() const { return unit_; }

  // Controls by their names ("WattTotal", "Vol12V1", ...); null when the skin had none.
  skin::TImageTrackBar* Display(std::string_view name) const;
  skin::TImageLabel* Button(std::string_view name) const;
  ui::Edit& EditT(int sensor) const { return *edits_[static_cast<std::size_t>(sensor - 1)]; }
  // The fans' own clocks, and the one timer they ride on.
  const FanClock::Fan& TimerPSUFan() const { return timerPSUFan_; }
  const FanClock::Fan& TimerSYSFan() const { return timerSYSFan_; }
  const ui::Timer& FanTimer() const { return fanClock_.SharedTimer(); }
  ui::Image& ImgPSUFan() const { return *imgPSUFan_; }
  ui::Image& ImgSYSFan() const { return *imgSYSFan_; }

  // The pictures of a button that the alarm blink swaps; null for a button the page has not.
  struct ButtonFiles {
    std::filesystem::path leave;  // LeaveBmp
    std::filesystem::path click;  // ClickBmp
    std::filesystem::path dis;    // DisBmp
  };
  const ButtonFiles* FilesOf(std::string_view name) const;
  // The names of the shown voltage and current tiles ("Vol12V1", "Cur12V1").
  const std::string& ShownVoltageButton() const { return voltageButton_; }
  const std::string& ShownCurrentButton() const { return currentButton_; }

  // The page groups the roll moves: buttons, displays, and the fields and fan pictures.
  const std::vector<ui::Control*>& MonitorControls() const { return monitorControls_; }
  const std::vector<skin::TImageTrackBar*>& MonitorDisplays() const { return monitorDisplays_; }
  const std::vector<ui::Control*>& MonitorExtras() const { return monitorExtras_; }

 private:
  struct FanAnimation {
    ui::Image* picture = nullptr;
    const ui::ImageList* frames = nullptr;
    int frame = 0;
  };

  skin::TImageTrackBar& AddDisplay(std::string name, const skin::PageRecords& records,
                                   std::string_view key, const ui::ImageList* gauges);
  skin::TImageLabel& AddButton(std::string name, const skin::PageRecords& records,
                               std::string_view key, std::function<void()> action);
  // Number as a float, bar from the value truncated toward zero.
  static void Write(skin::TImageTrackBar* display, float value, bool negative = false);
  void WriteVoltage();
  void WriteCurrent();
  void WriteTemperatures();
  static void StartFan(FanClock::Fan& timer, const ui::Image& picture, float rpm);
  static void Turn(FanAnimation& fan);
  void RestoreNormal(const std::string& name);
  void ShowPressed(const std::string& name);
  std::filesystem::path FileOf(const std::vector<std::string>& bitmaps, std::size_t index) const;

  ui::Window& window_;
  skin::FileResolver files_;
  const MonitorImageLists& lists_;
  MonitorReadings& readings_;
  VoltageRail shownVoltage_ = VoltageRail::V12V1;
  CurrentRail shownCurrent_ = CurrentRail::C12V1;
  TempUnit unit_ = core::TempUnit::kCelsius;
  std::string voltageButton_ = "Vol12V1";
  std::string currentButton_ = "Cur12V1";
  std::string unitButton_ = "TempC";

  std::map<std::string, std::unique_ptr<skin::TImageTrackBar>, std::less<>> displays_;
  std::map<std::string, std::unique_ptr<skin::TImageLabel>, std::less<>> buttons_;
  std::map<std::string, ButtonFiles, std::less<>> buttonFiles_;
  std::array<std::unique_ptr<ui::Edit>, 4> edits_;
  std::unique_ptr<ui::Image> imgPSUFan_;
  std::unique_ptr<ui::Image> imgSYSFan_;
  FanAnimation psuFan_;
  FanAnimation sysFan_;
  FanClock fanClock_;
  FanClock::Fan& timerPSUFan_;
  FanClock::Fan& timerSYSFan_;

  std::vector<ui::Control*> monitorControls_;
  std::vector<skin::TImageTrackBar*> monitorDisplays_;
  std::vector<ui::Control*> monitorExtras_;
};

}  // namespace mainwindow
