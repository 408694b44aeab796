#pragma once

#include <optional>

#include "platform/ui/color.h"
#include "platform/ui/frame.h"
#include "platform/ui/geometry.h"

namespace ui {

// Draws what the scene's controls draw (fills, one-pixel outlines, pictures plain or with
// their key colour see-through) into a frame, without any toolkit, for the window on Windows.
// Every operation stays inside the frame and inside the clip, so a damaged size or a picture
// placed off the frame never writes outside the pixels.
class FrameCanvas {
 public:
  explicit FrameCanvas(Frame& target);

  // The area drawing is limited to (the whole frame at first), always within the frame.
  const Rect& Clip() const { return clip_; }
  void SetClip(const Rect& clip);
  // Narrows the clip; returns the clip before, to be set back.
  Rect IntersectClip(const Rect& clip);

  void Fill(const Rect& rect, Color color);
  // The one-pixel border just inside `rect` (its left and top columns and its right and bottom
  // ones); a rectangle one pixel wide or high is a line.
  void Outline(const Rect& rect, Color color);
  // The part `source` of `picture` with its top-left corner at `at`; what of `source` lies off
  // the picture draws nothing. With a key, pixels of that colour leave the frame as it was.
  void Draw(Point at, const Frame& picture, const Rect& source, std::optional<Color> key);

 private:
  Frame& target_;
  Rect clip_;
};

}  // namespace ui
