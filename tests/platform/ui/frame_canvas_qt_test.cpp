#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/frame_canvas.h"

namespace ui {
namespace {

constexpr int kWidth = 24, kHeight = 20;
constexpr Color kKey = colors::kMagenta;

// A background where every pixel differs, so a pixel written where it should not be shows.
Frame Background() {
  Frame frame = Frame::Filled(kWidth, kHeight, Color{});
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) frame.At(x, y) = 0x400000u | (std::uint32_t(x) << 8) | y;
  return frame;
}

// A 7 x 5 picture, numbered likewise, with key-colour pixels at its corners and in its middle.
Frame Picture() {
  Frame frame = Frame::Filled(7, 5, Color{});
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) frame.At(x, y) = 0x008000u | (std::uint32_t(x) << 16) | y;
  for (const auto& [x, y] : {std::pair{0, 0}, {6, 0}, {0, 4}, {6, 4}, {3, 2}, {4, 2}})
    frame.At(x, y) = Frame::Word(kKey);
  return frame;
}

QImage ToQImage(const Frame& frame) {
  QImage image(frame.width, frame.height, QImage::Format_RGB32);
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x) image.setPixel(x, y, 0xFF000000u | frame.At(x, y));
  return image;
}

// The picture as the Qt window draws it see-through: key pixels with no alpha.
QImage KeyedQImage(const Frame& frame) {
  QImage image = ToQImage(frame).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x)
      if (frame.At(x, y) == Frame::Word(kKey)) image.setPixel(x, y, 0);
  return image;
}

int Differing(const Frame& ours, const QImage& qt) {
  int differing = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) differing += (qt.pixel(x, y) & 0xFFFFFFu) != ours.At(x, y);
  return differing;
}

QRect Q(const Rect& r) {
  return QRect(r.left, r.top, r.width, r.height);
}

// Each drawing done by ours and by QPainter under each clip (whole, inside, running off every
// edge, empty) gives the same pixels.
TEST(FrameCanvas, DrawsWhatQPainterDrawsUnderEveryClip) {
  const Frame picture = Picture();
  const QImage opaque = ToQImage(picture), keyed = KeyedQImage(picture);
  const Color ink{10, 200, 30};
  struct Op {
    std::string name;
    std::function<void(FrameCanvas&)> ours;
    std::function<void(QPainter&)> qt;
  };
  std::vector<Op> ops;
  for (const Rect& r : {Rect{2, 2, 8, 6}, Rect{-3, 10, 8, 20}, Rect{18, -2, 10, 5}}) {
    ops.push_back({"fill", [=](FrameCanvas& c) { c.Fill(r, ink); },
                   [=](QPainter& p) { p.fillRect(Q(r), QColor(10, 200, 30)); }});
  }
  // Outlines are the borders of boxes inside the window. (Qt leaves one corner pixel out of an
  // outline that starts left of the picture, so none here does; the clips cut them instead.)
  for (const Rect& r : {Rect{1, 1, 10, 7}, Rect{15, 12, 12, 12}, Rect{0, 8, 6, 3}}) {
    ops.push_back({"outline", [=](FrameCanvas& c) { c.Outline(r, ink); },
                   [=](QPainter& p) {
                     p.setPen(QColor(10, 200, 30));
                     p.setBrush(Qt::NoBrush);
                     p.drawRect(Q(r).adjusted(0, 0, -1, -1));
                   }});
  }
  for (const Point at : {Point{0, 0}, Point{5, 5}, Point{-3, -2}, Point{20, 17}}) {
    for (const Rect& source : {Rect{0, 0, 7, 5}, Rect{2, 1, 4, 3}}) {
      for (const bool see : {false, true}) {
        ops.push_back({"picture",
                       [=, &picture](FrameCanvas& c) {
                         c.Draw(at, picture, source, see ? std::optional(kKey) : std::nullopt);
                       },
                       [=, &opaque, &keyed](QPainter& p) {
                         p.drawImage(QPoint(at.x, at.y), see ? keyed : opaque, Q(source));
                       }});
      }
    }
  }
  const std::vector<std::optional<Rect>> clips{std::nullopt, Rect{3, 4, 10, 9},
                                               Rect{-5, -5, 12, 12}, Rect{20, 15, 10, 10}};
  for (const std::optional<Rect>& clip : clips) {
    for (std::size_t i = 0; i < ops.size(); ++i) {
      Frame ours = Background();
      FrameCanvas canvas(ours);
      if (clip) canvas.SetClip(*clip);
      ops[i].ours(canvas);
      QImage qt = ToQImage(Background());
      {
        QPainter painter(&qt);
        if (clip) painter.setClipRect(Q(*clip));
        ops[i].qt(painter);
      }
      EXPECT_EQ(Differing(ours, qt), 0)
          << ops[i].name << " #" << i << " clip "
          << (clip ? std::to_string(clip->left) + "," + std::to_string(clip->top) : "none");
    }
  }
}

}  // namespace
}  // namespace ui
