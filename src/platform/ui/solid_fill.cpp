#include "platform/ui/solid_fill.h"

#ifdef QUELTA_UI_QT
#include <QPainter>
#endif
#include <algorithm>

#include "platform/ui/frame_canvas.h"

namespace ui {

SolidFill::SolidFill(Window& owner, const Rect& bounds) : Control(owner) {
  SetBounds(bounds);
}

void SolidFill::FillArea(const Rect& windowArea, Color color) {
  const Rect area = windowArea.Intersected(Bounds()).Translated(-Left(), -Top());
  if (area.IsEmpty()) return;
  std::erase_if(fills_, [&](const Fill& f) { return area.Contains(f.area) || f.area.IsEmpty(); });
  fills_.push_back(Fill{area, color});
  if (Owner() && Visible()) Invalidate();
}

void SolidFill::Clear() {
  if (fills_.empty()) return;
  fills_.clear();
  Invalidate();
}

const Color* SolidFill::ColorAt(Point windowPoint) const {
  const Point p{windowPoint.x - Left(), windowPoint.y - Top()};
  for (auto it = fills_.rbegin(); it != fills_.rend(); ++it) {
    if (it->area.Contains(p)) return &it->color;
  }
  return nullptr;
}

void SolidFill::PaintFrame(FrameCanvas& canvas) const {
  const Rect before = canvas.IntersectClip(Bounds());
  for (const Fill& f : fills_) canvas.Fill(f.area.Translated(Left(), Top()), f.color);
  canvas.SetClip(before);
}

#ifdef QUELTA_UI_QT
void SolidFill::Paint(QPainter& painter) const {
  painter.save();
  painter.setClipRect(QRect(Left(), Top(), Width(), Height()), Qt::IntersectClip);
  for (const Fill& f : fills_) {
    painter.fillRect(QRect(Left() + f.area.left, Top() + f.area.top, f.area.width, f.area.height),
                     QColor(f.color.red, f.color.green, f.color.blue));
  }
  painter.restore();
}
#endif

}  // namespace ui
