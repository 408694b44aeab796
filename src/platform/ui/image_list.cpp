#include "platform/ui/image_list.h"

#include <algorithm>

#include "platform/ui/image.h"

namespace ui {

ImageList::ImageList(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {}

int ImageList::Add(const std::shared_ptr<const Bitmap>& picture) {
  if (!picture || picture->Width() == 0 || width_ == 0 || height_ == 0) return 0;
  const int cells = std::max(picture->Width() / width_, 1);
  for (int i = 0; i < cells; ++i) {
    const bool exact = cells == 1 && picture->Width() == width_ && picture->Height() == height_;
    pictures_.push_back(exact ? picture : picture->Part(Rect{i * width_, 0, width_, height_}));
  }
  return cells;
}

std::shared_ptr<const Bitmap> ImageList::Picture(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return pictures_[static_cast<std::size_t>(index)];
}

bool ImageList::Draw(Image& target, int index) const {
  auto picture = Picture(index);
  const bool drawn = picture != nullptr;
  target.SetPicture(std::move(picture));
  return drawn;
}

}  // namespace ui
