#include "platform/ui/qt/scene_widget.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <cmath>
#include <optional>

#include "platform/ui/control.h"
#include "platform/ui/qt/window_shape.h"
#include "platform/ui/render_window.h"
#include "platform/ui/window.h"

namespace ui::qt {
namespace {

std::optional<MouseButton> ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return MouseButton::Left;
    case Qt::RightButton:
      return MouseButton::Right;
    case Qt::MiddleButton:
      return MouseButton::Middle;
    default:
      return std::nullopt;
  }
}

}  // namespace

SceneWidget::SceneWidget(Window& window, int scale)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      window_(window),
      scale_(std::max(scale, 1)),
      direct_(*this) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  // The scene holds the keyboard focus until a field is clicked: no field shows a blinking
  // cursor at start, and a click on the scene ends editing.
  setFocusPolicy(Qt::ClickFocus);
  setFocus(Qt::OtherFocusReason);
  SyncGeometry();
}

QRect SceneWidget::ToWidget(const Rect& r) const {
  return QRect(r.left * scale_, r.top * scale_, r.width * scale_, r.height * scale_);
}

Point SceneWidget::ToScene(const QPointF& p) const {
  return Point{static_cast<int>(std::floor(p.x() / scale_)),
               static_cast<int>(std::floor(p.y() / scale_))};
}

void SceneWidget::SceneInvalidated(const Rect& area) {
  update(ToWidget(area));
}

void SceneWidget::ScenePaintNow(const DirtyRegion& areas) {
  QRegion region;
  for (const Rect& r : areas.Rects()) region += ToWidget(r);
  const QWindow* handle = windowHandle();
  if (!isVisible() || isMinimized() || !handle || !handle->isExposed()) {
    update(region);
    return;
  }
  // At scale 1 on a screen without scaling the frame's pixels are the window's: they go
  // straight to the desktop window.
  if (scale_ == 1 && devicePixelRatioF() == 1.0) {
    RenderDirty();
    if (direct_.Put(frame_, region)) {
      WatchExposes();
      storeBehind_ += region;
      return;
    }
  }
  repaint(region);
}

void SceneWidget::WatchExposes() {
  if (exposeWatched_) return;
  if (QWindow* handle = windowHandle()) {
    handle->installEventFilter(this);
    exposeWatched_ = true;
  }
}

bool SceneWidget::eventFilter(QObject* watched, QEvent* event) {
  // The expose is answered from the backing store: what went past it is painted into it first.
  if (event->type() == QEvent::Expose && watched == windowHandle() && !storeBehind_.isEmpty()) {
    update(storeBehind_);
  }
  return QWidget::eventFilter(watched, event);
}

void SceneWidget::SyncGeometry() {
  const Size client = window_.ClientSize();
  setFixedSize(std::max(client.width, 1) * scale_, std::max(client.height, 1) * scale_);
  move(window_.Position().x, window_.Position().y);
  update();
}

void SceneWidget::SyncShape() {
  shaped_ = window_.TransparentColor().has_value();
  if (!shaped_) {
    clearMask();
    return;
  }
  window_.InvalidateAll();
}

void SceneWidget::SyncCursor() {
  const Control* hovered = window_.Hovered();
  const bool hand = hovered && hovered->GetCursor() == Cursor::Hand;
  setCursor(hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void SceneWidget::RenderDirty() {
  const Size client = window_.ClientSize();
  if (frame_.width() != client.width || frame_.height() != client.height) {
    frame_ = QImage(std::max(client.width, 0), std::max(client.height, 0), QImage::Format_RGB32);
    opaque_ = QRegion();
    window_.InvalidateAll();
  }
  const DirtyRegion dirty = window_.TakeDirty();
  if (dirty.IsEmpty()) return;
  RenderWindowAreas(window_, frame_, dirty.Rects(), RenderOptions{.skipNative = true});
  if (!shaped_) return;
  for (const Rect& r : dirty.Rects()) UpdateMask(QRect(r.left, r.top, r.width, r.height));
}

void SceneWidget::UpdateMask(const QRect& sceneArea) {
  const Color key = *window_.TransparentColor();
  const QRgb keyRgb = qRgb(key.red, key.green, key.blue);
  // An area that was and stays wholly opaque (a fan turning over the page) leaves the shape
  // as it was.
  const QRect clipped = sceneArea & frame_.rect();
  if (!mask().isEmpty() && !HasKeyPixel(frame_, keyRgb, clipped) &&
      QRegion(clipped).subtracted(opaque_).isEmpty()) {
    return;
  }
  const QRegion updated =
      opaque_.subtracted(QRegion(sceneArea)).united(OpaqueRegion(frame_, keyRgb, sceneArea));
  if (updated == opaque_ && !mask().isEmpty()) return;
  // A paint under way is clipped to the shape it started with: what the shape gains now would
  // keep whatever the desktop window last held there (the key colour, where a page had rolled
  // away), so it is painted again once the new shape holds.
  const QRegion gained = updated.subtracted(opaque_);
  opaque_ = updated;
  setMask(ScaledRegion(opaque_, scale_));
  if (!gained.isEmpty()) update(ScaledRegion(gained, scale_));
}

void SceneWidget::paintEvent(QPaintEvent* event) {
  RenderDirty();
  storeBehind_ -= event->region();
  QPainter painter(this);
  // Whole-factor scaling without smoothing keeps every skin pixel a crisp square.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  for (const QRect& target : event->region()) {
    const QRect source(target.x() / scale_, target.y() / scale_,
                       (target.right() / scale_) - (target.x() / scale_) + 1,
                       (target.bottom() / scale_) - (target.y() / scale_) + 1);
    painter.drawImage(QRect(source.x() * scale_, source.y() * scale_, source.width() * scale_,
                            source.height() * scale_),
                      frame_, source);
  }
}

void SceneWidget::mousePressEvent(QMouseEvent* event) {
  if (const auto button = ButtonOf(event->button())) {
    window_.InputMouseDown(*button, ToScene(event->position()));
  }
  SyncCursor();
}

void SceneWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is a press like any other.
  mousePressEvent(event);
}

void SceneWidget::mouseMoveEvent(QMouseEvent* event) {
  window_.InputMouseMove(ToScene(event->position()));
  SyncCursor();
}

void SceneWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (const auto button = ButtonOf(event->button())) {
    window_.InputMouseUp(*button, ToScene(event->position()));
  }
  SyncCursor();
}

void SceneWidget::leaveEvent(QEvent*) {
  window_.InputMouseLeave();
}

void SceneWidget::closeEvent(QCloseEvent* event) {
  // The scene decides what closing means; the widget follows its visibility.
  event->ignore();
  window_.InputCloseRequested();
}

void SceneWidget::moveEvent(QMoveEvent*) {
  window_.InputMoved(Point{x(), y()});
}

void SceneWidget::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) window_.InputActivated();
  QWidget::changeEvent(event);
}

}  // namespace ui::qt
