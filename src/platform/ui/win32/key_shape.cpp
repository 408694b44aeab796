#include "platform/ui/win32/key_shape.h"

#include <cstring>

namespace ui::win32 {
namespace {

// A region of the given rectangles, made in one call from region data.
HRGN RegionOf(const std::vector<Rect>& rects, int scale) {
  std::vector<unsigned char> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  RGNDATAHEADER header{};
  header.dwSize = sizeof header;
  header.iType = RDH_RECTANGLES;
  header.nCount = static_cast<DWORD>(rects.size());
  header.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  RECT bounds{0, 0, 0, 0};
  std::vector<RECT> out;
  out.reserve(rects.size());
  for (const Rect& r : rects) {
    out.push_back(RECT{r.left * scale, r.top * scale, r.Right() * scale, r.Bottom() * scale});
    if (out.size() == 1) {
      bounds = out.back();
    } else {
      bounds.left = std::min(bounds.left, out.back().left);
      bounds.top = std::min(bounds.top, out.back().top);
      bounds.right = std::max(bounds.right, out.back().right);
      bounds.bottom = std::max(bounds.bottom, out.back().bottom);
    }
  }
  header.rcBound = bounds;
  std::memcpy(data.data(), &header, sizeof header);
  if (!out.empty()) std::memcpy(data.data() + sizeof header, out.data(), out.size() * sizeof(RECT));
  return ::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                           reinterpret_cast<const RGNDATA*>(data.data()));
}

}  // namespace

std::vector<Rect> OpaqueRuns(const Frame& frame, Color key) {
  const std::uint32_t keyWord = Frame::Word(key);
  std::vector<Rect> rects;
  // Indices into `rects` of the runs that end on the row above, to be extended downwards.
  std::vector<std::size_t> above, here;
  for (int y = 0; y < frame.height; ++y) {
    here.clear();
    std::size_t next = 0;  // runs of the row above are in column order, as are this row's
    int x = 0;
    while (x < frame.width) {
      while (x < frame.width && (frame.At(x, y) & 0xFFFFFFu) == keyWord) ++x;
      if (x == frame.width) break;
      const int start = x;
      while (x < frame.width && (frame.At(x, y) & 0xFFFFFFu) != keyWord) ++x;
      while (next < above.size() && rects[above[next]].left < start) ++next;
      if (next < above.size() && rects[above[next]].left == start &&
          rects[above[next]].Right() == x) {
        ++rects[above[next]].height;
        here.push_back(above[next]);
      } else {
        rects.push_back(Rect{start, y, x - start, 1});
        here.push_back(rects.size() - 1);
      }
    }
    std::swap(above, here);
  }
  return rects;
}

bool KeyShape::Apply(HWND window, const Frame& frame, std::optional<Color> key, int scale) {
  std::optional<std::vector<Rect>> shape;
  if (key) shape = OpaqueRuns(frame, *key);
  const Size size{frame.width, frame.height};
  if (applied_ && shape == shape_ && size == size_ && scale == scale_) return false;
  // The system owns the region once it is the window's; none means the whole window.
  HRGN region = shape ? RegionOf(*shape, scale) : nullptr;
  if (::SetWindowRgn(window, region, TRUE) == 0) {
    if (region != nullptr) ::DeleteObject(region);
    return false;
  }
  applied_ = true;
  shape_ = std::move(shape);
  size_ = size;
  scale_ = scale;
  ++rebuilds_;
  return true;
}

}  // namespace ui::win32
