#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

#include "platform/ui/dirty_region.h"
#include "platform/ui/geometry.h"
#include "platform/ui/qt/direct_put.h"

namespace ui {
class Window;
}

namespace ui::qt {

// One frameless desktop window that shows a scene window: it paints only the areas the scene
// marked dirty into its retained frame, shapes itself from the colour key and feeds mouse,
// activation, move and close input back to the scene. The whole scene is scaled by a whole
// factor without smoothing, so a bitmap skin stays crisp; all logic stays in scene pixels.
class SceneWidget : public QWidget {
 public:
  SceneWidget(Window& window, int scale);

  int Scale() const { return scale_; }
  void SceneInvalidated(const Rect& area);
  // Paints the areas at once, without waiting for the event loop's next pass (and without
  // posting a paint request that would wake it again); a window not on screen paints them
  // when it is shown.
  void ScenePaintNow(const DirtyRegion& areas);
  void SyncGeometry();
  void SyncShape();
  void SyncCursor();
  // The scene frame as painted so far (scene pixels).
  const QImage& Frame() const { return frame_; }
  // Brings the frame up to date with the scene's dirty areas (done by every paint).
  void RenderDirty();

  QRect ToWidget(const Rect& r) const;
  Point ToScene(const QPointF& p) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateMask(const QRect& sceneArea);
  void WatchExposes();

  Window& window_;
  const int scale_;
  QImage frame_;
  QRegion opaque_;  // scene pixels that are not the key colour
  bool shaped_ = false;
  DirectPut direct_;
  // Areas put straight on the desktop window and not painted through the backing store since:
  // the store still holds what was there before, so an expose paints them again.
  QRegion storeBehind_;
  bool exposeWatched_ = false;
};

}  // namespace ui::qt
