// The PNG writer of the window without Qt, read back by Qt's reader.
#include "platform/ui/png_file.h"

#include <gtest/gtest.h>

#include <QImage>

namespace ui {
namespace {

TEST(EncodePng, QtReadsBackEveryPixelWithTheKeyColourSeeThrough) {
  // 300 x 80 pixels make 96,080 bytes of rows: two stored blocks, the second partly full.
  const int width = 300, height = 80;
  Frame frame = Frame::Filled(width, height, Color{});
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      frame.At(x, y) = static_cast<std::uint32_t>((x << 12) ^ (y * 0x010203) ^ 0x00A55A);
    }
  }
  frame.At(0, 0) = 0xFF00FF;
  frame.At(299, 79) = 0xFF00FF;
  frame.At(150, 40) = 0xFE00FF;  // one step off the key: opaque
  const std::vector<std::uint8_t> bytes = EncodePng(frame, colors::kMagenta);
  QImage read;
  ASSERT_TRUE(read.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "PNG"));
  ASSERT_EQ(read.width(), width);
  ASSERT_EQ(read.height(), height);
  read = read.convertToFormat(QImage::Format_ARGB32);
  int differing = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const QRgb got = read.pixel(x, y);
      const bool key = (x == 0 && y == 0) || (x == 299 && y == 79);
      const QRgb want = key ? 0u : (0xFF000000u | (frame.At(x, y) & 0xFFFFFFu));
      differing += got == want ? 0 : 1;
    }
  }
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(qAlpha(read.pixel(150, 40)), 255);
  EXPECT_EQ(read.pixel(150, 40), qRgb(0xFE, 0, 0xFF));

  // Without a key every pixel is opaque, the key colour too.
  QImage plain;
  const std::vector<std::uint8_t> unkeyed = EncodePng(frame, std::nullopt);
  ASSERT_TRUE(plain.loadFromData(unkeyed.data(), static_cast<int>(unkeyed.size()), "PNG"));
  EXPECT_EQ(plain.convertToFormat(QImage::Format_ARGB32).pixel(0, 0), qRgb(255, 0, 255));
}

}  // namespace
}  // namespace ui
