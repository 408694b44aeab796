#pragma once

#include <array>
#include <cstdint>

#include "pages/page_codes.h"
#include "pages/window_hooks.h"
#include "platform/ui/timer.h"

namespace ui {
class Window;
}

namespace pages {

class ControlBar;
class PageImages;
class RolledPage;

// The page roll: the shown page rolls down behind the control bar and the chosen one rolls up
// out of it, RollStep pixels per TimerDown tick, each page's picture moved here and its
// container of controls asked to follow; the window collapses to the bar and expands again.
// Wires the bar's tabs and arrow to SelectPage and ToggleCollapse. UI thread only; every
// object given or registered must outlive it.
class PageRoll {
 public:
  PageRoll(ui::Window& window, PageImages& pages, ControlBar& bar, WindowHooks hooks);
  ~PageRoll();
  PageRoll(const PageRoll&) = delete;
  PageRoll& operator=(const PageRoll&) = delete;

  // The container of a page's controls; a page none is registered for rolls its picture only.
  void Register(Page pageCode, RolledPage& page);

  // The tabs' click action. Ignored for a value that is none of the pages and while a roll
  // runs.
  void SelectPage(Page pageCode);
  // The arrow's click action. Ignored while a roll runs: a collapse begun in the middle of a
  // page switch would leave the old page stuck half out.
  void ToggleCollapse();
  // One tick of TimerDown.
  void TimerDownTimer();

  Page CurrentPage() const { return currentPage_; }
  RollState PageState(Page pageCode) const;
  pages::RollCode RollCode() const { return rollCode_; }
  RollState BarState() const { return barState_; }
  // Whether the extras of the monitor page and of the configuration page's fan sub-page are up.
  bool MonitorExtrasShown() const;
  bool FanExtrasShown() const;
  int WindowPageHeight() const { return windowPageHeight_; }
  const ui::Timer& TimerDown() const { return timerDown_; }

 private:
  RollState& StateOf(Page pageCode);
  bool FullyIn(Page pageCode) const;
  bool FullyOut(Page pageCode) const;
  RolledPage* Registered(Page pageCode) const { return rolled_[PageIndex(pageCode)]; }

  void HideStep(Page pageCode);
  void ShowStep(Page pageCode);
  void MovePicture(Page pageCode, int dy);
  // The monitor page carries the other pages' containers along.
  void CarryOthers(Page pageCode, int dy);

  void Expand();
  void FinishCollapse();
  void FinishShow();
  void CompleteBeforeTabs();
  void CompleteAfterTabs();

  ui::Window& window_;
  PageImages& pages_;
  ControlBar& bar_;
  std::array<RolledPage*, std::size(kPages)> rolled_{};
  WindowHooks hooks_;
  ui::Timer timerDown_;

  Page currentPage_;
  std::array<RollState, 3> pageStates_;
  pages::RollCode rollCode_;
  RollState barState_;
  int windowPageHeight_;
};

}  // namespace pages
