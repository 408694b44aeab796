#pragma once

#include <QMenu>
#include <QSystemTrayIcon>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/bitmap.h"
#include "platform/ui/tray_host.h"

namespace ui {
class TrayIcon;
}

namespace ui::qt {

// The notification-area icon on the desktop, with its hint and popup menu.
class QtTrayHost : public TrayHost {
 public:
  explicit QtTrayHost(TrayIcon& tray);
  ~QtTrayHost() override;

  bool Available() const override;
  void Changed() override;

 private:
  void RebuildMenu();

  TrayIcon& tray_;
  std::unique_ptr<QMenu> menu_;
  std::unique_ptr<QSystemTrayIcon> icon_;
  std::vector<QAction*> actions_;  // owned by menu_, one per item
  std::string shownHint_;
  std::shared_ptr<const Bitmap> shownIcon_;  // the program's icon as last shown; null: plain
};

}  // namespace ui::qt
