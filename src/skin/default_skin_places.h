#pragma once

#include "platform/ui/geometry.h"

// Where the default skin's pictures expect the windows' own components (those that are not
// placed by a skin record), in client pixels of their window. Places the system fixes are
// marked so; the others are the default skin's choice and have to move with its pictures.
namespace skin::places {

struct Place {
  int Left, Top, Width, Height;
};

// The rectangle a control is made with; found by argument-dependent lookup as RectOf(kX).
constexpr ui::Rect RectOf(const Place& place) {
  return ui::Rect{place.Left, place.Top, place.Width, place.Height};
}

// Main window.
inline constexpr Place kClientArea{0, 0, 630, 659};      // fixed
inline constexpr Place kImgManager{0, 0, 628, 597};      // fixed
inline constexpr Place kImgConfig{0, 1, 628, 596};       // fixed
inline constexpr Place kImgAlarm{0, 2, 628, 596};        // fixed
inline constexpr Place kImgCtrl{0, 597, 628, 53};        // fixed
inline constexpr Place kImgCtrlMode{312, 599, 9, 9};     // fixed
inline constexpr Place kLedArea{424, 12, 182, 23};       // fixed, in bar pixels
inline constexpr Place kImgAlarmWatt{107, 109, 25, 25};  // fixed
inline constexpr Place kImgAlarmPSU{130, 381, 21, 21};   // fixed
inline constexpr Place kImgAlarmSYS{341, 381, 21, 21};   // fixed
inline constexpr Place kImgPSUFan{40, 380, 72, 73};      // skin's choice
inline constexpr Place kImgSYSFan{251, 380, 72, 73};     // skin's choice
inline constexpr Place kEditT[4] = {{316, 495, 51, 12},  // fixed
                                    {485, 495, 51, 12},
                                    {316, 521, 51, 12},
                                    {485, 521, 51, 12}};
inline constexpr Place kLabelCurve{390, 406, 158, 90};     // fixed
inline constexpr Place kCBTempSensor{470, 124, 138, 22};   // skin's choice
inline constexpr Place kEditStartVol{520, 168, 60, 20};    // skin's choice
inline constexpr Place kEditRisingTemp{520, 208, 60, 20};  // skin's choice
// Names of T1 to T4 on the alarm page's temperature group.
inline constexpr Place kEditATempT[4] = {{156, 478, 80, 14},  // skin's choice
                                         {274, 478, 80, 14},
                                         {391, 478, 80, 14},
                                         {509, 478, 80, 14}};

// Detail windows.
inline constexpr Place kVoltageWindowClient{194, 0, 627, 641};    // fixed: position and size
inline constexpr Place kCurrentWindowClient{195, 152, 627, 648};  // fixed: position and size
inline constexpr Place kImgBK{0, 0, 628, 650};                    // fixed

}  // namespace skin::places
