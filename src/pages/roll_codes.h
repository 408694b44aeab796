#pragma once

#include <chrono>
#include <cstdint>

#include "platform/ui/geometry.h"

// The main window's page, roll and bar codes and the fixed geometry of its pages and bar.
namespace pages {

// PageCode: which page is shown or being brought in.
inline constexpr std::int32_t kMonitorPage = 100;
inline constexpr std::int32_t kConfigPage = 101;
inline constexpr std::int32_t kAlarmPage = 102;

// RollCode besides the three page codes (that page must first roll in).
inline constexpr std::int32_t kRollNothing = 103;  // nothing to roll in
inline constexpr std::int32_t kRollExpand = 104;   // the window must first be expanded

// PageState of a page and BarState of the window share one pair of codes.
inline constexpr std::int32_t kShown = 801;   // page fully out / window expanded
inline constexpr std::int32_t kHidden = 802;  // page fully behind the bar / window collapsed
inline constexpr std::int32_t kExpanded = kShown;
inline constexpr std::int32_t kCollapsed = kHidden;

// Configuration sub-pages; the roll only reads which one is selected.
inline constexpr std::int32_t kFanSubPage = 401;
inline constexpr std::int32_t kVoltageSubPage = 402;

// One tick of TimerDown moves a page by RollStep.
inline constexpr std::int32_t kRollStep = 50;
inline constexpr std::chrono::milliseconds kTimerDownInterval{100};

// Design places in window client pixels.
inline constexpr ui::Size kClientArea{630, 659};
inline constexpr ui::Rect kImgManagerPlace{0, 0, 628, 597};
inline constexpr ui::Rect kImgConfigPlace{0, 1, 628, 596};
inline constexpr ui::Rect kImgAlarmPlace{0, 2, 628, 596};
inline constexpr ui::Rect kImgCtrlPlace{0, 597, 628, 53};
inline constexpr ui::Rect kImgCtrlModePlace{312, 599, 9, 9};

// The LED switch, in bar pixels, bounds inclusive: 424 <= x <= 605, 12 <= y <= 34.
inline constexpr int kLedAreaLeft = 424;
inline constexpr int kLedAreaRight = 605;
inline constexpr int kLedAreaTop = 12;
inline constexpr int kLedAreaBottom = 34;

inline constexpr bool InLedArea(ui::Point barPos) {
  return barPos.x >= kLedAreaLeft && barPos.x <= kLedAreaRight && barPos.y >= kLedAreaTop &&
         barPos.y <= kLedAreaBottom;
}

}  // namespace pages
