#pragma once

#include <cstddef>
#include <cstdint>

// The codes of the main window's pages, sub-pages, roll and fan selector.
namespace pages {

// Which page is shown or being brought in.
enum class Page : std::int32_t { kMonitor = 100, kConfig = 101, kAlarm = 102 };

inline constexpr Page kPages[] = {Page::kMonitor, Page::kConfig, Page::kAlarm};

// The place of a page in kPages (monitor 0, configuration 1, alarm 2).
constexpr std::size_t PageIndex(Page page) {
  return static_cast<std::size_t>(static_cast<std::int32_t>(page) -
                                  static_cast<std::int32_t>(Page::kMonitor));
}

// What the roll must bring in first: one of the pages (it must roll in), nothing, or the
// window must be expanded. The page values are the pages' own codes.
enum class RollCode : std::int32_t {
  kMonitor = static_cast<std::int32_t>(Page::kMonitor),
  kConfig = static_cast<std::int32_t>(Page::kConfig),
  kAlarm = static_cast<std::int32_t>(Page::kAlarm),
  kNothing = 103,
  kExpand = 104,
};

constexpr RollCode RollCodeOf(Page page) {
  return static_cast<RollCode>(page);
}
constexpr bool IsPage(RollCode code) {
  return code == RollCode::kMonitor || code == RollCode::kConfig || code == RollCode::kAlarm;
}
// The page of a roll code that IsPage.
constexpr Page PageOf(RollCode code) {
  return static_cast<Page>(code);
}

// The state of a page and of the window's bar share one pair of numbers: a page fully out
// and an expanded window are both 801, a page behind the bar and a collapsed window 802.
// kExpanded and kCollapsed are aliases, so a bar state and a page state compare as they did.
enum class RollState : std::int32_t {
  kShown = 801,   // page fully out
  kHidden = 802,  // page fully behind the bar
  kExpanded = kShown,
  kCollapsed = kHidden,
};

// The configuration page's sub-pages.
enum class SubPage : std::int32_t { kFan = 401, kVoltage = 402 };

// Which fan the fan-speed sub-page sets.
enum class FanSelector : std::int32_t { kPsu = 501, kSystem = 502 };

}  // namespace pages
