#pragma once

#include <windows.h>

#include "platform/ui/frame.h"
#include "platform/ui/geometry.h"

namespace ui::win32 {

// Copies one area of the frame (clipped to it) to the device context at the same place, every
// skin pixel `scale` x `scale` device pixels without smoothing, so a bitmap skin stays crisp on
// a screen of higher density. Nothing outside the area is touched. Returns whether the system
// took the copy (an empty area counts as done).
bool PaintFrameArea(HDC dc, const Frame& frame, const Rect& area, int scale = 1);

}  // namespace ui::win32
