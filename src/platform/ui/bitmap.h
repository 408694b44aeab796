#pragma once

#include <QImage>
#include <filesystem>
#include <memory>
#include <mutex>

#include "platform/ui/color.h"
#include "platform/ui/geometry.h"

namespace ui {

// A decoded picture, shared and never changed after it is made. Besides the picture as it
// was decoded it keeps a copy in which the key colour is see-through, made once on the first
// transparent draw (most pictures are never drawn so, and start-up need not pay for them),
// so drawing transparently costs no more than drawing plainly.
class Bitmap {
 public:
  // Reads a picture file (or a Qt resource, ":/...") through Qt's image reader; throws
  // FileError naming the path when it is missing, unreadable or not a picture. Use the
  // application's BitmapCache instead of calling this directly, so each file is decoded once.
  static std::shared_ptr<const Bitmap> Load(const std::filesystem::path& path);

  // A picture made in memory (image lists, drawn test pictures). A null image gives an empty
  // bitmap of size 0 x 0.
  static std::shared_ptr<const Bitmap> FromImage(const QImage& image, Color key = colors::kMagenta);

  int Width() const { return opaque_.width(); }
  int Height() const { return opaque_.height(); }
  Size GetSize() const { return Size{Width(), Height()}; }
  Color Key() const { return key_; }

  // The picture as decoded, without transparency.
  const QImage& Opaque() const { return opaque_; }
  // The picture with every pixel of the key colour see-through (made by the first call; any
  // thread may call it).
  const QImage& Keyed() const;

  // The same picture with another key colour (computed now, not cached).
  std::shared_ptr<const Bitmap> WithKey(Color key) const;
  // One rectangle of this picture as a bitmap of its own (clipped to the picture).
  std::shared_ptr<const Bitmap> Part(const Rect& rect) const;

  Bitmap(const QImage& image, Color key);

 private:
  struct KeyedCopy {
    std::once_flag made;
    QImage image;
  };

  QImage opaque_;
  QImage translucent_;  // the decoded picture, kept only when it has an alpha channel
  // Shared by copies of this bitmap (same picture, same key): made at most once for them all.
  std::shared_ptr<KeyedCopy> keyed_;
  Color key_;
};

}  // namespace ui
