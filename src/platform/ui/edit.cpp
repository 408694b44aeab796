#include "platform/ui/edit.h"

#ifdef QUELTA_UI_QT
#include <QGuiApplication>
#ifdef QUELTA_UI_QT
#include <QPainter>
#endif
#endif

#include "platform/ui/frame_canvas.h"

namespace ui {

Edit::Edit(Window& owner, const Rect& bounds) : Control(owner) {
  SetBounds(bounds);
  NotifyChanged();
}

void Edit::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Invalidate();
  NotifyChanged();
}

void Edit::SetBorderless(bool borderless) {
  borderless_ = borderless;
  Invalidate();
  NotifyChanged();
}

void Edit::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  NotifyChanged();
}

void Edit::SetBackgroundColor(std::optional<Color> color) {
  background_ = color;
  Invalidate();
  NotifyChanged();
}

void Edit::SetTextColor(Color color) {
  textColor_ = color;
  Invalidate();
  NotifyChanged();
}

void Edit::InputText(std::string text) {
  if (!Enabled() || readOnly_ || text == text_) return;
  text_ = std::move(text);
  Invalidate();
  if (OnChange) {
    const auto routine = OnChange;
    routine(*this);
  }
}

void Edit::PaintFrame(FrameCanvas& canvas) const {
  if (Bounds().IsEmpty()) return;
  if (background_) canvas.Fill(Bounds(), *background_);
  if (!borderless_) canvas.Outline(Bounds(), Color{122, 122, 122});
}

#ifdef QUELTA_UI_QT
void Edit::Paint(QPainter& painter) const {
  const QRect box(Left(), Top(), Width(), Height());
  if (box.isEmpty()) return;
  if (background_)
    painter.fillRect(box, QColor(background_->red, background_->green, background_->blue));
  if (!borderless_) {
    painter.setPen(QColor(122, 122, 122));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
  }
  // Text needs the font machinery of a GUI application; without one the box stays empty.
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return;
  painter.save();
  painter.setClipRect(box);
  const Color ink = Enabled() ? textColor_ : colors::kGrey;
  painter.setPen(QColor(ink.red, ink.green, ink.blue));
  QFont font = painter.font();
  font.setPixelSize(std::max(8, Height() - 3));
  painter.setFont(font);
  painter.drawText(box.adjusted(2, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(text_));
  painter.restore();
}
#endif

}  // namespace ui
