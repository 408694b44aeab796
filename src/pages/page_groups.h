#pragma once

#include <array>
#include <vector>

namespace ui {
class Control;
}
namespace skin {
class TImageTrackBar;
}

namespace pages {

// The ordered lists of each page's controls that the roll moves, hides and shows. The page
// builders fill them; nothing here is owned (the window's pages own their controls and
// outlive the roll). Plain members move by their own top; displays move with their parts.
struct PageGroups {
  using Plain = std::vector<ui::Control*>;
  using Displays = std::vector<skin::TImageTrackBar*>;

  // Monitor page.
  Plain MonitorControls;
  Displays MonitorDisplays;
  Plain MonitorExtras;  // shown only while the page is fully out; never moved

  // Configuration page.
  Plain ConfigButtons;  // sub-page tabs, OK, Cancel
  Plain VoltageControls;
  Displays VoltageDisplays;
  Plain FanButtons;
  Plain FanExtras;                      // shown only while the page is fully out; never moved
  ui::Control* CBTempSensor = nullptr;  // handled with FanExtras
  ui::Control* LabelCurve = nullptr;    // handled with FanExtras

  // Alarm page.
  Plain AlarmControls;
  skin::TImageTrackBar* AWattTotal = nullptr;  // the power threshold display
  Plain AlarmVoltageControls;
  Plain AlarmCurrentControls;
  Plain AlarmFanControls;
  Plain AlarmTempControls;
  Displays AlarmVoltageDisplays;
  Displays AlarmCurrentDisplays;
  Displays AlarmFanDisplays;
  Displays AlarmTempDisplays;
  std::array<ui::Control*, 4> EditATempT{};  // EditATempT1 .. EditATempT4, hidden with the page
};

}  // namespace pages
