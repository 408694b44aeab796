// The chart's bands, blended column by column into a picture of the plot.
#include "historyview/history_band.h"

#include <gtest/gtest.h>

#include <vector>

namespace historyview {
namespace {

// Red at alpha 45 over nothing: premultiplied, every channel 255 * 45 / 255 = 45 but green and
// blue, which are 0. Over itself: 45 + round(45 * 210 / 255) = 45 + 37 = 82.
constexpr QRgb kRed45 = 0x2dff0000;
constexpr QRgb kOnce = 0x2d2d0000;
constexpr QRgb kTwice = 0x52520000;

QImage Blank(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

// The rows of column x that were drawn, as "first..last" ("" when none), checking that each
// drawn pixel holds `expected`.
std::string RowsOf(const QImage& image, int x, QRgb expected = kOnce) {
  int first = -1;
  int last = -1;
  for (int y = 0; y < image.height(); ++y) {
    const QRgb pixel = image.pixel(x, y);
    if (pixel == 0) continue;
    EXPECT_EQ(pixel, expected) << "at " << x << "," << y;
    if (first < 0) first = y;
    last = y;
  }
  return first < 0 ? "" : std::to_string(first) + ".." + std::to_string(last);
}

TEST(HistoryBand, EachColumnCoversItsRowsFromGreatestToLeastBothIncluded) {
  QImage image = Blank(6, 10);
  const std::vector<BandSpan> spans = {{0, 2, 4}, {1, 7, 7}, {2, 0, 9}};
  FillBand(image, spans, 1, kRed45);
  EXPECT_EQ(RowsOf(image, 0), "2..4");
  EXPECT_EQ(RowsOf(image, 1), "7..7");  // a steady reading: one row
  EXPECT_EQ(RowsOf(image, 2), "0..9");
  EXPECT_EQ(RowsOf(image, 3), "");
}

TEST(HistoryBand, AHoleUpToTheJoinIsBridgedAlongStraightEdgesAndAWiderOneIsNot) {
  // From rows 2..4 at x 1 to rows 5..7 at x 4: a third of the way at x 2, two thirds at x 3.
  for (const int join : {3, 2}) {
    SCOPED_TRACE(join);
    QImage image = Blank(8, 10);
    const std::vector<BandSpan> spans = {{1, 2, 4}, {4, 5, 7}};
    FillBand(image, spans, join, kRed45);
    EXPECT_EQ(RowsOf(image, 1), "2..4");
    EXPECT_EQ(RowsOf(image, 2), join == 3 ? "3..5" : "");
    EXPECT_EQ(RowsOf(image, 3), join == 3 ? "4..6" : "");
    EXPECT_EQ(RowsOf(image, 4), "5..7");
    EXPECT_EQ(RowsOf(image, 0), "");
    EXPECT_EQ(RowsOf(image, 5), "");
  }
}

TEST(HistoryBand, BandsOverlapByBlendingAndWhatLiesOutsideIsLeftOut) {
  QImage image = Blank(4, 6);
  // Past every edge of the picture: clipped, nothing written outside it.
  const std::vector<BandSpan> spans = {{-1, 0, 5}, {0, -3, 2}, {3, 4, 40}, {4, 0, 5}};
  FillBand(image, spans, 1, kRed45);
  EXPECT_EQ(RowsOf(image, 0), "0..2");
  EXPECT_EQ(RowsOf(image, 3), "4..5");
  const std::vector<BandSpan> again = {{0, 2, 3}};
  FillBand(image, again, 1, kRed45);
  EXPECT_EQ(image.pixel(0, 1), kOnce);
  EXPECT_EQ(image.pixel(0, 2), kTwice);
  EXPECT_EQ(image.pixel(0, 3), kOnce);
}

TEST(HistoryBand, AShadeCoversItsRectAndAHatchingEveryEighthDiagonalOfIt) {
  QImage image = Blank(12, 10);
  // Hanging over the left and bottom edges.
  FillRect(image, QRect(-2, 6, 4, 9), kRed45);
  HatchRect(image, QRect(4, 0, 8, 10), kRed45);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 12; ++x) {
      SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
      const bool shaded = x < 2 && y >= 6;
      const bool hatched = x >= 4 && (x + y) % 8 == 7;
      EXPECT_EQ(image.pixel(x, y), shaded || hatched ? kOnce : 0u);
    }
  }
}

}  // namespace
}  // namespace historyview
