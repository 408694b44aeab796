#include "platform/ui/drawing_area.h"

#ifdef QUELTA_UI_QT
#include <QPainter>
#endif

#include <algorithm>
#include <cstdlib>

#include "platform/ui/frame_canvas.h"

#ifdef QUELTA_UI_QT
namespace ui {
namespace {

QColor ToQColor(Color c) {
  return QColor(c.red, c.green, c.blue);
}

}  // namespace

void DrawingArea::FitCanvas() {
  const int w = std::max(Width(), 0), h = std::max(Height(), 0);
  if (canvas_.width() == w && canvas_.height() == h) return;
  canvas_ = QImage(w, h, QImage::Format_RGB32);
  canvas_.fill(ToQColor(background_));
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

#ifdef QUELTA_UI_QT
void DrawingArea::Paint(QPainter& painter) const {
  if (canvas_.isNull()) return;
  painter.drawImage(
      QPoint(Left(), Top()), canvas_,
      QRect(0, 0, std::min(Width(), canvas_.width()), std::min(Height(), canvas_.height())));
}
#endif

}  // namespace ui
#else
namespace ui {

void DrawingArea::FitCanvas() {
  const int w = std::max(Width(), 0), h = std::max(Height(), 0);
  if (canvas_.width == w && canvas_.height == h) return;
  canvas_ = Frame::Filled(w, h, background_);
}

void DrawingArea::Clear() {
  FitCanvas();
  canvas_ = Frame::Filled(canvas_.width, canvas_.height, background_);
  Invalidate();
}

void DrawingArea::DrawLine(Point from, Point to, Color pen, int penWidth) {
  FitCanvas();
  FrameCanvas canvas(canvas_);
  // Every step moves one pixel along the longer axis and, where the error says so, one along
  // the shorter: a line one pixel thick with both end points, as a pen without smoothing draws.
  const int dx = std::abs(to.x - from.x), dy = -std::abs(to.y - from.y);
  const int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
  const int width = std::max(penWidth, 1);
  int error = dx + dy;
  for (Point p = from;;) {
    canvas.Fill(Rect{p.x - (width - 1) / 2, p.y - (width - 1) / 2, width, width}, pen);
    if (p == to) break;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      p.x += sx;
    }
    if (twice <= dx) {
      error += dx;
      p.y += sy;
    }
  }
  Invalidate();
}

void DrawingArea::DrawRectangle(const Rect& rect, Color pen, int penWidth) {
  FitCanvas();
  FrameCanvas canvas(canvas_);
  // The outline covers both edges: one pixel wider and higher than the rectangle's size.
  const Rect outline{rect.left, rect.top, rect.width + 1, rect.height + 1};
  for (int ring = 0; ring < std::max(penWidth, 1); ++ring) {
    canvas.Outline(Rect{outline.left - ring, outline.top - ring, outline.width + 2 * ring,
                        outline.height + 2 * ring},
                   pen);
  }
  Invalidate();
}

void DrawingArea::FillRectangle(const Rect& rect, Color fill) {
  FitCanvas();
  if (rect.IsEmpty()) return;
  FrameCanvas(canvas_).Fill(rect, fill);
  Invalidate();
}

void DrawingArea::PaintFrame(FrameCanvas& canvas) const {
  const int w = std::min(Width(), canvas_.width), h = std::min(Height(), canvas_.height);
  canvas.Draw(Point{Left(), Top()}, canvas_, Rect{0, 0, w, h}, std::nullopt);
}

}  // namespace ui
#endif

namespace ui {

// Alike with and without the toolkit: what differs is the canvas they fit and clear.
DrawingArea::DrawingArea(Window& owner, const Rect& bounds, Color background)
    : Control(owner), background_(background) {
  SetBounds(bounds);
  FitCanvas();
}

void DrawingArea::SetBackground(Color color) {
  background_ = color;
  Clear();
}

}  // namespace ui
