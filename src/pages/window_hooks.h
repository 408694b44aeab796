#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "pages/page_codes.h"

namespace pages {

// What the control bar, the roll and the monitor page's container ask of the main window. An
// empty routine does nothing.
struct WindowHooks {
  // Stop TimerPSUFan and TimerSYSFan and hide ImgPSUFan and ImgSYSFan.
  std::function<void()> StopFanAnimation;
  // Start TimerPSUFan and TimerSYSFan and show ImgPSUFan and ImgSYSFan.
  std::function<void()> StartFanAnimation;
  // Enable the alarm blink timer TimerAlarm.
  std::function<void()> EnableAlarmTimer;
  // Hand the worker the LED command (it ignores it while the device is not ready); returns
  // whether the worker accepted it.
  std::function<bool(bool on)> RequestLed;
  // The close button: save the sensor names, then close the window.
  std::function<void()> CloseWindow;
  // The minimise button: minimise to the notification area.
  std::function<void()> MinimizeToTray;
};

// Calls a hook when it is set.
template <typename Hook, typename... Args>
void CallHook(const Hook& hook, Args&&... args) {
  if (hook) hook(std::forward<Args>(args)...);
}

}  // namespace pages
