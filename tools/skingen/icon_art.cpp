#include "icon_art.h"

#include <QPainterPath>
#include <cmath>
#include <stdexcept>

#include "paint_kit.h"

namespace skingen {

QImage DrawAppIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  PreparePainter(painter);
  const double s = size;
  // The case: a dark rounded square with a light rim.
  const QRectF box(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
  QLinearGradient body(box.topLeft(), box.bottomLeft());
  body.setColorAt(0, palette::kCardHighlight);
  body.setColorAt(1, palette::kPageBottom);
  painter.setPen(QPen(palette::kCardBorder, std::max(1.0, s / 32)));
  painter.setBrush(body);
  painter.drawRoundedRect(box, s * 0.16, s * 0.16);
  // The fan: a ring and five swept blades round a hub.
  const QPointF centre(s * 0.5, s * 0.44);
  const double radius = s * 0.3;
  painter.setPen(QPen(palette::kAccent, std::max(1.0, s / 24)));
  painter.setBrush(palette::kLcd);
  painter.drawEllipse(centre, radius, radius);
  painter.setPen(Qt::NoPen);
  painter.setBrush(palette::kAccent);
  constexpr int kBlades = 5;
  for (int i = 0; i < kBlades; ++i) {
    painter.save();
    painter.translate(centre);
    painter.rotate(360.0 * i / kBlades);
    QPainterPath blade;
    blade.moveTo(0, -radius * 0.18);
    blade.cubicTo(radius * 0.45, -radius * 0.35, radius * 0.55, -radius * 0.75, radius * 0.12,
                  -radius * 0.86);
    blade.cubicTo(radius * 0.05, -radius * 0.6, -radius * 0.1, -radius * 0.35, 0, -radius * 0.18);
    painter.drawPath(blade);
    painter.restore();
  }
  painter.setBrush(palette::kCardBorder);
  painter.drawEllipse(centre, radius * 0.2, radius * 0.2);
  // The load bar below the fan: green, lit for most of its length.
  const QRectF track(s * 0.18, s * 0.8, s * 0.64, std::max(2.0, s * 0.07));
  painter.setBrush(palette::kTrack);
  painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);
  painter.setBrush(palette::kGreen);
  QRectF lit = track;
  lit.setWidth(track.width() * 0.7);
  painter.drawRoundedRect(lit, track.height() / 2, track.height() / 2);
  painter.end();
  return image;
}

void WriteAppIcons(const std::filesystem::path& dir) {
  for (const int size : kIconSizes) {
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path folder = dir / name / "apps";
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "quelta.png";
    if (!DrawAppIcon(size).save(QString::fromStdString(file.string()), "PNG"))
      throw std::runtime_error("cannot write " + file.string());
  }
}

}  // namespace skingen
