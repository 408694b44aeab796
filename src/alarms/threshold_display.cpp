#include "alarms/threshold_display.h"

namespace alarms {

void ApplyDisplayLayout(skin::TImageTrackBar& display, const skin::DisplayLayout& layout,
                        const ui::ImageList& digits, const skin::FileResolver& files,
                        ui::Color onColor) {
  display.SBHorz = layout.statusRect.Horizontal;
  display.ShowDigit = layout.ShowDigit;
  display.ShowSBar = layout.ShowStatusBar;
  display.ShowPositionBar = layout.ShowPosBar;
  display.ShowStatusRect = layout.ShowStatusRect;
  if (layout.ShowDigit) {
    const auto& d = layout.digit;
    display.SetupDigits(d.Left, d.Top, d.Count, d.Width, d.Height, d.isFloat, d.DecimalCount,
                        d.isAttr, true);
    display.SetDigitImages(digits);
  }
  if (layout.ShowStatusBar) {
    const auto& s = layout.statusBar;
    display.SetupStatusBar(s.Left, s.Top, s.Min, s.Max, s.Width, s.Height, s.Scale);
  }
  if (layout.ShowPosBar) {
    const auto& p = layout.posBar;
    display.SetPositionBarOrigin(p.Left, p.Top);
    display.LoadMarker(files(p.Path), p.Width, p.Height);
  }
  if (layout.ShowStatusRect) {
    const auto& r = layout.statusRect;
    display.SetupStatusRect(r.Left, r.Top, r.Length, r.Caliper, r.Min, r.Max, onColor);
  }
}

}  // namespace alarms
