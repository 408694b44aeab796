#include "platform/ui/qt/qt_tray_host.h"

#include <QPainter>
#include <QPixmap>

#include "platform/ui/tray_icon.h"

namespace ui::qt {
namespace {

constexpr int kIconSize = 32;

// A plain icon for when the program gives none: a green rounded square.
QIcon PlainIcon() {
  QPixmap pixmap(kIconSize, kIconSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor(30, 160, 70));
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(2, 2, kIconSize - 4, kIconSize - 4), 6, 6);
  return QIcon(pixmap);
}

}  // namespace

QtTrayHost::QtTrayHost(TrayIcon& tray)
    : tray_(tray), menu_(std::make_unique<QMenu>()), icon_(std::make_unique<QSystemTrayIcon>()) {
  icon_->setContextMenu(menu_.get());
  QObject::connect(icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
                   [this](QSystemTrayIcon::ActivationReason reason) {
                     if (reason == QSystemTrayIcon::DoubleClick) tray_.InputDoubleClick();
                   });
}

QtTrayHost::~QtTrayHost() {
  icon_->hide();
}

bool QtTrayHost::Available() const {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayHost::RebuildMenu() {
  menu_->clear();
  for (std::size_t i = 0; i < tray_.Menu().size(); ++i) {
    QAction* action = menu_->addAction(QString::fromStdString(tray_.Menu()[i].caption));
    QObject::connect(action, &QAction::triggered, menu_.get(),
                     [this, i] { tray_.InputMenuChoice(i); });
  }
  menuItems_ = tray_.Menu().size();
}

void QtTrayHost::Changed() {
  if (menuItems_ != tray_.Menu().size()) RebuildMenu();
  icon_->setToolTip(QString::fromStdString(tray_.Hint()));
  if (tray_.Icon() && tray_.Icon()->Width() > 0) {
    icon_->setIcon(QIcon(QPixmap::fromImage(tray_.Icon()->Keyed())));
  } else if (icon_->icon().isNull()) {
    icon_->setIcon(PlainIcon());
  }
  icon_->setVisible(tray_.Visible() && Available());
}

}  // namespace ui::qt
