#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/ui/color.h"
#include "platform/ui/control.h"

namespace ui {

// A one-line text field. In a live window it is a real desktop edit; headless it is drawn as
// a plain box. Mouse presses reach OnMouseDown as for any control.
class Edit : public Control {
 public:
  explicit Edit(Window& owner, const Rect& bounds = Rect{});

  const std::string& Text() const { return text_; }
  // Sets the text from the program (OnChange is not called).
  void SetText(std::string text);

  bool Borderless() const { return borderless_; }
  void SetBorderless(bool borderless);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  // No background colour: the window shows through behind the text.
  const std::optional<Color>& BackgroundColor() const { return background_; }
  void SetBackgroundColor(std::optional<Color> color);
  Color TextColor() const { return textColor_; }
  void SetTextColor(Color color);

  // The user changed the text.
  std::function<void(Edit&)> OnChange;
  // Text typed by the user (from the backend or a test); ignored while disabled or read-only.
  void InputText(std::string text);

#ifdef QUELTA_UI_QT
  void Paint(QPainter& painter) const override;
#endif
  void PaintFrame(FrameCanvas& canvas) const override;
  bool IsNative() const override {
    return true;
  }

 private:
  std::string text_;
  bool borderless_ = false;
  bool readOnly_ = false;
  std::optional<Color> background_ = colors::kWindowBackground;
  Color textColor_ = colors::kWindowText;
};

}  // namespace ui
