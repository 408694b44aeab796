#include "platform/ui/bitmap.h"

#ifdef QUELTA_UI_QT
#include <QFile>
#include <QImageReader>
#include <QString>
#endif
#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>

#include "platform/ui/bmp_header.h"
#include "platform/ui/file_error.h"
#include "platform/ui/picture_decode.h"

namespace ui {
namespace {

#ifdef QUELTA_UI_QT
QImage KeyOut(const QImage& picture, Color key) {
  QImage keyed = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QRgb keyRgb = qRgb(key.red, key.green, key.blue);
  for (int y = 0; y < keyed.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
    for (int x = 0; x < keyed.width(); ++x) {
      if ((line[x] | 0xFF000000u) == keyRgb && qAlpha(line[x]) == 0xFF) line[x] = 0;
    }
  }
  return keyed;
}

QString NameOf(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

// The size of a BMP file (or resource) that opens and whose header this program reads itself:
// one open and one read, where Qt's reader looks the file up several times and loads its
// plugins to probe it. Nullopt for anything else (a missing file, a folder, another format),
// which Qt's reader then tells.
std::optional<Size> SizeOfReadableBmp(const std::filesystem::path& path, bool resource) {
  std::array<unsigned char, kBmpHeadBytes> head{};
  std::int64_t got = 0;
  if (resource) {
    QFile in(NameOf(path));
    if (in.open(QIODevice::ReadOnly))
      got = in.read(reinterpret_cast<char*>(head.data()), head.size());
  } else {
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(head.data()), head.size());
    got = in.gcount();
  }
  return BmpSize(std::span(head.data(), static_cast<std::size_t>(std::max<std::int64_t>(got, 0))));
}
#else
std::optional<Size> SizeOfReadableBmp(const std::filesystem::path& path) {
  std::array<unsigned char, kBmpHeadBytes> head{};
  std::ifstream in(path, std::ios::binary);
  in.read(reinterpret_cast<char*>(head.data()), head.size());
  return BmpSize(std::span(head.data(), static_cast<std::size_t>(in.gcount())));
}

// The rectangle `part` of `whole`, which holds it.
Frame CutFrame(const Frame& whole, const Rect& part) {
  Frame cut = Frame::Filled(part.width, part.height, Color{});
  for (int y = 0; y < part.height; ++y) {
    const auto from =
        whole.pixels.begin() + static_cast<std::ptrdiff_t>(part.top + y) * whole.width + part.left;
    std::copy(from, from + part.width,
              cut.pixels.begin() + static_cast<std::ptrdiff_t>(y) * part.width);
  }
  return cut;
}
#endif

}  // namespace

#ifdef QUELTA_UI_QT
Bitmap::Bitmap(const QImage& image, Color key)
    : pixels_(std::make_shared<Pixels>()),
      keyed_(std::make_shared<KeyedCopy>()),
      size_{image.width(), image.height()},
      key_(key) {
  if (image.isNull()) size_ = Size{0, 0};
  pixels_->source = image;
}

Bitmap::Bitmap(Frame frame, Color key) : Bitmap(QImage(), key) {
  if (frame.width <= 0 || frame.height <= 0) return;
  QImage image(frame.width, frame.height, QImage::Format_RGB32);
  for (int y = 0; y < frame.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < frame.width; ++x) line[x] = frame.At(x, y) | 0xFF000000u;
  }
  size_ = Size{frame.width, frame.height};
  pixels_->source = std::move(image);
}
#else
Bitmap::Bitmap(Frame frame, Color key)
    : pixels_(std::make_shared<Pixels>()),
      keyed_(std::make_shared<KeyedCopy>()),
      size_{frame.width, frame.height},
      key_(key) {
  if (frame.width <= 0 || frame.height <= 0) {
    size_ = Size{0, 0};
    frame = Frame{};
  }
  pixels_->source = std::move(frame);
}
#endif

Bitmap::Bitmap(Shared, std::shared_ptr<Pixels> pixels, Size size, Color key)
    : pixels_(std::move(pixels)), keyed_(std::make_shared<KeyedCopy>()), size_(size), key_(key) {}

Bitmap::Pixels& Bitmap::Made(Pixels& p) {
  std::call_once(p.made, [&p] {
    if (!p.file.empty()) {
      PictureDecode picture = DecodePictureFile(p.file);
      p.decoded = std::move(picture.image);
      if (!picture.problem.empty() && p.failures)
        p.failures->Report(FileError(p.file, picture.problem));
      p.failures.reset();
    } else if (p.whole) {
#ifdef QUELTA_UI_QT
      p.decoded = Made(*p.whole).decoded.copy(p.part.left, p.part.top, p.part.width, p.part.height);
#else
      const Frame& whole = Made(*p.whole).decoded;
      // A refused picture has no pixels to cut from: its cells draw as empty pictures.
      if (Rect{0, 0, whole.width, whole.height}.Contains(p.part)) {
        p.decoded = CutFrame(whole, p.part);
      }
#endif
      p.whole.reset();  // a cell keeps only its own pixels
    } else {
      p.decoded = std::move(p.source);
      p.source = Picture();
    }
    p.decodedYet.store(true, std::memory_order_release);
  });
  return p;
}

#ifdef QUELTA_UI_QT
const QImage& Bitmap::Opaque() const {
  Pixels& p = Made(*pixels_);
  std::call_once(p.opaqueMade, [&p] {
    if (!p.decoded.isNull()) p.opaque = p.decoded.convertToFormat(QImage::Format_RGB32);
  });
  return p.opaque;
}

const Frame& Bitmap::PixelFrame() const {
  const QImage& opaque = Opaque();
  Pixels& p = *pixels_;
  std::call_once(p.frameMade, [&p, &opaque] {
    p.frame = Frame::Filled(opaque.width(), opaque.height(), Color{});
    for (int y = 0; y < opaque.height(); ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(opaque.constScanLine(y));
      for (int x = 0; x < opaque.width(); ++x) p.frame.At(x, y) = line[x] & 0xFFFFFFu;
    }
  });
  return p.frame;
}
#else
const Frame& Bitmap::PixelFrame() const {
  return Made(*pixels_).decoded;
}
#endif

void Bitmap::Prepare([[maybe_unused]] bool keyed) const {
#ifdef QUELTA_UI_QT
  if (keyed) {
    Keyed();
  } else {
    Opaque();
  }
#else
  PixelFrame();
#endif
}

bool Bitmap::Decoded() const {
  return pixels_->decodedYet.load(std::memory_order_acquire);
}

#ifdef QUELTA_UI_QT
const QImage& Bitmap::Keyed() const {
  std::call_once(keyed_->made, [this] {
    const Pixels& p = Made(*pixels_);
    if (!p.decoded.isNull()) keyed_->image = KeyOut(p.decoded, key_);
  });
  return keyed_->image;
}
#endif

std::shared_ptr<const Bitmap> Bitmap::DecodedLater(const std::filesystem::path& path,
                                                   std::shared_ptr<const DecodeFailures> failures,
                                                   Size size) {
  auto pixels = std::make_shared<Pixels>();
  pixels->file = path;
  pixels->failures = std::move(failures);
  return std::make_shared<const Bitmap>(Shared{}, std::move(pixels), size, colors::kMagenta);
}

std::shared_ptr<const Bitmap> Bitmap::Load(const std::filesystem::path& path,
                                           std::shared_ptr<const DecodeFailures> failures) {
  if (path.empty()) throw FileError(path, "no file name");
#ifndef QUELTA_UI_QT
  if (const std::optional<Size> size = SizeOfReadableBmp(path)) {
    return DecodedLater(path, std::move(failures), *size);
  }
  std::error_code error;
  if (!std::filesystem::exists(path, error)) throw FileError(path, "file not found");
  if (std::filesystem::is_directory(path, error)) throw FileError(path, "is a folder");
  throw FileError(path, "is not a BMP picture this program reads");
#else
  // ":/..." names a picture compiled into the program as a Qt resource.
  const bool resource = path.native().front() == ':';
  if (const std::optional<Size> size = SizeOfReadableBmp(path, resource)) {
    return DecodedLater(path, std::move(failures), *size);
  }
  std::error_code error;
  if (!resource && !std::filesystem::exists(path, error)) throw FileError(path, "file not found");
  if (!resource && std::filesystem::is_directory(path, error)) throw FileError(path, "is a folder");
  QImageReader reader(NameOf(path));
  // The header tells the size; a reader that cannot tell it without decoding decodes now.
  QSize size = reader.canRead() ? reader.size() : QSize();
  auto pixels = std::make_shared<Pixels>();
  if (!size.isValid()) {
    PictureDecode picture = DecodePictureFile(path);
    if (picture.image.isNull()) throw FileError(path, picture.problem);
    size = picture.image.size();
    pixels->source = std::move(picture.image);
  } else {
    pixels->file = path;
    pixels->failures = std::move(failures);
  }
  return std::make_shared<const Bitmap>(Shared{}, std::move(pixels),
                                        Size{size.width(), size.height()}, colors::kMagenta);
#endif
}

#ifdef QUELTA_UI_QT
std::shared_ptr<const Bitmap> Bitmap::FromImage(const QImage& image, Color key) {
  return std::make_shared<const Bitmap>(image, key);
}
#endif

std::shared_ptr<const Bitmap> Bitmap::FromFrame(Frame frame, Color key) {
  return std::make_shared<const Bitmap>(std::move(frame), key);
}

std::shared_ptr<const Bitmap> Bitmap::WithKey(Color key) const {
  if (key == key_) return std::make_shared<const Bitmap>(*this);
  return std::make_shared<const Bitmap>(Shared{}, pixels_, size_, key);
}

std::shared_ptr<const Bitmap> Bitmap::Part(const Rect& rect) const {
  const Rect clipped = rect.Intersected(Rect{0, 0, Width(), Height()});
  if (clipped.IsEmpty()) return std::make_shared<const Bitmap>(Frame{}, key_);
  auto pixels = std::make_shared<Pixels>();
  pixels->whole = pixels_;
  pixels->part = clipped;
  return std::make_shared<const Bitmap>(Shared{}, std::move(pixels),
                                        Size{clipped.width, clipped.height}, key_);
}

}  // namespace ui
