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
struct PageGroups;

// The page roll: the shown page rolls down behind the control bar and the chosen one rolls up
// out of it, RollStep pixels per TimerDown tick, moving, hiding and showing the page groups
// with it; the window collapses to the bar and expands again. Wires the bar's tabs and arrow
// to SelectPage and ToggleCollapse. UI thread only; every object given must outlive it.
class PageRoll {
 public:
  PageRoll(ui::Window& window, PageImages& pages, ControlBar& bar, PageGroups& groups,
           WindowHooks hooks);
  ~PageRoll();
  PageRoll(const PageRoll&) = delete;
  PageRoll& operator=(const PageRoll&) = delete;

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
  bool MonitorExtrasShown() const { return monitorExtrasShown_; }
  bool FanExtrasShown() const { return fanExtrasShown_; }
  // The fan sub-page showed or hid its extras itself (a sub-page tab, a refresh).
  void SetFanExtrasShown(bool shown) { fanExtrasShown_ = shown; }
  int WindowPageHeight() const { return windowPageHeight_; }
  const ui::Timer& TimerDown() const { return timerDown_; }

 private:
  RollState& StateOf(Page pageCode);
  bool FullyIn(Page pageCode) const;
  bool FullyOut(Page pageCode) const;
  SubPage ConfigSubPage() const;

  void HideStep(Page pageCode);
  void ShowStep(Page pageCode);
  void MovePicture(Page pageCode, int dy);
  void HideMonitorStep();
  void HideConfigStep();
  void HideAlarmStep();
  void ShowMonitorStep();
  void ShowConfigStep();
  void ShowAlarmStep();
  // Moves the configuration and alarm groups along with the monitor page.
  void MoveOtherPagesGroups(int dy);

  void Expand();
  void FinishCollapse();
  void FinishShow();
  void CompleteBeforeTabs();
  void CompleteAfterTabs();

  ui::Window& window_;
  PageImages& pages_;
  ControlBar& bar_;
  PageGroups& groups_;
  WindowHooks hooks_;
  ui::Timer timerDown_;

  Page currentPage_;
  std::array<RollState, 3> pageStates_;
  pages::RollCode rollCode_;
  RollState barState_;
  bool monitorExtrasShown_ = true;
  bool fanExtrasShown_ = false;
  int windowPageHeight_;
};

}  // namespace pages
