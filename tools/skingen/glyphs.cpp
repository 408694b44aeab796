#include "glyphs.h"

#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "paint_kit.h"

namespace skingen {
namespace {

// Segments a to g as bits 0 to 6 for each digit.
constexpr int kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
constexpr int kStroke = 2;

void Fill(QImage& image, int x, int y, int w, int h, const QColor& colour) {
  for (int yy = y; yy < y + h; ++yy) {
    for (int xx = x; xx < x + w; ++xx) {
      if (image.rect().contains(xx, yy)) image.setPixel(xx, yy, colour.rgb());
    }
  }
}

}  // namespace

void SevenSegmentDigit(QImage& image, int x, int y, int width, int height, int digit,
                       const QColor& lit, const QColor& ghost) {
  const int segments = kSegments[digit];
  const auto colour = [&](int bit) { return (segments >> bit) & 1 ? lit : ghost; };
  const int left = 1, right = width - 2;
  const int middle = height / 2 - 1;
  const int span = right - left - 1;
  Fill(image, x + left + 1, y + 1, span, kStroke, colour(0));                   // a
  Fill(image, x + right - kStroke + 1, y + 2, kStroke, middle - 1, colour(1));  // b
  Fill(image, x + right - kStroke + 1, y + middle + 2, kStroke, height - middle - 5,
       colour(2));                                                                 // c
  Fill(image, x + left + 1, y + height - 1 - kStroke, span, kStroke, colour(3));   // d
  Fill(image, x + left, y + middle + 2, kStroke, height - middle - 5, colour(4));  // e
  Fill(image, x + left, y + 2, kStroke, middle - 1, colour(5));                    // f
  Fill(image, x + left + 1, y + middle, span, kStroke, colour(6));                 // g
}

void SevenSegmentPoint(QImage& image, int x, int y, const QColor& lit) {
  Fill(image, x + 1, y + 1, 2, 2, lit);
}

void SevenSegmentSign(QImage& image, int x, int y, bool negative, bool big, const QColor& lit,
                      const QColor& ghost) {
  // The sign sits low in its 8 x 11 picture, level with the middle bar of the digits beside it.
  const int bar = big ? 4 : 5;
  Fill(image, x + 1, y + bar, 6, kStroke, lit);
  Fill(image, x + 3, y + bar - 3, 2, 3, negative ? ghost : lit);
  Fill(image, x + 3, y + bar + kStroke, 2, 3, negative ? ghost : lit);
}

void DrawIcon(QPainter& painter, Icon icon, const QRectF& rect, const QColor& colour,
              double angle) {
  painter.save();
  painter.translate(rect.center());
  const double s = std::min(rect.width(), rect.height()) / 2.0;  // half size
  QPen pen(colour, std::max(1.2, s / 6.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  switch (icon) {
    case Icon::Fan: {
      painter.rotate(angle);
      painter.setPen(Qt::NoPen);
      painter.setBrush(colour);
      constexpr int kBlades = 6;
      for (int i = 0; i < kBlades; ++i) {
        QPainterPath blade;
        blade.moveTo(0, -s * 0.22);
        blade.cubicTo(s * 0.25, -s * 0.55, s * 0.15, -s * 0.95, -s * 0.12, -s * 0.95);
        blade.cubicTo(-s * 0.35, -s * 0.7, -s * 0.2, -s * 0.4, 0, -s * 0.22);
        painter.drawPath(blade);
        painter.rotate(360.0 / kBlades);
      }
      painter.drawEllipse(QPointF(0, 0), s * 0.26, s * 0.26);
      break;
    }
    case Icon::Bolt: {
      QPainterPath bolt;
      bolt.moveTo(s * 0.15, -s);
      bolt.lineTo(-s * 0.55, s * 0.12);
      bolt.lineTo(-s * 0.02, s * 0.12);
      bolt.lineTo(-s * 0.2, s);
      bolt.lineTo(s * 0.55, -s * 0.18);
      bolt.lineTo(s * 0.02, -s * 0.18);
      bolt.closeSubpath();
      painter.setPen(Qt::NoPen);
      painter.fillPath(bolt, colour);
      break;
    }
    case Icon::Bell: {
      QPainterPath bell;
      bell.moveTo(-s * 0.75, s * 0.45);
      bell.cubicTo(-s * 0.5, s * 0.2, -s * 0.6, -s * 0.75, 0, -s * 0.78);
      bell.cubicTo(s * 0.6, -s * 0.75, s * 0.5, s * 0.2, s * 0.75, s * 0.45);
      bell.closeSubpath();
      painter.drawPath(bell);
      painter.drawLine(QPointF(0, -s * 0.78), QPointF(0, -s * 0.95));
      painter.drawArc(QRectF(-s * 0.22, s * 0.45, s * 0.44, s * 0.4), 180 * 16, 180 * 16);
      break;
    }
    case Icon::Gauge: {
      painter.drawArc(QRectF(-s * 0.9, -s * 0.8, s * 1.8, s * 1.8), 0, 180 * 16);
      for (int i = 0; i <= 4; ++i) {
        const double a = M_PI * i / 4;
        painter.drawLine(QPointF(std::cos(a) * s * 0.9, -std::sin(a) * s * 0.9 + s * 0.1),
                         QPointF(std::cos(a) * s * 0.68, -std::sin(a) * s * 0.68 + s * 0.1));
      }
      painter.drawLine(QPointF(0, s * 0.1), QPointF(s * 0.45, -s * 0.45));
      painter.setBrush(colour);
      painter.drawEllipse(QPointF(0, s * 0.1), s * 0.1, s * 0.1);
      break;
    }
    case Icon::Sliders: {
      for (int i = 0; i < 3; ++i) {
        const double x = -s * 0.6 + i * s * 0.6;
        painter.drawLine(QPointF(x, -s * 0.85), QPointF(x, s * 0.85));
        const double knob = (i == 1 ? -0.35 : i == 0 ? 0.3 : 0.05) * s;
        painter.setBrush(colour);
        painter.drawRoundedRect(QRectF(x - s * 0.2, knob - s * 0.12, s * 0.4, s * 0.24), 1, 1);
        painter.setBrush(Qt::NoBrush);
      }
      break;
    }
    case Icon::Rocket: {  // performance: a double chevron
      QPainterPath chevrons;
      for (double dy : {-0.45, 0.15}) {
        chevrons.moveTo(-s * 0.7, (dy + 0.45) * s);
        chevrons.lineTo(0, (dy - 0.2) * s);
        chevrons.lineTo(s * 0.7, (dy + 0.45) * s);
      }
      pen.setWidthF(std::max(1.5, s / 4.5));
      painter.setPen(pen);
      painter.drawPath(chevrons);
      break;
    }
    case Icon::Balance: {  // normal: a level line with a centred dot
      painter.drawLine(QPointF(-s * 0.85, 0), QPointF(s * 0.85, 0));
      painter.drawLine(QPointF(-s * 0.85, -s * 0.3), QPointF(-s * 0.85, s * 0.3));
      painter.drawLine(QPointF(s * 0.85, -s * 0.3), QPointF(s * 0.85, s * 0.3));
      painter.setBrush(colour);
      painter.drawEllipse(QPointF(0, 0), s * 0.22, s * 0.22);
      break;
    }
    case Icon::Moon: {
      QPainterPath moon;
      moon.addEllipse(QPointF(0, 0), s * 0.8, s * 0.8);
      QPainterPath bite;
      bite.addEllipse(QPointF(s * 0.38, -s * 0.28), s * 0.66, s * 0.66);
      painter.setPen(Qt::NoPen);
      painter.fillPath(moon.subtracted(bite), colour);
      break;
    }
    case Icon::Hand: {  // manual: a curve with a knee and a handle
      painter.drawLine(QPointF(-s * 0.9, s * 0.8), QPointF(s * 0.9, s * 0.8));
      painter.drawLine(QPointF(-s * 0.9, s * 0.8), QPointF(-s * 0.9, -s * 0.9));
      QPainterPath curve;
      curve.moveTo(-s * 0.9, s * 0.35);
      curve.lineTo(-s * 0.05, s * 0.35);
      curve.lineTo(s * 0.85, -s * 0.75);
      painter.drawPath(curve);
      painter.setBrush(colour);
      painter.drawRect(QRectF(-s * 0.18, s * 0.22, s * 0.26, s * 0.26));
      break;
    }
    case Icon::Thermometer: {
      painter.drawRoundedRect(QRectF(-s * 0.2, -s * 0.9, s * 0.4, s * 1.2), s * 0.2, s * 0.2);
      painter.setBrush(colour);
      painter.drawEllipse(QPointF(0, s * 0.55), s * 0.35, s * 0.35);
      painter.drawLine(QPointF(0, s * 0.4), QPointF(0, -s * 0.3));
      break;
    }
    case Icon::Check: {
      pen.setWidthF(std::max(1.8, s / 3.5));
      painter.setPen(pen);
      painter.drawPolyline(QPolygonF(
          {QPointF(-s * 0.7, 0), QPointF(-s * 0.2, s * 0.5), QPointF(s * 0.75, -s * 0.55)}));
      break;
    }
    case Icon::Cross:
    case Icon::Close: {
      pen.setWidthF(std::max(1.6, s / (icon == Icon::Cross ? 3.5 : 4.5)));
      painter.setPen(pen);
      const double k = icon == Icon::Cross ? 0.6 : 0.5;
      painter.drawLine(QPointF(-s * k, -s * k), QPointF(s * k, s * k));
      painter.drawLine(QPointF(-s * k, s * k), QPointF(s * k, -s * k));
      break;
    }
    case Icon::Reset: {
      painter.drawArc(QRectF(-s * 0.7, -s * 0.7, s * 1.4, s * 1.4), 60 * 16, 270 * 16);
      QPainterPath head;
      head.moveTo(s * 0.2, -s * 0.95);
      head.lineTo(s * 0.62, -s * 0.62);
      head.lineTo(s * 0.12, -s * 0.38);
      head.closeSubpath();
      painter.setPen(Qt::NoPen);
      painter.fillPath(head, colour);
      break;
    }
    case Icon::Minus: {
      pen.setWidthF(std::max(1.6, s / 4.5));
      painter.setPen(pen);
      painter.drawLine(QPointF(-s * 0.5, s * 0.1), QPointF(s * 0.5, s * 0.1));
      break;
    }
    case Icon::ChevronUp:
    case Icon::ChevronDown: {
      const double d = icon == Icon::ChevronUp ? 1 : -1;
      QPolygonF chevron({QPointF(-s * 0.8, d * s * 0.4), QPointF(0, -d * s * 0.4),
                         QPointF(s * 0.8, d * s * 0.4)});
      painter.setPen(Qt::NoPen);
      painter.setBrush(colour);
      painter.drawPolygon(chevron);
      break;
    }
    case Icon::Chip: {
      painter.drawRect(QRectF(-s * 0.55, -s * 0.55, s * 1.1, s * 1.1));
      for (int i = -1; i <= 1; ++i) {
        painter.drawLine(QPointF(i * s * 0.3, -s * 0.55), QPointF(i * s * 0.3, -s * 0.85));
        painter.drawLine(QPointF(i * s * 0.3, s * 0.55), QPointF(i * s * 0.3, s * 0.85));
      }
      break;
    }
  }
  painter.restore();
}

void Lamp(QPainter& painter, const QPointF& centre, double radius, const QColor& colour, bool lit) {
  painter.save();
  painter.setPen(Qt::NoPen);
  if (lit) {
    QRadialGradient glow(centre, radius * 2.2);
    QColor halo = colour;
    halo.setAlpha(110);
    glow.setColorAt(0, halo);
    halo.setAlpha(0);
    glow.setColorAt(1, halo);
    painter.setBrush(glow);
    painter.drawEllipse(centre, radius * 2.2, radius * 2.2);
  }
  painter.setBrush(palette::kOutline);
  painter.drawEllipse(centre, radius + 1, radius + 1);
  QRadialGradient body(centre - QPointF(radius * 0.3, radius * 0.3), radius * 1.3);
  const QColor base = lit ? colour : QColor(0x2a, 0x31, 0x3a);
  body.setColorAt(0, lit ? base.lighter(160) : base.lighter(130));
  body.setColorAt(1, lit ? base.darker(110) : base.darker(130));
  painter.setBrush(body);
  painter.drawEllipse(centre, radius, radius);
  painter.restore();
}

}  // namespace skingen
