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
  actions_.clear();
  for (std::size_t i = 0; i < tray_.Menu().size(); ++i) {
    const TrayIcon::MenuItem& item = tray_.Menu()[i];
    QAction* action = menu_->addAction(QString::fromStdString(item.caption));
    action->setCheckable(item.checkable);
    action->setChecked(item.checked);
    QObject::connect(action, &QAction::triggered, menu_.get(),
                     [this, i] { tray_.InputMenuChoice(i); });
    actions_.push_back(action);
  }
}

void QtTrayHost::Changed() {
  // Only what changed reaches the desktop: the hint changes with every reading, and setting
  // the icon again would redraw it in the notification area each time.
  // A check mark turned over while its action is still being triggered: the action stays,
  // only its mark follows.
  if (actions_.size() != tray_.Menu().size()) {
    RebuildMenu();
  } else {
    for (std::size_t i = 0; i < actions_.size(); ++i) {
      if (actions_[i]->isChecked() != tray_.Menu()[i].checked) {
        actions_[i]->setChecked(tray_.Menu()[i].checked);
      }
    }
  }
  if (tray_.Hint() != shownHint_) {
    shownHint_ = tray_.Hint();
    icon_->setToolTip(QString::fromStdString(shownHint_));
  }
  const bool hasIcon = tray_.Icon() && tray_.Icon()->Width() > 0;
  if (hasIcon && tray_.Icon() != shownIcon_) {
    shownIcon_ = tray_.Icon();
    icon_->setIcon(QIcon(QPixmap::fromImage(tray_.Icon()->Keyed())));
  } else if (!hasIcon && (shownIcon_ || icon_->icon().isNull())) {
    shownIcon_ = nullptr;
    icon_->setIcon(PlainIcon());
  }
  const bool visible = tray_.Visible() && Available();
  if (visible != icon_->isVisible()) icon_->setVisible(visible);
}

}  // namespace ui::qt
