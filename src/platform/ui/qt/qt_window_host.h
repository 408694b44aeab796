#pragma once

#include <QPointer>
#include <map>
#include <memory>

#include "platform/ui/window_host.h"

class QWidget;

namespace ui {
class ComboBox;
class Edit;
class Window;
}  // namespace ui

namespace ui::qt {

class SceneWidget;

// A scene window shown on the desktop: its SceneWidget paints the scene; edits and combo boxes
// are real QLineEdit and QComboBox children kept in step with their scene controls.
class QtWindowHost : public WindowHost {
 public:
  QtWindowHost(Window& window, int scale);
  ~QtWindowHost() override;

  void Invalidated(const Rect& area) override;
  void PaintNow(const DirtyRegion& areas) override;
  void GeometryChanged() override;
  void VisibilityChanged() override;
  void CaptionChanged() override;
  void ShapeChanged() override;
  void ControlChanged(Control& control) override;
  void ControlRemoved(Control& control) override;
  void BeginSystemMove() override;
  void Activate() override;
  void CenterOnScreen() override;

  SceneWidget& Widget() const { return *widget_; }
  // The desktop widget made for an edit or a combo box; null for other controls.
  QWidget* NativeFor(const Control& control) const;

 private:
  QWidget* MakeNative(Control& control);
  void SyncEdit(Edit& edit, QWidget& native);
  void SyncComboBox(ComboBox& combo, QWidget& native);

  Window& window_;
  std::unique_ptr<SceneWidget> widget_;
  std::map<Control*, QPointer<QWidget>> natives_;
};

}  // namespace ui::qt
