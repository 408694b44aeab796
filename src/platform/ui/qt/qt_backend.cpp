#include "platform/ui/qt/qt_backend.h"

#include <QGuiApplication>

#include "platform/ui/qt/qt_tray_host.h"
#include "platform/ui/qt/qt_window_host.h"

namespace ui::qt {

std::unique_ptr<WindowHost> QtBackend::CreateWindowHost(Window& window) {
  return std::make_unique<QtWindowHost>(window, scale_);
}

std::unique_ptr<TrayHost> QtBackend::CreateTrayHost(TrayIcon& tray) {
  return std::make_unique<QtTrayHost>(tray);
}

void QtBackend::UseWholeScaleFactors() {
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
}

}  // namespace ui::qt
