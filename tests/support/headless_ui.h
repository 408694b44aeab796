#pragma once

#include <QColor>
#include <QImage>

#include "platform/ui/application.h"
#include "platform/ui/headless_backend.h"
#include "platform/ui/headless_event_loop.h"
#include "platform/ui/scripted_dialogs.h"

namespace ui::testing {

// A whole headless framework: virtual-time loop, scripted dialogs, headless backend.
struct HeadlessUi {
  HeadlessEventLoop loop;
  ScriptedDialogs dialogs;
  HeadlessBackend backend;
  Application app{loop, dialogs, backend};

  std::vector<std::string> Errors() const { return dialogs.Texts(ScriptedDialogs::Kind::Error); }
};

// A picture of one colour, optionally with a magenta square in its middle.
inline QImage SolidPicture(int w, int h, QColor color, bool magentaHole = false) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(color);
  if (magentaHole) {
    for (int y = h / 4; y < h - h / 4; ++y) {
      for (int x = w / 4; x < w - w / 4; ++x) image.setPixel(x, y, qRgb(255, 0, 255));
    }
  }
  return image;
}

}  // namespace ui::testing
