#include "button_art.h"

#include <QLinearGradient>
#include <QPainterPath>

#include "glyphs.h"
#include "paint_kit.h"

namespace skingen {
namespace {

struct Colours {
  QColor top, bottom, border, ink;
};

Colours ColoursOf(ButtonState state, DisLook dis) {
  switch (state) {
    case ButtonState::Up:
      return {QColor(0x30, 0x39, 0x45), QColor(0x23, 0x2a, 0x33), QColor(0x41, 0x4d, 0x5c),
              palette::kLabel};
    case ButtonState::Over:
      return {QColor(0x3a, 0x47, 0x55), QColor(0x2b, 0x34, 0x3f), QColor(0x2f, 0xa6, 0xc9),
              palette::kText};
    case ButtonState::Down:
      return {QColor(0x0f, 0x14, 0x19), QColor(0x16, 0x1d, 0x24), palette::kAccent,
              palette::kAccent};
    case ButtonState::Dis:
      if (dis == DisLook::Alarm) {
        return {QColor(0x7a, 0x1d, 0x18), QColor(0x52, 0x10, 0x0d), palette::kRed,
                QColor(0xff, 0xe0, 0xdc)};
      }
      return {QColor(0x1d, 0x22, 0x28), QColor(0x1a, 0x1f, 0x25), QColor(0x2a, 0x31, 0x3a),
              QColor(0x4d, 0x58, 0x64)};
  }
  return {};
}

QPainterPath RoundedShape(QSize size, double radius) {
  QPainterPath shape;
  shape.addRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), radius, radius);
  return shape;
}

}  // namespace

const char* StateSuffix(ButtonState state) {
  switch (state) {
    case ButtonState::Up:
      return "_up";
    case ButtonState::Over:
      return "_over";
    case ButtonState::Down:
      return "_down";
    case ButtonState::Dis:
      return "_dis";
  }
  return "";
}

QImage ButtonPicture(QSize size, const ButtonLook& look, ButtonState state,
                     const ButtonFace& face) {
  QImage image = NewImage(size.width(), size.height(), look.surface);
  const Colours c = ColoursOf(state, look.dis);
  const QPainterPath shape = RoundedShape(size, look.radius);
  {
    QPainter painter(&image);
    PreparePainter(painter);
    QLinearGradient fill(0, 0, 0, size.height());
    fill.setColorAt(0, c.top);
    fill.setColorAt(1, c.bottom);
    painter.setPen(QPen(c.border, 1));
    painter.setBrush(fill);
    painter.drawPath(shape);
    if (state == ButtonState::Up || state == ButtonState::Over) {
      // A highlight along the top edge makes the key stand out of the panel.
      painter.setPen(QPen(QColor(255, 255, 255, state == ButtonState::Over ? 40 : 26), 1));
      painter.drawLine(QPointF(look.radius, 1.5), QPointF(size.width() - look.radius, 1.5));
    }
    if (state == ButtonState::Down) {
      // Held or selected: sunk, with a glow line along the bottom.
      painter.setPen(QPen(QColor(0, 0, 0, 120), 1));
      painter.drawLine(QPointF(look.radius, 1.5), QPointF(size.width() - look.radius, 1.5));
      painter.setPen(QPen(palette::kAccent, 2));
      painter.drawLine(QPointF(look.radius + 2, size.height() - 3.0),
                       QPointF(size.width() - look.radius - 2, size.height() - 3.0));
    }
    const QRect inner = QRect(QPoint(0, 0), size).adjusted(4, 2, -4, -3);
    painter.setPen(c.ink);
    face(painter, state == ButtonState::Down ? inner.translated(0, 1) : inner, state, c.ink);
  }
  KeyOutside(image, shape);
  return image;
}

QImage SelectedTabPicture(QSize size, const QColor& surface, const ButtonFace& face) {
  QImage image = NewImage(size.width(), size.height(), surface);
  const QPainterPath shape = RoundedShape(size, 6);
  {
    QPainter painter(&image);
    PreparePainter(painter);
    QLinearGradient fill(0, 0, 0, size.height());
    fill.setColorAt(0, QColor(0x1c, 0x3a, 0x46));
    fill.setColorAt(1, QColor(0x12, 0x22, 0x2a));
    painter.setPen(QPen(palette::kAccent, 1));
    painter.setBrush(fill);
    painter.drawPath(shape);
    painter.fillRect(QRect(8, size.height() - 5, size.width() - 16, 3), palette::kAccent);
    face(painter, QRect(QPoint(0, 0), size).adjusted(4, 2, -4, -5), ButtonState::Down,
         QColor(0xd8, 0xf6, 0xff));
  }
  KeyOutside(image, shape);
  return image;
}

QImage SwitchPicture(QSize size, const QColor& surface, ButtonState state) {
  QImage image = NewImage(size.width(), size.height(), surface);
  const bool on = state != ButtonState::Dis;
  const double r = size.height() / 2.0 - 1;
  QPainterPath shape;
  shape.addRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), r, r);
  {
    QPainter painter(&image);
    PreparePainter(painter);
    const QColor track =
        on ? (state == ButtonState::Down ? QColor(0x12, 0x5c, 0x30) : QColor(0x17, 0x6e, 0x3a))
           : QColor(0x24, 0x2a, 0x31);
    painter.setPen(QPen(state == ButtonState::Over ? palette::kAccent
                        : on                       ? palette::kGreen.darker(120)
                                                   : QColor(0x39, 0x42, 0x4d),
                        1));
    painter.setBrush(track);
    painter.drawPath(shape);
    // Knob: right and lit when on, left and dark when off.
    const double knobX = on ? size.width() - r - 1.5 : r + 1.5;
    Lamp(painter, QPointF(knobX, size.height() / 2.0), r - 2.5,
         on ? palette::kGreen : QColor(0x80, 0x80, 0x80), on);
    painter.setFont(LatinFont(8, true));
    painter.setPen(on ? QColor(0xc9, 0xf5, 0xd7) : QColor(0x6a, 0x76, 0x83));
    const QRect label = on ? QRect(3, 0, size.width() - 2 * static_cast<int>(r) - 4, size.height())
                           : QRect(2 * static_cast<int>(r) + 1, 0,
                                   size.width() - 2 * static_cast<int>(r) - 4, size.height());
    painter.drawText(label, Qt::AlignCenter, on ? "ON" : "OFF");
  }
  KeyOutside(image, shape);
  return image;
}

}  // namespace skingen
