#include "platform/ui/win32/frame_paint.h"

namespace ui::win32 {

bool PaintFrameArea(HDC dc, const Frame& frame, const Rect& area, int scale) {
  const Rect clipped = area.Intersected(Rect{0, 0, frame.width, frame.height});
  if (clipped.IsEmpty()) return true;
  if (scale < 1) scale = 1;
  // The bitmap handed over starts at the area's first row and is as tall as the area, so the
  // source rows are counted one way whichever way the system counts a top-down bitmap's rows.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = frame.width;
  info.bmiHeader.biHeight = -clipped.height;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const std::uint32_t* rows =
      frame.pixels.data() + static_cast<std::size_t>(clipped.top) * frame.width;
  if (scale == 1) {
    return ::SetDIBitsToDevice(dc, clipped.left, clipped.top, static_cast<DWORD>(clipped.width),
                               static_cast<DWORD>(clipped.height), clipped.left, 0, 0,
                               static_cast<UINT>(clipped.height), rows, &info, DIB_RGB_COLORS) != 0;
  }
  ::SetStretchBltMode(dc, COLORONCOLOR);  // whole pixels repeated, no blending
  return ::StretchDIBits(dc, clipped.left * scale, clipped.top * scale, clipped.width * scale,
                         clipped.height * scale, clipped.left, 0, clipped.width, clipped.height,
                         rows, &info, DIB_RGB_COLORS, SRCCOPY) != 0;
}

}  // namespace ui::win32
