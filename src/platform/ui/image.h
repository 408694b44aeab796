#pragma once

#include <filesystem>
#include <memory>

#include "platform/ui/bitmap.h"
#include "platform/ui/control.h"

namespace ui {

// A picture on the window, drawn at the control's top-left corner and clipped to its bounds.
// Transparent drawing leaves the key-colour pixels of the picture out.
class Image : public Control {
 public:
  explicit Image(Window& owner, const Rect& bounds = Rect{});

  const std::shared_ptr<const Bitmap>& Picture() const { return picture_; }
  // Shows the picture (null: nothing). With AutoSize the bounds take the picture's size.
  void SetPicture(std::shared_ptr<const Bitmap> picture);
  // Loads the picture through the application's bitmap cache; throws FileError naming the path.
  void LoadPicture(const std::filesystem::path& path);
  void Clear() { SetPicture(nullptr); }

  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);

#ifdef QUELTA_UI_QT
  void Paint(QPainter& painter) const override;
#endif
  void PaintFrame(FrameCanvas& canvas) const override;
  void AddPicturesDrawn(std::vector<BitmapUse>& uses) const override;

 private:
  void FitToPicture();

  std::shared_ptr<const Bitmap> picture_;
  bool transparent_ = false;
  bool autoSize_ = false;
};

}  // namespace ui
