#include "paint_kit.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainterPath>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace skingen {

QImage NewImage(int width, int height, const QColor& fill) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(fill);
  return image;
}

void PreparePainter(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
}

QFont UiFont(const Language& language, int pixelSize, bool bold) {
  QFont font(language.fontFamily);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferFullHinting);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

QFont LatinFont(int pixelSize, bool bold) {
  QFont font("Noto Sans");
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

void FitText(QPainter& painter, const QRect& rect, int flags, const QString& text, QFont font,
             const QColor& colour) {
  constexpr int kSmallestPixelSize = 7;
  while (font.pixelSize() > kSmallestPixelSize &&
         QFontMetrics(font).horizontalAdvance(text) > rect.width()) {
    font.setPixelSize(font.pixelSize() - 1);
  }
  painter.setFont(font);
  painter.setPen(colour);
  const QString shown = QFontMetrics(font).elidedText(text, Qt::ElideRight, rect.width());
  painter.drawText(rect, flags, shown);
}

void FitParagraph(QPainter& painter, const QRect& rect, const QString& text, QFont font,
                  const QColor& colour) {
  constexpr int kSmallestPixelSize = 8;
  const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
  while (font.pixelSize() > kSmallestPixelSize &&
         QFontMetrics(font).boundingRect(rect, flags, text).height() > rect.height()) {
    font.setPixelSize(font.pixelSize() - 1);
  }
  painter.setFont(font);
  painter.setPen(colour);
  painter.drawText(rect, flags, text);
}

QString Title(const Language& language, Text text) {
  return language.upperCaseTitles ? language[text].toUpper() : language[text];
}

void PageBackground(QPainter& painter, const QRect& rect) {
  QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
  gradient.setColorAt(0, palette::kPageTop);
  gradient.setColorAt(1, palette::kPageBottom);
  painter.fillRect(rect, gradient);
}

void Card(QPainter& painter, const QRect& rect) {
  constexpr qreal kRadius = 8;
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(palette::kOutline);
  painter.drawRoundedRect(QRectF(rect).adjusted(-1, -1, 1, 1), kRadius + 1, kRadius + 1);
  painter.setBrush(palette::kCardBorder);
  painter.drawRoundedRect(QRectF(rect), kRadius, kRadius);
  painter.setBrush(palette::kCardHighlight);
  painter.drawRoundedRect(QRectF(rect).adjusted(1, 1, -1, -1), kRadius - 1, kRadius - 1);
  painter.setBrush(palette::kCard);
  painter.drawRoundedRect(QRectF(rect).adjusted(1, 2, -1, -1), kRadius - 1, kRadius - 1);
  painter.restore();
}

void CardTitle(QPainter& painter, const QRect& card, const QString& title, const Language& lang) {
  painter.fillRect(QRect(card.left() + 8, card.top() + 10, 3, 11), palette::kAccent);
  FitText(painter, QRect(card.left() + 16, card.top() + 6, card.width() - 28, 18),
          Qt::AlignLeft | Qt::AlignVCenter, title, UiFont(lang, 11, true), palette::kTitle);
}

void LcdWindow(QPainter& painter, const QRect& rect) {
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x3a, 0x45, 0x52));  // lower-right rim catches the light
  painter.drawRoundedRect(QRectF(rect).adjusted(-1, -1, 1, 1), 5, 5);
  painter.setBrush(palette::kOutline);
  painter.drawRoundedRect(QRectF(rect).adjusted(-1, -1, 0, 0), 5, 5);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(rect.adjusted(1, 1, -1, -1), palette::kLcd);
  painter.restore();
}

void Slot(QPainter& painter, const QRect& rect) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(rect.adjusted(-2, -2, 2, 2), QColor(0x3a, 0x45, 0x52));
  painter.fillRect(rect.adjusted(-2, -2, 1, 1), palette::kOutline);
  painter.fillRect(rect.adjusted(-1, -1, 1, 1), palette::kTrack);
  painter.restore();
}

void HeaderBand(QPainter& painter, int width, const QString& title, const Language& lang,
                int titleRight) {
  if (titleRight < 0) titleRight = width - 16;
  constexpr int kHeight = 38;
  QLinearGradient gradient(0, 0, 0, kHeight);
  gradient.setColorAt(0, QColor(0x25, 0x2c, 0x36));
  gradient.setColorAt(1, QColor(0x16, 0x1a, 0x20));
  painter.fillRect(QRect(0, 0, width, kHeight), gradient);
  painter.fillRect(QRect(0, kHeight - 1, width, 1), palette::kOutline);
  painter.fillRect(QRect(0, kHeight - 2, width, 1), QColor(0x2d, 0x35, 0x40));
  // Brand: an accent chevron and the letter-spaced name.
  QPainterPath mark;
  mark.moveTo(16, 11);
  mark.lineTo(26, 19);
  mark.lineTo(16, 27);
  mark.lineTo(20, 19);
  mark.closeSubpath();
  painter.fillPath(mark, palette::kAccent);
  QFont brand = LatinFont(15, true);
  brand.setLetterSpacing(QFont::AbsoluteSpacing, 3);
  painter.setFont(brand);
  painter.setPen(palette::kText);
  painter.drawText(QRect(32, 0, 160, kHeight), Qt::AlignLeft | Qt::AlignVCenter, "QUELTA");
  FitText(painter, QRect(titleRight - 314, 0, 314, kHeight), Qt::AlignRight | Qt::AlignVCenter,
          title, UiFont(lang, 13, true), palette::kTitle);
}

void RoundCorners(QImage& image, int radius, bool top, bool bottom) {
  const int w = image.width(), h = image.height();
  for (int y = 0; y < radius; ++y) {
    for (int x = 0; x < radius; ++x) {
      // Distance of the pixel centre from the corner circle's centre.
      const double dx = radius - (x + 0.5), dy = radius - (y + 0.5);
      const double distance = std::sqrt(dx * dx + dy * dy);
      QRgb colour = 0;
      bool change = true;
      if (distance > radius) {
        colour = palette::kMagenta.rgb();
      } else if (distance > radius - 1.5) {
        colour = palette::kOutline.rgb();
      } else {
        change = false;
      }
      if (!change) continue;
      if (top) {
        image.setPixel(x, y, colour);
        image.setPixel(w - 1 - x, y, colour);
      }
      if (bottom) {
        image.setPixel(x, h - 1 - y, colour);
        image.setPixel(w - 1 - x, h - 1 - y, colour);
      }
    }
  }
}

void KeyOutside(QImage& image, const QPainterPath& shape) {
  QImage coverage(image.size(), QImage::Format_Grayscale8);
  coverage.fill(0);
  {
    QPainter painter(&coverage);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(shape, Qt::white);
  }
  for (int y = 0; y < image.height(); ++y) {
    const uchar* line = coverage.constScanLine(y);
    for (int x = 0; x < image.width(); ++x) {
      if (line[x] == 0) image.setPixel(x, y, palette::kMagenta.rgb());
    }
  }
}

}  // namespace skingen
