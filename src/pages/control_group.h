#pragma once

#include <initializer_list>
#include <vector>

namespace ui {
class Control;
}
namespace skin {
class TImageTrackBar;
}

namespace pages {

// An ordered container of controls that show, hide and move together: a page's own controls,
// a sub-page, an alarm group. Plain members move by their own top; digit/bar displays move with
// their parts (their digits, gauge, marker and status rect) and show and hide with them. The
// roll moves a group a step at a time, hiding each member once it is behind the control bar
// (its bottom edge at or below the bar's top) and showing it once it is clear of it. Nothing is
// owned: the page that fills a group owns its controls and outlives it. UI thread only.
class ControlGroup {
 public:
  // Whether a display's ShowDigit follows its visibility (the monitor page's readings, whose
  // digits must not be redrawn while they are behind the bar).
  enum class Digits { kKept, kFollowVisibility };

  explicit ControlGroup(Digits digits = Digits::kKept) : digits_(digits) {}

  // Null members are skipped.
  void Add(ui::Control* control);
  void Add(skin::TImageTrackBar* display);
  void Add(const std::vector<ui::Control*>& controls);
  void Add(std::initializer_list<ui::Control*> controls);
  void Add(const std::vector<skin::TImageTrackBar*>& displays);

  const std::vector<ui::Control*>& Controls() const { return controls_; }
  const std::vector<skin::TImageTrackBar*>& Displays() const { return displays_; }
  bool Empty() const { return controls_.empty() && displays_.empty(); }

  // Every member at once.
  void Show() { SetShown(true); }
  void Hide() { SetShown(false); }
  void SetShown(bool shown);

  // Every member `dy` down (up when negative); nothing shows or hides.
  void MoveBy(int dy);
  // Each member moves, then hides when it is behind the bar.
  void MoveAndHideBehind(int dy, int barTop);
  // Each member moves, then shows when it is clear of the bar and `allowed`.
  void MoveAndShowClear(int dy, int barTop, bool allowed = true);

  // A control whose bottom edge is exactly at the bar's top is behind it.
  static bool BehindBar(const ui::Control& control, int barTop);

 private:
  void SetDisplayShown(skin::TImageTrackBar& display, bool shown) const;

  Digits digits_;
  std::vector<ui::Control*> controls_;
  std::vector<skin::TImageTrackBar*> displays_;
};

}  // namespace pages
