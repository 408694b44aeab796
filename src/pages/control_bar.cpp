#include "pages/control_bar.h"

#include <stdexcept>
#include <string>

#include "pages/roll_codes.h"
#include "pages/window_drag.h"
#include "platform/ui/window.h"

namespace pages {

namespace {

constexpr const char* kBarLedOn = "Skin\\Ctrl_LED_ON.bmp";
constexpr const char* kBarLedOff = "Skin\\Ctrl_BK.bmp";
constexpr const char* kBarLedOver = "Skin\\Ctrl_LED_over.bmp";
constexpr const char* kArrowDown = "Skin\\down.bmp";
constexpr const char* kArrowUp = "Skin\\up.bmp";
constexpr const char* kSelectedTab[3] = {"Skin\\M_Sel.bmp", "Skin\\C_Sel.bmp", "Skin\\A_Sel.bmp"};

// Close and minimise picture sets by prefix: "" plain, "LED_", "LED_over_".
constexpr const char* kCloseGlyph = "x_";
constexpr const char* kMinimumGlyph = "-_";
constexpr const char* kStates[4] = {"up", "over", "down", "dis"};  // normal, hover, pressed, dis

std::size_t TabIndex(Page pageCode) {
  const std::size_t index = PageIndex(pageCode);
  if (index >= std::size(kPages)) {
    throw std::out_of_range("control bar: no tab for page " +
                            std::to_string(static_cast<std::int32_t>(pageCode)));
  }
  return index;
}

std::array<std::string, 4> RecordSet(const skin::ButtonRecord& record) {
  std::array<std::string, 4> set;
  for (std::size_t i = 0; i < set.size() && i < record.bitmaps.size(); ++i) {
    set[i] = record.bitmaps[i];
  }
  return set;
}

}  // namespace

ControlBar::ControlBar(ui::Window& window, const CtrlButtons& records, skin::FileResolver files,
                       WindowDrag& drag, WindowHooks hooks)
    : records_(records), paths_(files), drag_(drag), hooks_(std::move(hooks)) {
  imgCtrl_ = std::make_unique<ui::Image>(window, kImgCtrlPlace);
  imgCtrl_->LoadPicture(paths_.Resolve(kBarLedOn));
  imgCtrl_->OnMouseDown = [this](ui::Control&, const ui::MouseEvent& e) { ImgCtrlMouseDown(e); };
  imgCtrl_->OnMouseMove = [this](ui::Control&, const ui::MouseEvent& e) { ImgCtrlMouseMove(e); };
  imgCtrl_->OnMouseUp = [this](ui::Control&, const ui::MouseEvent& e) { ImgCtrlMouseUp(e); };

  const skin::ButtonRecord* tabRecords[3] = {&records_.Manager, &records_.Config, &records_.Alarm};
  for (std::size_t i = 0; i < std::size(kPages); ++i) {
    const Page page = kPages[i];
    tabs_[i] = skin::BuildImageLabel(window, tabRecords[i]->rect, tabRecords[i]->bitmaps, files,
                                     [this, page](skin::TImageLabel&) {
                                       if (OnSelectPage) OnSelectPage(page);
                                     });
  }
  minimum_ = skin::BuildImageLabel(window, records_.Minimum.rect, records_.Minimum.bitmaps, files,
                                   [this](skin::TImageLabel&) { CallHook(hooks_.MinimizeToTray); });
  close_ = skin::BuildImageLabel(window, records_.Close.rect, records_.Close.bitmaps, files,
                                 [this](skin::TImageLabel&) { CallHook(hooks_.CloseWindow); });

  imgCtrlMode_ = std::make_unique<ui::Image>(window, kImgCtrlModePlace);
  imgCtrlMode_->SetTransparent(true);
  imgCtrlMode_->LoadPicture(paths_.Resolve(kArrowDown));
  imgCtrlMode_->SetCursor(ui::Cursor::Hand);
  // A click: a left press and a release over the arrow.
  imgCtrlMode_->OnMouseDown = [this](ui::Control&, const ui::MouseEvent& e) {
    arrowPressed_ = e.button == ui::MouseButton::Left;
  };
  imgCtrlMode_->OnMouseUp = [this](ui::Control& arrow, const ui::MouseEvent& e) {
    const bool click =
        arrowPressed_ && e.button == ui::MouseButton::Left && arrow.Bounds().Contains(e.windowPos);
    arrowPressed_ = false;
    if (click && OnToggleCollapse) OnToggleCollapse();
  };

  // Offsets from the bar, taken now that everything is laid out.
  const int top = Top();
  for (int i = 0; i < 3; ++i) offsets_.tabs[i] = tabs_[i]->Top() - top;
  offsets_.arrow = imgCtrlMode_->Top() - top;
  offsets_.close = close_->Top() - top;
  offsets_.minimum = minimum_->Top() - top;
}

ControlBar::~ControlBar() = default;

skin::TImageLabel& ControlBar::Tab(Page pageCode) const {
  return *tabs_[TabIndex(pageCode)];
}

void ControlBar::PlaceAt(int top) {
  imgCtrl_->SetTop(top);
  for (int i = 0; i < 3; ++i) tabs_[i]->SetTop(top + offsets_.tabs[i]);
  imgCtrlMode_->SetTop(top + offsets_.arrow);
  close_->SetTop(top + offsets_.close);
  minimum_->SetTop(top + offsets_.minimum);
}

void ControlBar::SetTabsVisible(bool visible) {
  for (const auto& tab : tabs_) tab->SetVisible(visible);
}

void ControlBar::SetTabsEnabled(bool enabled) {
  for (const auto& tab : tabs_) tab->SetEnabled(enabled);
}

void ControlBar::SetTabBitmaps(Page currentPage) {
  const skin::ButtonRecord* tabRecords[3] = {&records_.Manager, &records_.Config, &records_.Alarm};
  for (std::size_t i = 0; i < std::size(kPages); ++i) {
    const bool selected = currentPage == kPages[i];
    const std::string normal = selected ? kSelectedTab[i] : RecordSet(*tabRecords[i])[0];
    tabs_[i]->LoadLeaveBitmap(paths_.ResolveOrEmpty(normal));
    tabs_[i]->Repaint();
  }
}

void ControlBar::ShowBarState(RollState barState) {
  imgCtrlMode_->LoadPicture(
      paths_.Resolve(barState == RollState::kCollapsed ? kArrowUp : kArrowDown));
}

void ControlBar::Repaint() {
  imgCtrl_->Invalidate();
  close_->Repaint();
  minimum_->Repaint();
}

std::array<std::string, 4> ControlBar::FixedSet(std::string_view prefix, std::string_view glyph) {
  std::array<std::string, 4> set;
  for (std::size_t i = 0; i < set.size(); ++i) {
    set[i] = "Skin\\" + std::string(prefix) + std::string(glyph) + kStates[i] + ".bmp";
  }
  return set;
}

void ControlBar::LoadButtonSet(skin::TImageLabel& button, const std::array<std::string, 4>& set) {
  button.LoadLeaveBitmap(paths_.ResolveOrEmpty(set[skin::kLeaveBmp]));
  button.LoadEnterBitmap(paths_.ResolveOrEmpty(set[skin::kEnterBmp]));
  button.LoadClickBitmap(paths_.ResolveOrEmpty(set[skin::kClickBmp]));
  button.LoadDisabledBitmap(paths_.ResolveOrEmpty(set[skin::kDisBmp]));
}

void ControlBar::ShowLook(Look look) {
  // Taken first: a missing bar picture then reports once, not on every later move.
  look_ = look;
  switch (look) {
    case Look::RecordsLedOn:
      imgCtrl_->LoadPicture(paths_.Resolve(kBarLedOn));
      LoadButtonSet(*close_, RecordSet(records_.Close));
      LoadButtonSet(*minimum_, RecordSet(records_.Minimum));
      break;
    case Look::LedOn:
      imgCtrl_->LoadPicture(paths_.Resolve(kBarLedOn));
      LoadButtonSet(*close_, FixedSet("LED_", kCloseGlyph));
      LoadButtonSet(*minimum_, FixedSet("LED_", kMinimumGlyph));
      break;
    case Look::LedOver:
      imgCtrl_->LoadPicture(paths_.Resolve(kBarLedOver));
      LoadButtonSet(*close_, FixedSet("LED_over_", kCloseGlyph));
      LoadButtonSet(*minimum_, FixedSet("LED_over_", kMinimumGlyph));
      break;
    case Look::LedOff:
      imgCtrl_->LoadPicture(paths_.Resolve(kBarLedOff));
      LoadButtonSet(*close_, FixedSet("", kCloseGlyph));
      LoadButtonSet(*minimum_, FixedSet("", kMinimumGlyph));
      break;
  }
  Repaint();
}

void ControlBar::ImgCtrlMouseDown(const ui::MouseEvent& event) {
  drag_.MouseDown(event.button);
  if (!InLedArea(event.pos)) return;
  // The switch shows what the worker took: a request it refused (the device not ready, no
  // worker) leaves state and picture as they were.
  const bool wanted = !ledSwitchOn_;
  if (!hooks_.RequestLed || !hooks_.RequestLed(wanted)) return;
  ledSwitchOn_ = wanted;
  ShowLook(ledSwitchOn_ ? Look::RecordsLedOn : Look::LedOff);
}

void ControlBar::ImgCtrlMouseMove(const ui::MouseEvent& event) {
  drag_.MouseMove(event.held);
  const Look wanted = InLedArea(event.pos) ? Look::LedOver
                      : ledSwitchOn_       ? Look::LedOn
                                           : Look::LedOff;
  // The pictures come from the application's cache; a move that changes nothing draws nothing.
  if (wanted != look_) ShowLook(wanted);
}

void ControlBar::ImgCtrlMouseUp(const ui::MouseEvent&) {
  drag_.MouseUp();
}

}  // namespace pages
