#include "pages/page_roll.h"

#include "pages/control_bar.h"
#include "pages/page_images.h"
#include "pages/roll_codes.h"
#include "pages/rolled_page.h"
#include "platform/ui/window.h"

namespace pages {
namespace {

RollState Toggled(RollState state) {
  return state == RollState::kShown ? RollState::kHidden : RollState::kShown;
}

}  // namespace

PageRoll::PageRoll(ui::Window& window, PageImages& pages, ControlBar& bar, WindowHooks hooks)
    : window_(window),
      pages_(pages),
      bar_(bar),
      hooks_(std::move(hooks)),
      timerDown_(window.App()),
      currentPage_(Page::kMonitor),
      pageStates_{RollState::kShown, RollState::kHidden, RollState::kHidden},
      rollCode_(RollCode::kMonitor),
      barState_(RollState::kExpanded),
      // The amount by which the window shrinks on collapse, taken as the bar is laid out.
      windowPageHeight_(pages.FullHeight(Page::kMonitor)) {
  timerDown_.SetInterval(kTimerDownInterval);
  timerDown_.OnTimer = [this](ui::Timer&) { TimerDownTimer(); };
  bar_.OnSelectPage = [this](Page page) { SelectPage(page); };
  bar_.OnToggleCollapse = [this] { ToggleCollapse(); };
  bar_.SetTabBitmaps(currentPage_);
}

PageRoll::~PageRoll() {
  bar_.OnSelectPage = nullptr;
  bar_.OnToggleCollapse = nullptr;
}

RollState PageRoll::PageState(Page pageCode) const {
  return pageStates_[PageIndex(pageCode)];
}

RollState& PageRoll::StateOf(Page pageCode) {
  return pageStates_[PageIndex(pageCode)];
}

bool PageRoll::FullyIn(Page pageCode) const {
  return pages_.Image(pageCode).Top() >= bar_.Top();
}

bool PageRoll::FullyOut(Page pageCode) const {
  return pages_.Image(pageCode).Height() >= pages_.FullHeight(pageCode);
}

void PageRoll::Register(Page pageCode, RolledPage& page) {
  if (PageIndex(pageCode) < rolled_.size()) rolled_[PageIndex(pageCode)] = &page;
}

bool PageRoll::MonitorExtrasShown() const {
  const RolledPage* page = Registered(Page::kMonitor);
  return page && page->ExtrasShown();
}

bool PageRoll::FanExtrasShown() const {
  const RolledPage* page = Registered(Page::kConfig);
  return page && page->ExtrasShown();
}

void PageRoll::SelectPage(Page pageCode) {
  if (PageIndex(pageCode) >= std::size(kPages) || timerDown_.Enabled()) return;
  if (rollCode_ == RollCode::kNothing) {
    rollCode_ = RollCode::kExpand;
    StateOf(pageCode) = RollState::kHidden;
  } else {
    rollCode_ = RollCodeOf(currentPage_);
    StateOf(currentPage_) = Toggled(StateOf(currentPage_));
  }
  bar_.SetTabsVisible(false);
  if (barState_ == RollState::kCollapsed) {
    barState_ = RollState::kExpanded;
    bar_.ShowBarState(barState_);
  }
  currentPage_ = pageCode;
  StateOf(currentPage_) = Toggled(StateOf(currentPage_));
  timerDown_.SetEnabled(true);
}

void PageRoll::ToggleCollapse() {
  if (timerDown_.Enabled()) return;
  bar_.ImgCtrlMode().SetEnabled(false);
  if (barState_ == RollState::kExpanded) {
    barState_ = RollState::kCollapsed;
    bar_.ShowBarState(barState_);
    StateOf(currentPage_) = RollState::kHidden;
    rollCode_ = RollCode::kNothing;
  } else {
    barState_ = RollState::kExpanded;
    CallHook(hooks_.EnableAlarmTimer);
    bar_.ShowBarState(barState_);
    StateOf(currentPage_) = RollState::kShown;
    rollCode_ = RollCode::kExpand;
  }
  bar_.SetTabsEnabled(false);
  timerDown_.SetEnabled(true);
}

void PageRoll::TimerDownTimer() {
  // Phase A: first roll in the page that was on display, or expand the window.
  if (IsPage(rollCode_)) {
    const Page page = PageOf(rollCode_);
    if (StateOf(page) == RollState::kHidden) {
      if (!FullyIn(page)) {
        HideStep(page);
        return;
      }
      StateOf(page) = RollState::kHidden;
    } else if (!FullyOut(page)) {
      ShowStep(page);
      return;
    }
  } else if (rollCode_ == RollCode::kExpand) {
    Expand();
  }

  // Phase B: bring the current page out, or roll it in and collapse.
  if (StateOf(currentPage_) == RollState::kHidden) {
    if (!FullyIn(currentPage_)) {
      HideStep(currentPage_);
      return;
    }
    FinishCollapse();
  } else {
    if (!FullyOut(currentPage_)) {
      ShowStep(currentPage_);
      return;
    }
    FinishShow();
  }
}

void PageRoll::Expand() {
  const ui::Size client = window_.ClientSize();
  window_.SetClientSize(ui::Size{client.width, windowPageHeight_ + bar_.Height()});
  const ui::Point at = window_.Position();
  window_.SetPosition(ui::Point{at.x, at.y - windowPageHeight_});
  bar_.PlaceAt(windowPageHeight_);
  rollCode_ = RollCode::kNothing;
}

void PageRoll::FinishCollapse() {
  timerDown_.SetEnabled(false);
  bar_.SetTabsVisible(true);
  bar_.SetTabBitmaps(currentPage_);
  const ui::Point at = window_.Position();
  window_.SetPosition(ui::Point{at.x, at.y + windowPageHeight_});
  bar_.PlaceAt(0);
  window_.SetClientSize(ui::Size{window_.ClientWidth(), bar_.Height()});
  bar_.ImgCtrlMode().SetEnabled(true);
  bar_.SetTabsEnabled(true);
}

void PageRoll::FinishShow() {
  timerDown_.SetEnabled(false);
  CompleteBeforeTabs();
  bar_.SetTabsVisible(true);
  bar_.SetTabBitmaps(currentPage_);
  CompleteAfterTabs();
  if (rollCode_ == RollCode::kNothing) rollCode_ = RollCodeOf(currentPage_);
  bar_.ImgCtrlMode().SetEnabled(true);
  bar_.SetTabsEnabled(true);
}

void PageRoll::CompleteBeforeTabs() {
  if (RolledPage* page = Registered(currentPage_)) page->CompleteBeforeTabs();
}

void PageRoll::CompleteAfterTabs() {
  if (RolledPage* page = Registered(currentPage_)) page->CompleteAfterTabs();
}

// ---- steps ----

void PageRoll::MovePicture(Page pageCode, int dy) {
  ui::Image& picture = pages_.Image(pageCode);
  picture.SetBounds(
      ui::Rect{picture.Left(), picture.Top() + dy, picture.Width(), picture.Height() - dy});
}

void PageRoll::CarryOthers(Page pageCode, int dy) {
  // While the monitor page is out every page's controls sit at their design places; while
  // another page is out the rest sit one full roll below theirs. So the monitor page's steps
  // move the others' containers too, and theirs move only their own.
  if (pageCode != Page::kMonitor) return;
  for (const Page other : kPages) {
    if (other == pageCode) continue;
    if (RolledPage* page = Registered(other)) page->Carry(dy);
  }
}

void PageRoll::HideStep(Page pageCode) {
  MovePicture(pageCode, kRollStep);
  if (RolledPage* page = Registered(pageCode)) page->HideStep(kRollStep, bar_.Top());
  CarryOthers(pageCode, kRollStep);
  bar_.ImgCtrl().Invalidate();
}

void PageRoll::ShowStep(Page pageCode) {
  MovePicture(pageCode, -kRollStep);
  if (RolledPage* page = Registered(pageCode)) page->ShowStep(-kRollStep, bar_.Top());
  CarryOthers(pageCode, -kRollStep);
  bar_.ImgCtrl().Invalidate();
}

}  // namespace pages
