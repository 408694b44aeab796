#include "platform/ui/win32/frame_paint.h"

#include <gtest/gtest.h>

namespace ui::win32 {
namespace {

constexpr std::uint32_t kUntouched = 0x123456;

// A memory device context over a top-down 32-bit bitmap whose pixels the test reads.
class Surface {
 public:
  Surface(int width, int height) : width_(width) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = ::CreateCompatibleDC(nullptr);
    bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = ::SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i) static_cast<std::uint32_t*>(bits_)[i] = kUntouched;
  }
  ~Surface() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  HDC Dc() const { return dc_; }
  std::uint32_t At(int x, int y) const {
    ::GdiFlush();
    return static_cast<const std::uint32_t*>(bits_)[y * width_ + x] & 0xFFFFFFu;
  }

 private:
  int width_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

// Every pixel different: 0x00XXYY00 plus a marker, so a row or column off by one shows.
Frame Numbered(int width, int height) {
  Frame frame = Frame::Filled(width, height, Color{});
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) frame.At(x, y) = 0x800000u | (std::uint32_t(x) << 8) | y;
  return frame;
}

TEST(PaintFrameArea, CopiesTheDirtyAreaAndLeavesEveryOtherPixel) {
  const Frame frame = Numbered(10, 8);
  Surface surface(10, 8);
  ASSERT_TRUE(PaintFrameArea(surface.Dc(), frame, Rect{2, 3, 4, 2}));
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 3 && y < 5;
      EXPECT_EQ(surface.At(x, y), inside ? frame.At(x, y) : kUntouched) << x << "," << y;
    }
  }
  // An area that runs off the frame paints the part on it; one wholly off paints nothing.
  ASSERT_TRUE(PaintFrameArea(surface.Dc(), frame, Rect{8, 6, 5, 5}));
  EXPECT_TRUE(PaintFrameArea(surface.Dc(), frame, Rect{10, 0, 3, 3}));
  for (int y = 5; y < 8; ++y) {
    for (int x = 7; x < 10; ++x) {
      EXPECT_EQ(surface.At(x, y), x >= 8 && y >= 6 ? frame.At(x, y) : kUntouched) << x << "," << y;
    }
  }
}

TEST(PaintFrameArea, ScalesEachPixelToASquareWithoutBlending) {
  const Frame frame = Numbered(5, 4);
  Surface surface(10, 8);
  ASSERT_TRUE(PaintFrameArea(surface.Dc(), frame, Rect{1, 1, 2, 2}, 2));
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 2 && y < 6;
      EXPECT_EQ(surface.At(x, y), inside ? frame.At(x / 2, y / 2) : kUntouched) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace ui::win32
