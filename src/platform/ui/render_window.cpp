#include "platform/ui/render_window.h"

#ifdef QUELTA_UI_QT
#include <QPainter>
#endif
#include <optional>
#include <utility>

#include "platform/ui/control.h"
#include "platform/ui/frame_canvas.h"
#include "platform/ui/window.h"

namespace ui {

#ifdef QUELTA_UI_QT
QImage RenderWindow(const Window& window, const RenderOptions& options) {
  QImage image(std::max(window.ClientWidth(), 0), std::max(window.ClientHeight(), 0),
               QImage::Format_RGB32);
  RenderWindowArea(window, image, Rect{0, 0, image.width(), image.height()}, options);
  return image;
}

void RenderWindowArea(const Window& window, QImage& target, const Rect& area,
                      const RenderOptions& options) {
  RenderWindowAreas(window, target, std::vector<Rect>{area}, options);
}

void RenderWindowAreas(const Window& window, QImage& target, const std::vector<Rect>& areas,
                       const RenderOptions& options) {
  const Rect whole{0, 0, target.width(), target.height()};
  std::optional<QPainter> painter;
  const Color bg = window.BackgroundColor();
  for (const Rect& area : areas) {
    const Rect clipped = area.Intersected(whole);
    if (clipped.IsEmpty()) continue;
    if (!painter) painter.emplace(&target);
    const QRect clip(clipped.left, clipped.top, clipped.width, clipped.height);
    painter->setClipRect(clip);
    painter->fillRect(clip, QColor(bg.red, bg.green, bg.blue));
    for (const Control* child : window.Children()) {
      if (!child->Visible() || (options.skipNative && child->IsNative())) continue;
      if (!child->Bounds().Intersects(clipped)) continue;
      child->Paint(*painter);
    }
  }
}

#endif

void RenderWindowFrame(const Window& window, Frame& target, const std::vector<Rect>& areas,
                       const RenderOptions& options) {
  FrameCanvas canvas(target);
  const Rect whole{0, 0, target.width, target.height};
  for (const Rect& area : areas) {
    const Rect clipped = area.Intersected(whole);
    if (clipped.IsEmpty()) continue;
    canvas.SetClip(clipped);
    canvas.Fill(clipped, window.BackgroundColor());
    for (const Control* child : window.Children()) {
      if (!child->Visible() || (options.skipNative && child->IsNative())) continue;
      if (!child->Bounds().Intersects(clipped)) continue;
      child->PaintFrame(canvas);
    }
  }
}

#ifdef QUELTA_UI_QT
QImage KeyedScreenshot(const Window& window, QImage rendered) {
  QImage keyed = std::move(rendered).convertToFormat(QImage::Format_ARGB32);
  const auto& key = window.TransparentColor();
  if (!key) return keyed;
  const QRgb keyRgb = qRgb(key->red, key->green, key->blue);
  for (int y = 0; y < keyed.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
    for (int x = 0; x < keyed.width(); ++x) {
      if (line[x] == keyRgb) line[x] = 0;
    }
  }
  return keyed;
}
#endif

}  // namespace ui
