#pragma once

#ifdef QUELTA_UI_QT
#include <QImage>
#endif
#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>

#include "platform/ui/color.h"
#include "platform/ui/decode_failures.h"
#include "platform/ui/frame.h"
#include "platform/ui/geometry.h"

namespace ui {

// A picture, shared and never changed after it is made. Its pixels are decoded on first use:
// loading a file reads only its header (size, and whether it is a picture at all), so the
// pictures of a page that is never shown, and the faces of a button that are never drawn, cost
// a file name and a size. Besides the picture as decoded it keeps a copy in which the key
// colour is see-through, made on the first transparent draw, so drawing transparently costs
// no more than drawing plainly. Any thread may draw it.
class Bitmap {
 public:
  // Reads the header of a picture file (or, with Qt, a Qt resource, ":/..."); throws FileError
  // naming the path when it is missing, unreadable or not a picture (without Qt: not a BMP
  // this program reads itself). The
  // pixels are read when first drawn, through DecodePictureFile; a file refused then draws as
  // an empty picture and is reported once to `failures` (if given). Use the application's
  // BitmapCache instead of calling this directly, so each file is read once.
  static std::shared_ptr<const Bitmap> Load(const std::filesystem::path& path,
                                            std::shared_ptr<const DecodeFailures> failures = {});

  // A picture made in memory (image lists, drawn test pictures). A null image gives an empty
  // bitmap of size 0 x 0.
#ifdef QUELTA_UI_QT
  static std::shared_ptr<const Bitmap> FromImage(const QImage& image, Color key = colors::kMagenta);
#endif
  static std::shared_ptr<const Bitmap> FromFrame(Frame frame, Color key = colors::kMagenta);

  int Width() const {
    return size_.width;
  }
  int Height() const {
    return size_.height;
  }
  Size GetSize() const {
    return size_;
  }
  Color Key() const {
    return key_;
  }

#ifdef QUELTA_UI_QT
  // The picture without transparency (decoded, then made opaque, by the first call).
  const QImage& Opaque() const;
  // The picture with every pixel of the key colour see-through (made by the first call).
  const QImage& Keyed() const;
#endif
  // The picture's pixels as a frame of 32-bit words (made from the opaque copy by the first
  // call), for drawing without the toolkit; the key colour is left in, FrameCanvas keys it out.
  const Frame& PixelFrame() const;
  // Makes now what drawing it plainly or see-through will need (decoding ahead of the paint).
  void Prepare(bool keyed) const;
  // Whether the pixels were decoded yet.
  bool Decoded() const;

  // The same picture with another key colour; the pixels are shared, decoded once for both.
  std::shared_ptr<const Bitmap> WithKey(Color key) const;
  // One rectangle of this picture as a bitmap of its own (clipped to the picture), cut when
  // first drawn.
  std::shared_ptr<const Bitmap> Part(const Rect& rect) const;

#ifdef QUELTA_UI_QT
  Bitmap(const QImage& image, Color key);
#endif
  Bitmap(Frame frame, Color key);

 private:
#ifdef QUELTA_UI_QT
  // Pictures as the toolkit holds them: Qt's own decoders, and QPainter draws them directly.
  using Picture = QImage;
#else
  // Without a toolkit the decoded picture is the frame the window's paint copies from.
  using Picture = Frame;
#endif
  // Where the pixels come from and the pixels once made; shared by every copy of one picture.
  // The picture is kept as decoded (a palette picture at a byte a pixel); the opaque copy is
  // made only for a picture drawn opaque, so one only ever drawn see-through costs its keyed
  // copy and its decoded pixels.
  struct Pixels {
    std::once_flag made;
    std::filesystem::path file;                      // decoded from this file, or
    std::shared_ptr<const DecodeFailures> failures;  // told if that file is refused
    std::shared_ptr<Pixels> whole;  // cut from this picture's pixels (`part` of it), or
    Rect part;
    Picture source;  // taken as it is
    Picture decoded;
    std::atomic<bool> decodedYet{false};
#ifdef QUELTA_UI_QT
    std::once_flag opaqueMade;
    QImage opaque;
    std::once_flag frameMade;
    Frame frame;
#endif
  };
  struct KeyedCopy {
#ifdef QUELTA_UI_QT
    std::once_flag made;
    QImage image;
#endif
  };
  // Only this class makes bitmaps that share their pixels.
  struct Shared {
    explicit Shared() = default;
  };

 public:
  Bitmap(Shared, std::shared_ptr<Pixels> pixels, Size size, Color key);

 private:
  static Pixels& Made(Pixels& pixels);
  // A picture of `size` whose pixels are decoded from `path` when first drawn.
  static std::shared_ptr<const Bitmap> DecodedLater(const std::filesystem::path& path,
                                                    std::shared_ptr<const DecodeFailures> failures,
                                                    Size size);

  std::shared_ptr<Pixels> pixels_;
  // Shared by copies of this bitmap (same picture, same key): made at most once for them all.
  std::shared_ptr<KeyedCopy> keyed_;
  Size size_;
  Color key_;
};

// A picture as a control draws it: plainly (Opaque) or with its key colour see-through (Keyed).
struct BitmapUse {
  std::shared_ptr<const Bitmap> bitmap;
  bool keyed = false;
};

}  // namespace ui
