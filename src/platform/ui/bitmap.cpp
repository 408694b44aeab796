#include "platform/ui/bitmap.h"

#include <QImageReader>
#include <QString>
#include <system_error>

#include "platform/ui/file_error.h"

namespace ui {
namespace {

QImage KeyOut(const QImage& opaque, Color key) {
  QImage keyed = opaque.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QRgb keyRgb = qRgb(key.red, key.green, key.blue);
  for (int y = 0; y < keyed.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
    for (int x = 0; x < keyed.width(); ++x) {
      if ((line[x] | 0xFF000000u) == keyRgb && qAlpha(line[x]) == 0xFF) line[x] = 0;
    }
  }
  return keyed;
}

}  // namespace

Bitmap::Bitmap(const QImage& image, Color key)
    : opaque_(image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32)),
      translucent_(image.hasAlphaChannel() ? image : QImage()),
      keyed_(std::make_shared<KeyedCopy>()),
      key_(key) {}

const QImage& Bitmap::Keyed() const {
  std::call_once(keyed_->made, [this] {
    if (!opaque_.isNull())
      keyed_->image = KeyOut(translucent_.isNull() ? opaque_ : translucent_, key_);
  });
  return keyed_->image;
}

std::shared_ptr<const Bitmap> Bitmap::Load(const std::filesystem::path& path) {
  if (path.empty()) throw FileError(path, "no file name");
  // ":/..." names a picture compiled into the program as a Qt resource.
  const bool resource = path.native().front() == ':';
  std::error_code error;
  if (!resource && !std::filesystem::exists(path, error)) throw FileError(path, "file not found");
  if (!resource && std::filesystem::is_directory(path, error)) throw FileError(path, "is a folder");
  QImageReader reader(QString::fromStdString(path.string()));
  QImage image = reader.read();
  if (image.isNull()) throw FileError(path, reader.errorString().toStdString());
  return std::make_shared<const Bitmap>(image, colors::kMagenta);
}

std::shared_ptr<const Bitmap> Bitmap::FromImage(const QImage& image, Color key) {
  return std::make_shared<const Bitmap>(image, key);
}

std::shared_ptr<const Bitmap> Bitmap::WithKey(Color key) const {
  if (key == key_) return std::make_shared<const Bitmap>(*this);
  return std::make_shared<const Bitmap>(opaque_, key);
}

std::shared_ptr<const Bitmap> Bitmap::Part(const Rect& rect) const {
  const Rect clipped = rect.Intersected(Rect{0, 0, Width(), Height()});
  if (clipped.IsEmpty()) return std::make_shared<const Bitmap>(QImage(), key_);
  return std::make_shared<const Bitmap>(
      opaque_.copy(clipped.left, clipped.top, clipped.width, clipped.height), key_);
}

}  // namespace ui
