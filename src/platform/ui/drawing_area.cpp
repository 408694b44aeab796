#include "platform/ui/drawing_area.h"

#include <QPainter>

#include "platform/ui/frame_canvas.h"

namespace ui {
namespace {

QColor ToQColor(Color c) {
  return QColor(c.red, c.green, c.blue);
}

}  // namespace

DrawingArea::DrawingArea(Window& owner, const Rect& bounds, Color background)
    : Control(owner), background_(background) {
  SetBounds(bounds);
  FitCanvas();
}

void DrawingArea::FitCanvas() {
  const int w = std::max(Width(), 0), h = std::max(Height(), 0);
  if (canvas_.width() == w && canvas_.height() == h) return;
  canvas_ = QImage(w, h, QImage::Format_RGB32);
  canvas_.fill(ToQColor(background_));
}

void DrawingArea::SetBackground(Color color) {
  background_ = color;
  Clear();
}

void DrawingArea::Clear() {
  FitCanvas();
  canvas_.fill(ToQColor(background_));
  Invalidate();
}

void DrawingArea::DrawLine(Point from, Point to, Color pen, int penWidth) {
  FitCanvas();
  if (canvas_.isNull()) return;
  QPainter painter(&canvas_);
  painter.setPen(QPen(ToQColor(pen), std::max(penWidth, 1)));
  painter.drawLine(from.x, from.y, to.x, to.y);
  Invalidate();
}

void DrawingArea::DrawRectangle(const Rect& rect, Color pen, int penWidth) {
  FitCanvas();
  if (canvas_.isNull()) return;
  QPainter painter(&canvas_);
  painter.setPen(QPen(ToQColor(pen), std::max(penWidth, 1)));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect.left, rect.top, rect.width, rect.height);
  Invalidate();
}

void DrawingArea::FillRectangle(const Rect& rect, Color fill) {
  FitCanvas();
  if (canvas_.isNull() || rect.IsEmpty()) return;
  QPainter painter(&canvas_);
  painter.fillRect(rect.left, rect.top, rect.width, rect.height, ToQColor(fill));
  Invalidate();
}

void DrawingArea::PaintFrame(FrameCanvas& canvas) const {
  if (canvas_.isNull()) return;
  const int w = std::min(Width(), canvas_.width()), h = std::min(Height(), canvas_.height());
  Frame pixels = Frame::Filled(std::max(w, 0), std::max(h, 0), Color{});
  for (int y = 0; y < h; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(canvas_.constScanLine(y));
    for (int x = 0; x < w; ++x) pixels.At(x, y) = line[x] & 0xFFFFFFu;
  }
  canvas.Draw(Point{Left(), Top()}, pixels, Rect{0, 0, w, h}, std::nullopt);
}

void DrawingArea::Paint(QPainter& painter) const {
  if (canvas_.isNull()) return;
  painter.drawImage(
      QPoint(Left(), Top()), canvas_,
      QRect(0, 0, std::min(Width(), canvas_.width()), std::min(Height(), canvas_.height())));
}

}  // namespace ui
