#include "gauge_art.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "glyphs.h"
#include "paint_kit.h"

namespace skingen {
namespace {

constexpr int kFanSize = 72, kFanHeight = 73;
constexpr double kBladePitch = 60.0;  // six blades

// Green, then amber, then red along a gauge (position 0 .. 1).
QColor ZoneColour(double position) {
  if (position < 0.6) return palette::kGreen;
  if (position < 0.85) return palette::kAmber;
  return palette::kRed;
}

QColor Ghost(const QColor& colour) {
  return QColor(colour.red() / 7 + 8, colour.green() / 7 + 10, colour.blue() / 7 + 12);
}

}  // namespace

QImage DigitStrip(int cellWidth, int cellHeight, const QColor& lit, const QColor& ghost) {
  QImage strip = NewImage(cellWidth * 10, cellHeight, palette::kLcd);
  for (int digit = 0; digit < 10; ++digit) {
    SevenSegmentDigit(strip, digit * cellWidth, 0, cellWidth, cellHeight, digit, lit, ghost);
  }
  return strip;
}

QImage BlankDigit(int cellWidth, int cellHeight, const QColor& ghost) {
  QImage cell = NewImage(cellWidth, cellHeight, palette::kLcd);
  SevenSegmentDigit(cell, 0, 0, cellWidth, cellHeight, 8, ghost, ghost);
  return cell;
}

QImage DecimalPoint(const QColor& lit) {
  QImage point = NewImage(3, 3, palette::kLcd);
  SevenSegmentPoint(point, -1, -1, lit);
  return point;
}

QImage SignPicture(bool negative, bool big, const QColor& lit, const QColor& ghost) {
  QImage sign = NewImage(8, 11, palette::kLcd);
  SevenSegmentSign(sign, 0, 0, negative, big, lit, ghost);
  return sign;
}

QImage GaugeStrip(GaugeStyle style, int cellWidth, int cellHeight, int frames, bool fahrenheit) {
  QImage strip = NewImage(cellWidth * frames, cellHeight, palette::kCard);
  const int steps = frames - 1;
  for (int frame = 0; frame < frames; ++frame) {
    QPainter painter(&strip);
    PreparePainter(painter);
    const QRect cell(frame * cellWidth, 0, cellWidth, cellHeight);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(cell, palette::kOutline);
    painter.fillRect(cell.adjusted(1, 1, -1, -1), palette::kLcd);
    QRect inner = cell.adjusted(3, 3, -3, -3);
    if (style == GaugeStyle::Temperature) {
      // Room on the right for the unit letter.
      painter.setRenderHint(QPainter::Antialiasing, true);
      painter.setFont(LatinFont(9, true));
      painter.setPen(palette::kMuted);
      painter.drawText(QRect(cell.right() - 11, cell.top(), 10, cell.height()), Qt::AlignCenter,
                       fahrenheit ? "F" : "C");
      painter.setRenderHint(QPainter::Antialiasing, false);
      inner.setRight(cell.right() - 12);
    }
    const double pitch = double(inner.width() + 1) / steps;
    for (int step = 0; step < steps; ++step) {
      const int x0 = inner.left() + static_cast<int>(std::round(step * pitch));
      const int x1 = inner.left() + static_cast<int>(std::round((step + 1) * pitch)) - 1;
      const double position = (step + 0.5) / steps;
      QColor colour = style == GaugeStyle::Peak ? palette::kAmber : ZoneColour(position);
      if (style == GaugeStyle::Temperature && position < 0.35) colour = palette::kAccent;
      const bool lit = step < frame;
      int height = inner.height();
      int top = inner.top();
      if (style == GaugeStyle::Temperature) {
        // Rising columns, like a level meter.
        height =
            std::max(3, static_cast<int>(std::round(inner.height() * (0.35 + 0.65 * position))));
        top = inner.bottom() - height + 1;
      }
      painter.fillRect(QRect(QPoint(x0, top), QPoint(x1 - 1, top + height - 1)),
                       lit ? colour : Ghost(colour));
    }
  }
  return strip;
}

QImage TempDial(bool celsius, int n) {
  QImage image = NewImage(87, 47, palette::kCard);
  QPainter painter(&image);
  PreparePainter(painter);
  const QPointF centre(43.5, 41);
  const double outer = 36, inner = 30;
  // The coloured scale: cool, good, warm, hot.
  const struct {
    double from, to;
    QColor colour;
  } zones[] = {{0, 0.35, palette::kAccent},
               {0.35, 0.6, palette::kGreen},
               {0.6, 0.85, palette::kAmber},
               {0.85, 1.0, palette::kRed}};
  for (const auto& zone : zones) {
    QPainterPath arc;
    const QRectF out(centre.x() - outer, centre.y() - outer, 2 * outer, 2 * outer);
    const QRectF in(centre.x() - inner, centre.y() - inner, 2 * inner, 2 * inner);
    const double a0 = 180 - zone.from * 180, a1 = 180 - zone.to * 180;
    arc.arcMoveTo(out, a0);
    arc.arcTo(out, a0, a1 - a0);
    arc.arcTo(in, a1, a0 - a1);
    arc.closeSubpath();
    painter.fillPath(arc, zone.colour.darker(170));
  }
  // The lit part of the scale up to the needle.
  const double position = (n - 1) / 8.0;
  for (const auto& zone : zones) {
    if (zone.from >= position) break;
    const double to = std::min(zone.to, position);
    QPainterPath arc;
    const QRectF out(centre.x() - outer, centre.y() - outer, 2 * outer, 2 * outer);
    const QRectF in(centre.x() - inner, centre.y() - inner, 2 * inner, 2 * inner);
    const double a0 = 180 - zone.from * 180, a1 = 180 - to * 180;
    arc.arcMoveTo(out, a0);
    arc.arcTo(out, a0, a1 - a0);
    arc.arcTo(in, a1, a0 - a1);
    arc.closeSubpath();
    painter.fillPath(arc, zone.colour);
  }
  painter.setFont(LatinFont(8));
  painter.setPen(palette::kMuted);
  painter.drawText(QRectF(0, 36, 14, 11), Qt::AlignCenter, celsius ? "0" : "32");
  painter.drawText(QRectF(70, 36, 17, 11), Qt::AlignCenter, celsius ? "100" : "212");
  painter.setFont(LatinFont(9, true));
  painter.setPen(palette::kLabel);
  painter.drawText(QRectF(0, 0, 22, 12), Qt::AlignLeft | Qt::AlignTop,
                   celsius ? "\u00b0C" : "\u00b0F");
  // The needle.
  const double angle = M_PI * (1 - position);
  painter.setPen(QPen(palette::kText, 2, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(centre,
                   centre + QPointF(std::cos(angle) * (outer - 2), -std::sin(angle) * (outer - 2)));
  painter.setPen(Qt::NoPen);
  painter.setBrush(palette::kText);
  painter.drawEllipse(centre, 3.5, 3.5);
  return image;
}

QImage FanStrip(bool systemFan, int frames) {
  QImage strip = NewImage(kFanSize * frames, kFanHeight, palette::kCard);
  for (int frame = 0; frame < frames; ++frame) {
    QPainter painter(&strip);
    PreparePainter(painter);
    painter.translate(frame * kFanSize, 0);
    const QRectF body(2, 2, kFanSize - 4, kFanHeight - 4);
    painter.setPen(QPen(palette::kOutline, 1));
    painter.setBrush(QColor(0x2a, 0x32, 0x3c));
    painter.drawRoundedRect(body, systemFan ? 10 : 4, systemFan ? 10 : 4);
    if (systemFan) {
      // A case fan: screws in the corners.
      painter.setBrush(QColor(0x14, 0x18, 0x1d));
      for (const QPointF& screw :
           {QPointF(9, 9), QPointF(63, 9), QPointF(9, 64), QPointF(63, 64)}) {
        painter.drawEllipse(screw, 2.5, 2.5);
      }
    } else {
      // The supply's grille around the fan.
      painter.setPen(QPen(QColor(0x3b, 0x46, 0x53), 1));
      for (int x = 8; x < 66; x += 6) painter.drawLine(QPointF(x, 5), QPointF(x, 8));
      for (int x = 8; x < 66; x += 6) painter.drawLine(QPointF(x, 65), QPointF(x, 68));
    }
    const QPointF centre(kFanSize / 2.0, kFanHeight / 2.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x0b, 0x0e, 0x12));
    painter.drawEllipse(centre, 31, 31);
    painter.setPen(QPen(systemFan ? palette::kAccentDim : QColor(0x3b, 0x46, 0x53), 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, 31, 31);
    const double angle = frame * kBladePitch / frames;
    DrawIcon(painter, Icon::Fan, QRectF(centre.x() - 29, centre.y() - 29, 58, 58),
             systemFan ? QColor(0x9a, 0xd9, 0xec) : QColor(0xb8, 0xc3, 0xcf), angle);
    painter.setBrush(palette::kCard);
    painter.setPen(QPen(systemFan ? palette::kAccent : palette::kMuted, 1));
    painter.drawEllipse(centre, 6, 6);
  }
  return strip;
}

QImage WattAlarmIcon() {
  QImage image = NewImage(25, 25, palette::kCard);
  QPainter painter(&image);
  PreparePainter(painter);
  painter.setPen(Qt::NoPen);
  painter.setBrush(palette::kRed);
  painter.drawEllipse(QRectF(1, 1, 23, 23));
  DrawIcon(painter, Icon::Bolt, QRectF(5, 4, 15, 17), QColor(0xff, 0xf2, 0xf0));
  return image;
}

QImage FanAlarmIcon() {
  QImage image = NewImage(21, 21, palette::kCard);
  QPainter painter(&image);
  PreparePainter(painter);
  painter.setPen(Qt::NoPen);
  painter.setBrush(palette::kRed);
  painter.drawEllipse(QRectF(0.5, 0.5, 20, 20));
  DrawIcon(painter, Icon::Fan, QRectF(3, 3, 15, 15), QColor(0xff, 0xf2, 0xf0), 15);
  return image;
}

QImage BarMarker(bool enabled) {
  QImage image = NewImage(16, 9, palette::kCard);
  QPainter painter(&image);
  PreparePainter(painter);
  const QColor body = enabled ? QColor(0xd9, 0xe2, 0xea) : QColor(0x55, 0x5f, 0x6a);
  QPainterPath shape;  // a wedge whose flat top edge is the level it marks
  shape.moveTo(0, 0);
  shape.lineTo(16, 0);
  shape.lineTo(16, 9);
  shape.lineTo(6, 9);
  shape.closeSubpath();
  painter.fillPath(shape, body);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(QRect(0, 0, 16, 1), enabled ? palette::kAccent : QColor(0x6a, 0x74, 0x80));
  painter.setPen(enabled ? QColor(0x8b, 0x98, 0xa6) : QColor(0x43, 0x4c, 0x56));
  for (int x = 9; x <= 13; x += 2) painter.drawLine(x, 3, x, 7);
  return image;
}

QImage CurveMarkerVertical(bool enabled) {
  QImage image = NewImage(12, 17, palette::kCard);
  QPainter painter(&image);
  PreparePainter(painter);
  QPainterPath arrow;  // points right at row 8
  arrow.moveTo(0, 1);
  arrow.lineTo(5, 1);
  arrow.lineTo(12, 8.5);
  arrow.lineTo(5, 16);
  arrow.lineTo(0, 16);
  arrow.closeSubpath();
  painter.fillPath(arrow, enabled ? palette::kRed : QColor(0x55, 0x5f, 0x6a));
  return image;
}

QImage CurveMarkerHorizontal(bool enabled) {
  QImage image = NewImage(7, 10, palette::kCard);
  QPainter painter(&image);
  PreparePainter(painter);
  QPainterPath arrow;  // points up at column 3
  arrow.moveTo(3.5, 0);
  arrow.lineTo(7, 5);
  arrow.lineTo(7, 10);
  arrow.lineTo(0, 10);
  arrow.lineTo(0, 5);
  arrow.closeSubpath();
  painter.fillPath(arrow, enabled ? palette::kRed : QColor(0x55, 0x5f, 0x6a));
  return image;
}

}  // namespace skingen
