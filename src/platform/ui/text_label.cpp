#include "platform/ui/text_label.h"

#ifdef QUELTA_UI_QT
#include <QGuiApplication>
#ifdef QUELTA_UI_QT
#include <QPainter>
#endif
#endif
#include <algorithm>

namespace ui {
namespace {

// The text is half as high as the label, so that a line of sixty characters fits a label as
// wide as the skinned window.
constexpr int kTextHeightDivisor = 2;
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

#ifdef QUELTA_UI_QT
void TextLabel::Paint(QPainter& painter) const {
  const QRect box(Left(), Top(), Width(), Height());
  // Text needs the font machinery of a GUI application; without one nothing is drawn.
  if (box.isEmpty() || qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
    return;
  painter.save();
  painter.setClipRect(box);
  painter.setPen(QColor(ink_.red, ink_.green, ink_.blue));
  QFont font = painter.font();
  font.setPixelSize(std::max(kSmallestText, Height() / kTextHeightDivisor));
  painter.setFont(font);
  painter.drawText(box.adjusted(kLeftInset, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(text_));
  painter.restore();
}
#endif

}  // namespace ui
