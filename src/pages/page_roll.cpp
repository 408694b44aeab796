#include "pages/page_roll.h"

#include "pages/control_bar.h"
#include "pages/group_moves.h"
#include "pages/page_groups.h"
#include "pages/page_images.h"
#include "pages/roll_codes.h"
#include "platform/ui/window.h"
#include "skin/image_track_bar.h"

namespace pages {

namespace gm = group_moves;

namespace {

RollState Toggled(RollState state) {
  return state == RollState::kShown ? RollState::kHidden : RollState::kShown;
}

// Of a step's monitor, configuration and alarm variants, the one of `pageCode`'s page.
template <typename Step>
Step ForPage(Page pageCode, Step monitor, Step config, Step alarm) {
  switch (pageCode) {
    case Page::kMonitor:
      return monitor;
    case Page::kConfig:
      return config;
    default:
      return alarm;
  }
}

}  // namespace

PageRoll::PageRoll(ui::Window& window, PageImages& pages, ControlBar& bar, PageGroups& groups,
                   WindowHooks hooks)
    : window_(window),
      pages_(pages),
      bar_(bar),
      groups_(groups),
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

SubPage PageRoll::ConfigSubPage() const {
  return hooks_.ConfigSubPage ? hooks_.ConfigSubPage() : SubPage::kFan;
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
  if (currentPage_ == Page::kMonitor) {
    if (!monitorExtrasShown_) {
      gm::SetVisible(groups_.MonitorExtras, true);
      CallHook(hooks_.StartFanAnimation);
      monitorExtrasShown_ = true;
    }
    CallHook(hooks_.EnableAlarmTimer);
  } else if (currentPage_ == Page::kConfig && ConfigSubPage() == SubPage::kFan) {
    fanExtrasShown_ = true;
    gm::SetVisible(groups_.FanExtras, true);
    if (groups_.CBTempSensor) groups_.CBTempSensor->Show();
    if (groups_.LabelCurve) groups_.LabelCurve->Show();
  }
}

void PageRoll::CompleteAfterTabs() {
  if (currentPage_ == Page::kConfig) {
    CallHook(hooks_.ShowConfigSubPage);
  } else if (currentPage_ == Page::kAlarm) {
    CallHook(hooks_.RefreshAlarmPage);
  }
}

// ---- steps ----

void PageRoll::MovePicture(Page pageCode, int dy) {
  ui::Image& picture = pages_.Image(pageCode);
  picture.SetBounds(
      ui::Rect{picture.Left(), picture.Top() + dy, picture.Width(), picture.Height() - dy});
}

void PageRoll::HideStep(Page pageCode) {
  (this->*ForPage(pageCode, &PageRoll::HideMonitorStep, &PageRoll::HideConfigStep,
                  &PageRoll::HideAlarmStep))();
  bar_.ImgCtrl().Invalidate();
}

void PageRoll::ShowStep(Page pageCode) {
  (this->*ForPage(pageCode, &PageRoll::ShowMonitorStep, &PageRoll::ShowConfigStep,
                  &PageRoll::ShowAlarmStep))();
  bar_.ImgCtrl().Invalidate();
}

void PageRoll::MoveOtherPagesGroups(int dy) {
  gm::Move(groups_.ConfigButtons, dy);
  gm::Move(groups_.VoltageControls, dy);
  gm::Move(groups_.VoltageDisplays, dy);
  gm::Move(groups_.FanButtons, dy);
  gm::Move(groups_.AlarmControls, dy);
  gm::Move(groups_.AWattTotal, dy);
  for (const auto* plain : {&groups_.AlarmVoltageControls, &groups_.AlarmCurrentControls,
                            &groups_.AlarmFanControls, &groups_.AlarmTempControls}) {
    gm::Move(*plain, dy);
  }
  for (const auto* displays : {&groups_.AlarmVoltageDisplays, &groups_.AlarmCurrentDisplays,
                               &groups_.AlarmFanDisplays, &groups_.AlarmTempDisplays}) {
    gm::Move(*displays, dy);
  }
}

void PageRoll::HideMonitorStep() {
  if (monitorExtrasShown_) {
    gm::SetVisible(groups_.MonitorExtras, false);
    CallHook(hooks_.StopFanAnimation);
    monitorExtrasShown_ = false;
  }
  MovePicture(Page::kMonitor, kRollStep);
  const int barTop = bar_.Top();
  gm::MoveAndHideBehind(groups_.MonitorControls, kRollStep, barTop);
  for (skin::TImageTrackBar* d : groups_.MonitorDisplays) {
    if (!d) continue;
    gm::Move(d, kRollStep);
    if (gm::BehindBar(*d, barTop)) {
      d->ShowDigit = false;
      d->SetPartsVisible(false);
    }
  }
  MoveOtherPagesGroups(kRollStep);
}

void PageRoll::ShowMonitorStep() {
  MovePicture(Page::kMonitor, -kRollStep);
  const int barTop = bar_.Top();
  gm::MoveAndShowClear(groups_.MonitorControls, -kRollStep, barTop);
  for (skin::TImageTrackBar* d : groups_.MonitorDisplays) {
    if (!d) continue;
    gm::Move(d, -kRollStep);
    if (!gm::BehindBar(*d, barTop)) {
      d->ShowDigit = true;
      d->SetPartsVisible(true);
    }
  }
  MoveOtherPagesGroups(-kRollStep);
}

void PageRoll::HideConfigStep() {
  if (fanExtrasShown_) {
    gm::SetVisible(groups_.FanExtras, false);
    if (groups_.CBTempSensor) groups_.CBTempSensor->Hide();
    if (groups_.LabelCurve) groups_.LabelCurve->Hide();
    fanExtrasShown_ = false;
  }
  MovePicture(Page::kConfig, kRollStep);
  const int barTop = bar_.Top();
  gm::MoveAndHideBehind(groups_.VoltageControls, kRollStep, barTop);
  for (skin::TImageTrackBar* d : groups_.VoltageDisplays) {
    if (!d) continue;
    gm::Move(d, kRollStep);
    d->SetPartsVisible(false);
  }
  gm::MoveAndHideBehind(groups_.ConfigButtons, kRollStep, barTop);
  gm::MoveAndHideBehind(groups_.FanButtons, kRollStep, barTop);
}

void PageRoll::ShowConfigStep() {
  MovePicture(Page::kConfig, -kRollStep);
  const int barTop = bar_.Top();
  const SubPage subPage = ConfigSubPage();
  const bool voltage = subPage == SubPage::kVoltage;
  gm::MoveAndShowClear(groups_.VoltageControls, -kRollStep, barTop, voltage);
  for (skin::TImageTrackBar* d : groups_.VoltageDisplays) {
    if (!d) continue;
    gm::Move(d, -kRollStep);
    if (voltage && !gm::BehindBar(*d, barTop)) d->SetPartsVisible(true);
  }
  gm::MoveAndShowClear(groups_.ConfigButtons, -kRollStep, barTop);
  gm::MoveAndShowClear(groups_.FanButtons, -kRollStep, barTop, subPage == SubPage::kFan);
}

void PageRoll::HideAlarmStep() {
  MovePicture(Page::kAlarm, kRollStep);
  const int barTop = bar_.Top();
  gm::MoveAndHideBehind(groups_.AlarmControls, kRollStep, barTop);
  if (groups_.AWattTotal) {
    gm::Move(groups_.AWattTotal, kRollStep);
    if (gm::BehindBar(*groups_.AWattTotal, barTop)) groups_.AWattTotal->SetPartsVisible(false);
  }
  for (const auto* plain : {&groups_.AlarmVoltageControls, &groups_.AlarmCurrentControls,
                            &groups_.AlarmFanControls, &groups_.AlarmTempControls}) {
    gm::MoveAndHideBehind(*plain, kRollStep, barTop);
  }
  for (const auto* displays : {&groups_.AlarmVoltageDisplays, &groups_.AlarmCurrentDisplays,
                               &groups_.AlarmFanDisplays, &groups_.AlarmTempDisplays}) {
    gm::MoveAndHideBehind(*displays, kRollStep, barTop);
  }
  for (ui::Control* edit : groups_.EditATempT) {
    if (edit) edit->Hide();
  }
}

void PageRoll::ShowAlarmStep() {
  MovePicture(Page::kAlarm, -kRollStep);
  gm::MoveAndShowClear(groups_.AlarmControls, -kRollStep, bar_.Top());
  gm::Move(groups_.AWattTotal, -kRollStep);
  for (const auto* plain : {&groups_.AlarmVoltageControls, &groups_.AlarmCurrentControls,
                            &groups_.AlarmFanControls, &groups_.AlarmTempControls}) {
    gm::Move(*plain, -kRollStep);
  }
  for (const auto* displays : {&groups_.AlarmVoltageDisplays, &groups_.AlarmCurrentDisplays,
                               &groups_.AlarmFanDisplays, &groups_.AlarmTempDisplays}) {
    gm::Move(*displays, -kRollStep);
  }
}

}  // namespace pages
