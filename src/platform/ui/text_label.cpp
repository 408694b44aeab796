#include "platform/ui/text_label.h"

#include <QGuiApplication>
#include <QPainter>
#include <algorithm>

namespace ui {
namespace {

// The text fills the label's height but for this margin above and below.
constexpr int kTextMargin = 6;
constexpr int kSmallestText = 8;
constexpr int kLeftInset = 8;

}  // namespace

TextLabel::TextLabel(Window& owner, const Rect& bounds, Color ink) : Control(owner), ink_(ink) {
  SetBounds(bounds);
}

void TextLabel::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Invalidate();
}

void TextLabel::Paint(QPainter& painter) const {
  const QRect box(Left(), Top(), Width(), Height());
  // Text needs the font machinery of a GUI application; without one nothing is drawn.
  if (box.isEmpty() || qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
    return;
  painter.save();
  painter.setClipRect(box);
  painter.setPen(QColor(ink_.red, ink_.green, ink_.blue));
  QFont font = painter.font();
  font.setPixelSize(std::max(kSmallestText, Height() - 2 * kTextMargin));
  painter.setFont(font);
  painter.drawText(box.adjusted(kLeftInset, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(text_));
  painter.restore();
}

}  // namespace ui
