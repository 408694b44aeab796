#pragma once

#include <vector>

#include "platform/ui/color.h"
#include "platform/ui/control.h"

namespace ui {

// Solid rectangles painted on the window (a status rect). They belong to the scene: a repaint
// of the window draws them again instead of erasing them. They move with the control's
// bounds, are clipped to them and let mouse input through.
class SolidFill : public Control {
 public:
  struct Fill {
    Rect area;  // relative to the control's top-left corner
    Color color;
    friend bool operator==(const Fill&, const Fill&) = default;
  };

  explicit SolidFill(Window& owner, const Rect& bounds = Rect{});

  // Paints a rectangle given in window coordinates over what the fill shows already.
  // Rectangles it covers completely are forgotten, so repeated paints do not pile up.
  void FillArea(const Rect& windowArea, Color color);
  // Takes every rectangle away.
  void Clear();

  const std::vector<Fill>& Fills() const { return fills_; }
  // The colour shown at a window pixel, or nothing when no rectangle covers it.
  const Color* ColorAt(Point windowPoint) const;

#ifdef QUELTA_UI_QT
  void Paint(QPainter& painter) const override;
#endif
  void PaintFrame(FrameCanvas& canvas) const override;
  bool TakesMouse() const override {
    return false;
  }

 private:
  std::vector<Fill> fills_;
};

}  // namespace ui
