#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "alarms/alarm_state.h"
#include "platform/ui/application.h"
#include "platform/ui/image.h"
#include "platform/ui/image_list.h"
#include "skin/file_resolver.h"
#include "skin/image_label.h"
#include "skin/image_track_bar.h"

namespace alarms {

// A button the blink swaps pictures on, with the three pictures it uses.
struct BlinkButton {
  skin::TImageLabel* button = nullptr;  // null: not created, skipped
  std::filesystem::path leave;          // LeaveBmp
  std::filesystem::path click;          // ClickBmp
  std::filesystem::path dis;            // DisBmp
  bool selected = false;                // rests with its pressed picture
};

// What the blink draws on besides its own icons: the monitor page's tiles and temperature
// digits, and the control bar's Manager button. Empty functions draw nothing.
struct BlinkTargets {
  // The voltage or current tile of a voltage or current row; `selected` when it is the
  // monitor page's shown tile of its kind.
  std::function<BlinkButton(AlarmRow row)> tile;
  // The temperature display of a temperature row, and its reading in Celsius.
  std::function<skin::TImageTrackBar*(AlarmRow row)> temperature;
  std::function<float(AlarmRow row)> reading;
  // The monitor page shows Fahrenheit.
  std::function<bool()> fahrenheit;
  // The Manager button; `selected` while the monitor page is the current page.
  std::function<BlinkButton()> manager;
  std::filesystem::path managerSelected;      // "Skin\M_Sel.bmp"
  const ui::ImageList* numbers = nullptr;     // ILNumber
  const ui::ImageList* redNumbers = nullptr;  // ILRedNumber
};

// The one-second blink of whatever is in alarm: the three icons over the monitor page, the
// voltage and current tiles, the temperature digits and the Manager button, each indicator
// with its own phase. UI thread only.
class AlarmBlink {
 public:
  // `phases` is where each row's phase is held (the session's); it must outlive this.
  AlarmBlink(ui::Window& window, ui::Application& app, skin::FileResolver files,
             const AlarmStatus& status, std::array<bool, kAlarmRowCount>& phases);
  ~AlarmBlink();
  AlarmBlink(const AlarmBlink&) = delete;
  AlarmBlink& operator=(const AlarmBlink&) = delete;

  void SetTargets(BlinkTargets targets) { targets_ = std::move(targets); }

  ui::Image& ImgAlarmWatt() const { return *icons_[0]; }
  ui::Image& ImgAlarmPSU() const { return *icons_[1]; }
  ui::Image& ImgAlarmSYS() const { return *icons_[2]; }

  // After an evaluation: each icon is visible exactly while its alarm is on.
  void ShowIcons();
  // One tick of TimerAlarm.
  void TimerAlarmTimer();

  // The indicator of a row showed its alarm look on the last tick.
  bool BlinkPhase(AlarmRow row) const { return phases_[static_cast<std::size_t>(row)]; }

 private:
  void BlinkIcon(std::size_t icon, AlarmRow row, const std::filesystem::path& red,
                 bool& redThisTick);
  void BlinkTile(AlarmRow row, bool& redThisTick);

  ui::Application& app_;
  skin::FileResolver files_;
  const AlarmStatus& status_;
  BlinkTargets targets_;
  std::array<std::unique_ptr<ui::Image>, 3> icons_;
  std::array<bool, kAlarmRowCount>& phases_;
  // Red icon files already reported missing in this run.
  std::set<std::filesystem::path> reported_;
};

}  // namespace alarms
