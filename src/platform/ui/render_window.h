#pragma once

#ifdef QUELTA_UI_QT
#include <QImage>
#endif
#include <vector>

#include "platform/ui/frame.h"
#include "platform/ui/geometry.h"

namespace ui {

class Window;

struct RenderOptions {
  // Leave edits and combo boxes out (a live window shows real desktop widgets there).
  bool skipNative = false;
};

#ifdef QUELTA_UI_QT
// The window's picture at its client size (RGB32): background, then every visible control in
// creation order. Pixels of the transparent colour are left in that colour.
QImage RenderWindow(const Window& window, const RenderOptions& options = {});

// Paints one area of the window into `target` (which has the window's client size) and
// leaves the rest of it as it was.
void RenderWindowArea(const Window& window, QImage& target, const Rect& area,
                      const RenderOptions& options = {});
// The same for several areas, with one painter.
void RenderWindowAreas(const Window& window, QImage& target, const std::vector<Rect>& areas,
                       const RenderOptions& options = {});

#endif

// The same areas painted into a frame of the window's client size without the toolkit (what the
// window on Windows shows); the rest of the frame is left as it was.
void RenderWindowFrame(const Window& window, Frame& target, const std::vector<Rect>& areas,
                       const RenderOptions& options = {});

#ifdef QUELTA_UI_QT
// The picture with the window's colour key turned see-through (ARGB), for screenshots. A
// rendered picture handed over (not shared) is converted where it lies, without a copy.
QImage KeyedScreenshot(const Window& window, QImage rendered);
#endif

}  // namespace ui
