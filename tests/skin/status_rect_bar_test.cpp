#include "skin/status_rect_bar.h"

#include <gtest/gtest.h>

namespace skin {
namespace {

// A bar 100 pixels long and 8 thick at (10, 20) over 0 .. 50: each pixel is 0.5.
constexpr StatusRectGroup kBar{10, 20, 8, 100, 0.0f, 50.0f};

TEST(StatusBand, BothEndsOfTheRangeWithAndWithoutTheLowerAlarm) {
  struct Case {
    float value;
    bool belowRangeAlarms;
    ui::Rect rect;
    bool overRange;
  };
  const Case cases[] = {
      {25.0f, false, {10, 70, 8, 50}, false},    // half way: the lower half
      {50.0f, false, {10, 20, 8, 100}, false},   // at Max: full, still in range
      {50.5f, false, {10, 20, 8, 100}, true},    // one pixel past Max: full and red
      {0.0f, true, {10, 120, 8, 0}, false},      // at Min: empty, in range
      {-0.5f, true, {10, 120, 8, 0}, true},      // one pixel below Min: empty and red
      {-10.0f, false, {10, 100, 8, 20}, false},  // below Min without the alarm: its distance
  };
  for (const Case& c : cases) {
    const StatusBand band = BandOf(kBar, StatusRectMode{false, false, c.belowRangeAlarms}, c.value);
    EXPECT_TRUE(band.rect == c.rect)
        << c.value << " gives " << band.rect.left << "," << band.rect.top << " " << band.rect.width
        << "x" << band.rect.height;
    EXPECT_EQ(band.overRange, c.overRange) << c.value;
  }
  // Lying down, the same value grows to the right from the left end.
  const StatusBand lying = BandOf(kBar, StatusRectMode{true, false, false}, 25.0f);
  EXPECT_TRUE(lying.rect == (ui::Rect{10, 20, 50, 8}));
}

}  // namespace
}  // namespace skin
