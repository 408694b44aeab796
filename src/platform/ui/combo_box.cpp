#include "platform/ui/combo_box.h"

#ifdef QUELTA_UI_QT
#include <QGuiApplication>
#ifdef QUELTA_UI_QT
#include <QPainter>
#endif
#endif

#include "platform/ui/frame_canvas.h"

namespace ui {

ComboBox::ComboBox(Window& owner, const Rect& bounds) : Control(owner) {
  SetBounds(bounds);
  NotifyChanged();
}

void ComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemIndex_ = -1;
  Invalidate();
  NotifyChanged();
}

void ComboBox::SetItemIndex(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  Invalidate();
  NotifyChanged();
}

std::string ComboBox::SelectedText() const {
  return itemIndex_ < 0 ? std::string() : items_[static_cast<std::size_t>(itemIndex_)];
}

void ComboBox::InputSelect(int index) {
  if (!Enabled() || index < 0 || index >= static_cast<int>(items_.size()) || index == itemIndex_) {
    return;
  }
  itemIndex_ = index;
  Invalidate();
  if (OnChange) {
    const auto routine = OnChange;
    routine(*this);
  }
}

void ComboBox::PaintFrame(FrameCanvas& canvas) const {
  if (Bounds().IsEmpty()) return;
  canvas.Fill(Bounds(), Enabled() ? Color{255, 255, 255} : Color{240, 240, 240});
  canvas.Outline(Bounds(), Color{122, 122, 122});
}

#ifdef QUELTA_UI_QT
void ComboBox::Paint(QPainter& painter) const {
  const QRect box(Left(), Top(), Width(), Height());
  if (box.isEmpty()) return;
  painter.fillRect(box, Enabled() ? QColor(255, 255, 255) : QColor(240, 240, 240));
  painter.setPen(QColor(122, 122, 122));
  painter.drawRect(box.adjusted(0, 0, -1, -1));
  // The drop-down arrow.
  const int arrow = std::min(box.height() / 3, 5);
  const QPoint tip(box.right() - 6, box.center().y() + arrow / 2);
  painter.setBrush(QColor(60, 60, 60));
  painter.setPen(Qt::NoPen);
  const QPoint triangle[] = {QPoint(tip.x() - arrow, tip.y() - arrow),
                             QPoint(tip.x() + arrow, tip.y() - arrow), tip};
  painter.drawPolygon(triangle, 3);
  painter.setBrush(Qt::NoBrush);
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return;
  painter.save();
  painter.setClipRect(box.adjusted(0, 0, -14, 0));
  painter.setPen(Enabled() ? QColor(0, 0, 0) : QColor(128, 128, 128));
  QFont font = painter.font();
  font.setPixelSize(std::max(8, Height() - 6));
  painter.setFont(font);
  painter.drawText(box.adjusted(3, 0, -14, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(SelectedText()));
  painter.restore();
}
#endif

}  // namespace ui
