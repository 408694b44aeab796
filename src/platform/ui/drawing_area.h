#pragma once

#ifdef QUELTA_UI_QT
#include <QImage>
#endif

#include "platform/ui/color.h"
#include "platform/ui/control.h"
#include "platform/ui/frame.h"

namespace ui {

// An area with a background colour on which the program draws lines and rectangles with a
// coloured pen (the fan curve). What is drawn stays until drawn over or cleared; coordinates
// are relative to the area's top-left corner, and lines include both end points.
class DrawingArea : public Control {
 public:
  DrawingArea(Window& owner, const Rect& bounds, Color background);

  Color Background() const { return background_; }
  void SetBackground(Color color);  // also clears
  // Fills the whole area with the background colour.
  void Clear();

  void DrawLine(Point from, Point to, Color pen, int penWidth = 1);
  // The outline of the rectangle from (left, top) to (right, bottom), both edges included.
  void DrawRectangle(const Rect& rect, Color pen, int penWidth = 1);
  void FillRectangle(const Rect& rect, Color fill);

  // What the area shows now (width x height of its bounds).
#ifdef QUELTA_UI_QT
  const QImage& Canvas() const {
    return canvas_;
  }
#else
  const Frame& Canvas() const {
    return canvas_;
  }
#endif

#ifdef QUELTA_UI_QT
  void Paint(QPainter& painter) const override;
#endif
  void PaintFrame(FrameCanvas& canvas) const override;

 private:
  void FitCanvas();

  Color background_;
#ifdef QUELTA_UI_QT
  QImage canvas_;
#else
  // Drawn without a toolkit: lines as the toolkit draws a one-pixel pen without smoothing.
  Frame canvas_;
#endif
};

}  // namespace ui
