#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pages/ctrl_buttons.h"
#include "pages/page_codes.h"
#include "pages/skin_path_cache.h"
#include "pages/window_hooks.h"
#include "platform/ui/image.h"
#include "skin/file_resolver.h"
#include "skin/image_label.h"

namespace ui {
class Window;
}

namespace pages {

class WindowDrag;

// The control bar along the window's bottom edge: the bar picture ImgCtrl with its LED switch
// area, the three page tabs, the collapse arrow ImgCtrlMode, and the close and minimise
// buttons. It keeps the LED switch state and the pictures; the roll moves it and decides what
// the tabs and the arrow do (OnSelectPage, OnToggleCollapse).
class ControlBar {
 public:
  // Builds every part at its place: the bar at its design top, the buttons from their
  // records, the arrow showing "Skin\down.bmp", the bar "Skin\Ctrl_LED_ON.bmp" (the LED
  // starts on). Missing bar or arrow pictures throw the framework's file error.
  ControlBar(ui::Window& window, const CtrlButtons& records, skin::FileResolver files,
             WindowDrag& drag, WindowHooks hooks);
  ~ControlBar();
  ControlBar(const ControlBar&) = delete;
  ControlBar& operator=(const ControlBar&) = delete;

  ui::Image& ImgCtrl() const { return *imgCtrl_; }
  ui::Image& ImgCtrlMode() const { return *imgCtrlMode_; }
  // The tab of a page; a value outside the three throws std::out_of_range.
  skin::TImageLabel& Tab(Page pageCode) const;
  skin::TImageLabel& CloseButton() const { return *close_; }
  skin::TImageLabel& MinimumButton() const { return *minimum_; }

  // The buttons' records as read from the skin.
  const CtrlButtons& Records() const { return records_; }

  int Top() const { return imgCtrl_->Top(); }
  int Height() const { return imgCtrl_->Height(); }

  // Puts the bar at `top` and every button and the arrow at their offsets from it.
  void PlaceAt(int top);
  void SetTabsVisible(bool visible);
  void SetTabsEnabled(bool enabled);
  // The tab of `currentPage` gets its selected picture as its normal one, the others the
  // normal picture of their records.
  void SetTabBitmaps(Page currentPage);
  // "Skin\down.bmp" while expanded, "Skin\up.bmp" while collapsed.
  void ShowBarState(RollState barState);
  void Repaint();

  bool LedSwitchOn() const { return ledSwitchOn_; }

  // Set by the roll: the tabs' and the arrow's click actions.
  std::function<void(Page pageCode)> OnSelectPage;
  std::function<void()> OnToggleCollapse;

  // Event handlers (pos in bar pixels).
  void ImgCtrlMouseDown(const ui::MouseEvent& event);
  void ImgCtrlMouseMove(const ui::MouseEvent& event);
  void ImgCtrlMouseUp(const ui::MouseEvent& event);

 private:
  // What the bar and the two buttons show; each look is a bar picture and two button sets.
  enum class Look { RecordsLedOn, LedOn, LedOver, LedOff };

  struct Offsets {
    int tabs[3];
    int arrow, close, minimum;
  };

  void ShowLook(Look look);
  void LoadButtonSet(skin::TImageLabel& button, const std::array<std::string, 4>& set);
  static std::array<std::string, 4> FixedSet(std::string_view prefix, std::string_view glyph);

  CtrlButtons records_;
  SkinPathCache paths_;
  WindowDrag& drag_;
  WindowHooks hooks_;

  std::unique_ptr<ui::Image> imgCtrl_;
  std::unique_ptr<skin::TImageLabel> tabs_[3];  // monitor, configuration, alarm
  std::unique_ptr<skin::TImageLabel> minimum_;
  std::unique_ptr<skin::TImageLabel> close_;
  std::unique_ptr<ui::Image> imgCtrlMode_;
  Offsets offsets_{};

  bool ledSwitchOn_ = true;
  Look look_ = Look::RecordsLedOn;
  bool arrowPressed_ = false;
};

}  // namespace pages
