#include "platform/ui/frame_canvas.h"

#include <algorithm>

namespace ui {

FrameCanvas::FrameCanvas(Frame& target)
    : target_(target), clip_{0, 0, std::max(target.width, 0), std::max(target.height, 0)} {}

void FrameCanvas::SetClip(const Rect& clip) {
  clip_ = clip.Intersected(Rect{0, 0, target_.width, target_.height});
}

Rect FrameCanvas::IntersectClip(const Rect& clip) {
  const Rect before = clip_;
  clip_ = clip_.Intersected(clip);
  return before;
}

void FrameCanvas::Fill(const Rect& rect, Color color) {
  const Rect area = rect.Intersected(clip_);
  if (area.IsEmpty()) return;
  const std::uint32_t word = Frame::Word(color);
  for (int y = area.top; y < area.Bottom(); ++y) {
    std::uint32_t* row = target_.pixels.data() + static_cast<std::size_t>(y) * target_.width;
    std::fill(row + area.left, row + area.Right(), word);
  }
}

void FrameCanvas::Outline(const Rect& rect, Color color) {
  if (rect.IsEmpty()) return;
  Fill(Rect{rect.left, rect.top, rect.width, 1}, color);
  Fill(Rect{rect.left, rect.Bottom() - 1, rect.width, 1}, color);
  Fill(Rect{rect.left, rect.top, 1, rect.height}, color);
  Fill(Rect{rect.Right() - 1, rect.top, 1, rect.height}, color);
}

void FrameCanvas::Draw(Point at, const Frame& picture, const Rect& source,
                       std::optional<Color> key) {
  const Rect from = source.Intersected(Rect{0, 0, picture.width, picture.height});
  if (from.IsEmpty()) return;
  // Picture pixel (source.left + i, source.top + j) lands at (at.x + i, at.y + j); where the
  // part on the picture lands, clipped again to the canvas.
  const int dx = source.left - at.x, dy = source.top - at.y;  // target to picture coordinates
  const Rect to = from.Translated(-dx, -dy).Intersected(clip_);
  if (to.IsEmpty()) return;
  const std::uint32_t keyWord = key ? Frame::Word(*key) : 0;
  for (int y = to.top; y < to.Bottom(); ++y) {
    const std::uint32_t* in =
        picture.pixels.data() + static_cast<std::size_t>(y + dy) * picture.width + dx;
    std::uint32_t* out = target_.pixels.data() + static_cast<std::size_t>(y) * target_.width;
    if (!key) {
      std::copy(in + to.left, in + to.Right(), out + to.left);
      continue;
    }
    for (int x = to.left; x < to.Right(); ++x) {
      const std::uint32_t word = in[x] & 0xFFFFFFu;
      if (word != keyWord) out[x] = word;
    }
  }
}

}  // namespace ui
