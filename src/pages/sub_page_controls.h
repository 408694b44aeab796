#pragma once

#include "pages/control_group.h"

namespace pages {

// A configuration sub-page as a container: the controls and displays that roll with the page,
// and the extras (edits, lists, drawing areas) that show only while the page is fully out and
// never move. Nothing is owned. UI thread only.
class SubPageControls {
 public:
  ControlGroup& Controls() { return controls_; }
  ControlGroup& Displays() { return displays_; }
  ControlGroup& Extras() { return extras_; }
  const ControlGroup& Extras() const { return extras_; }

  // Every control of the sub-page at once.
  void Show() { SetShown(true); }
  void Hide() { SetShown(false); }
  void SetShown(bool shown);

  // A hide step: the controls hide once behind the bar, the displays at once (a display half
  // behind the bar would leave its digits drawn over it).
  void HideStep(int dy, int barTop);
  // A show step: members clear of the bar show while the sub-page is `selected`.
  void ShowStep(int dy, int barTop, bool selected);
  void Carry(int dy);

 private:
  ControlGroup controls_;
  ControlGroup displays_;
  ControlGroup extras_;
};

}  // namespace pages
