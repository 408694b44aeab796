#pragma once

#include <string>

#include "platform/ui/color.h"
#include "platform/ui/control.h"

namespace ui {

// One line of text painted on the window in one colour, left-aligned and centred vertically
// in its bounds: a notice shown where no skin picture says it. Mouse input goes through it.
class TextLabel : public Control {
 public:
  TextLabel(Window& owner, const Rect& bounds, Color ink);

  const std::string& Text() const { return text_; }
  void SetText(std::string text);

#ifdef QUELTA_UI_QT
  void Paint(QPainter& painter) const override;
#endif
  bool TakesMouse() const override {
    return false;
  }

 private:
  Color ink_;
  std::string text_;
};

}  // namespace ui
