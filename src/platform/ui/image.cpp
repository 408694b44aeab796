#include "platform/ui/image.h"

#ifdef QUELTA_UI_QT
#include <QPainter>
#endif

#include "platform/ui/application.h"
#include "platform/ui/frame_canvas.h"

namespace ui {

Image::Image(Window& owner, const Rect& bounds) : Control(owner) {
  SetBounds(bounds);
}

void Image::SetPicture(std::shared_ptr<const Bitmap> picture) {
  if (picture == picture_) return;
  picture_ = std::move(picture);
  Invalidate();
  FitToPicture();
}

void Image::LoadPicture(const std::filesystem::path& path) {
  SetPicture(App().Bitmaps().Load(path));
}

void Image::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  Invalidate();
}

void Image::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  FitToPicture();
}

void Image::FitToPicture() {
  if (autoSize_ && picture_) SetBounds(Rect{Left(), Top(), picture_->Width(), picture_->Height()});
}

void Image::AddPicturesDrawn(std::vector<BitmapUse>& uses) const {
  if (picture_ && !Bounds().IsEmpty()) uses.push_back({picture_, transparent_});
}

void Image::PaintFrame(FrameCanvas& canvas) const {
  if (!picture_ || Bounds().IsEmpty()) return;
  const Frame& source = picture_->PixelFrame();
  const int w = std::min(Width(), source.width), h = std::min(Height(), source.height);
  canvas.Draw(Point{Left(), Top()}, source, Rect{0, 0, w, h},
              transparent_ ? std::optional(picture_->Key()) : std::nullopt);
}

#ifdef QUELTA_UI_QT
void Image::Paint(QPainter& painter) const {
  if (!picture_ || Bounds().IsEmpty()) return;
  const QImage& source = transparent_ ? picture_->Keyed() : picture_->Opaque();
  const int w = std::min(Width(), source.width());
  const int h = std::min(Height(), source.height());
  if (w <= 0 || h <= 0) return;
  painter.drawImage(QPoint(Left(), Top()), source, QRect(0, 0, w, h));
}
#endif

}  // namespace ui
