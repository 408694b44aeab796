#pragma once

#include <memory>
#include <vector>

#include "platform/ui/bitmap.h"

namespace ui {

class Image;

// Pictures of one cell size, by index (digit sets, gauge frames, fan frames).
class ImageList {
 public:
  ImageList(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const { return static_cast<int>(pictures_.size()); }

  // Adds the picture; one wider than a cell is a strip cut into as many whole cells as fit,
  // left to right. Each cell is clipped to the cell size. Returns how many pictures were added.
  int Add(const std::shared_ptr<const Bitmap>& picture);

  // Picture k, or null when k is outside 0 .. Count() - 1.
  std::shared_ptr<const Bitmap> Picture(int index) const;

  // Shows picture k in the image. An index outside the list draws nothing: the image is left
  // empty and nothing outside the list is read. Returns whether a picture was drawn.
  bool Draw(Image& target, int index) const;

 private:
  int width_;
  int height_;
  std::vector<std::shared_ptr<const Bitmap>> pictures_;
};

}  // namespace ui
