#pragma once

#include <chrono>
#include <cstdint>

#include "pages/page_codes.h"
#include "platform/ui/geometry.h"

// The fixed geometry and timing of the main window's pages, bar and roll.
namespace pages {

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
