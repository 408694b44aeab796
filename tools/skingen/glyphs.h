#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>

// Small drawings used inside buttons, gauges and backgrounds.
namespace skingen {

// A seven-segment digit (0 to 9) filling a cell of `width` x `height` pixels at (x, y) of the
// image, drawn pixel by pixel so it stays crisp; unlit segments are drawn in `ghost`.
void SevenSegmentDigit(QImage& image, int x, int y, int width, int height, int digit,
                       const QColor& lit, const QColor& ghost);
// A decimal point of 3 x 3 pixels, a minus and a plus sign of 8 x 11, in the same manner.
void SevenSegmentPoint(QImage& image, int x, int y, const QColor& lit);
void SevenSegmentSign(QImage& image, int x, int y, bool negative, bool big, const QColor& lit,
                      const QColor& ghost);

enum class Icon {
  Fan,
  Bolt,
  Bell,
  Gauge,
  Sliders,
  Rocket,
  Balance,
  Moon,
  Hand,
  Thermometer,
  Check,
  Cross,
  Reset,
  Minus,
  Close,
  ChevronUp,
  ChevronDown,
  Chip,
};
// An icon in `rect`; `angle` turns the fan (degrees).
void DrawIcon(QPainter& painter, Icon icon, const QRectF& rect, const QColor& colour,
              double angle = 0);

// A round indicator lamp, lit or dark, with a soft glow when lit.
void Lamp(QPainter& painter, const QPointF& centre, double radius, const QColor& colour, bool lit);

}  // namespace skingen
