#pragma once

#include <QPointer>
#include <memory>

#include "platform/ui/desktop_window_host.h"

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
class QtWindowHost : public DesktopWindowHost<QPointer<QWidget>> {
 public:
  QtWindowHost(Window& window, int scale);
  ~QtWindowHost() override;

  void Invalidated(const Rect& area) override;
  void PaintNow(const DirtyRegion& areas) override;
  void GeometryChanged() override;
  void CaptionChanged() override;
  void ShapeChanged() override;
  void BeginSystemMove() override;
  void Activate() override;
  void CenterOnScreen() override;

  SceneWidget& Widget() const { return *widget_; }
  // The desktop widget made for an edit or a combo box; null for other controls.
  QWidget* NativeFor(const Control& control) const;

 private:
  void ShowAs(Showing showing) override;
  std::optional<QPointer<QWidget>> MakeNative(Control& control) override;
  // A child Qt deleted by itself (with its parent) is made again.
  bool Stale(const Control& control, const QPointer<QWidget>& native) const override;
  void SyncNative(Control& control, QPointer<QWidget>& native) override;
  void DropNative(QPointer<QWidget>& native) override;
  void SyncEdit(Edit& edit, QWidget& native);
  void SyncComboBox(ComboBox& combo, QWidget& native);

  std::unique_ptr<SceneWidget> widget_;
};

}  // namespace ui::qt
