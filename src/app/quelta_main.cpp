// quelta: the window that monitors and tunes the PSU.
#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/quelta_options.h"
#include "app/run_quelta.h"
#include "platform/ui/qt/qt_backend.h"

int main(int argc, char** argv) {
  const app::QueltaCommandLine line = app::ReadQueltaCommandLine(
      std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
  if (line.exitCode) return *line.exitCode;
  const app::QueltaOptions& options = line.options;
  // A screenshot needs no display: without one, Qt draws off screen.
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (options.screenshotFile && (!display || !*display) && (!wayland || !*wayland) &&
      !std::getenv("QT_QPA_PLATFORM")) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  ui::qt::QtBackend::UseWholeScaleFactors();
  return app::RunQuelta(options,
                        [&argc, argv] { return std::make_unique<QApplication>(argc, argv); });
}
