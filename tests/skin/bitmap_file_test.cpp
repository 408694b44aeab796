#include "bitmap_file.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/ui/bitmap.h"
#include "support/temp_folder.h"

namespace skingen {
namespace {

namespace fs = std::filesystem;

// Writes the encoded file and loads it back through the program's own bitmap loader.
QImage RoundTrip(const std::string& bytes, const std::string& name) {
  const testing_support::TempFolder scratch;
  const fs::path file = scratch / (name + ".bmp");
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  const QImage loaded = ui::Bitmap::Load(file)->Opaque();
  return loaded.convertToFormat(QImage::Format_RGB32);
}

int BitsPerPixel(const std::string& bytes) {
  return static_cast<unsigned char>(bytes.at(28)) | (static_cast<unsigned char>(bytes.at(29)) << 8);
}

double MeanChannelError(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q));
    }
  }
  return sum / (3.0 * a.width() * a.height());
}

// Rows that exercise every way a row is cut into RLE8 pieces: a run longer than one piece holds
// (600 > 255), an odd and an even literal stretch, literal stretches of one and two pixels
// between runs, a run of exactly two, the key colour, and a one-pixel-wide picture.
QImage FewColours(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  const QRgb colours[] = {qRgb(255, 0, 255), qRgb(20, 24, 30), qRgb(0, 255, 0), qRgb(255, 0, 0),
                          qRgb(200, 200, 200)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      QRgb c = colours[0];
      switch (y % 5) {
        case 0:
          c = colours[1];
          break;  // one long run
        case 1:
          c = colours[(x * 7 + y) % 5];
          break;  // literals
        case 2:
          c = colours[(x / 2) % 5];
          break;  // runs of two
        case 3:
          c = x % 9 == 4 ? colours[2] : colours[3];
          break;  // single breaks
        default:
          c = x % 9 == 4 || x % 9 == 5 ? colours[4] : colours[0];
          break;  // pair breaks
      }
      image.setPixel(x, y, c);
    }
  }
  return image;
}

TEST(BitmapFile, PicturesOfFewColoursAreStoredAsRle8AndLoadExactly) {
  for (const auto& [width, height] : {std::pair{600, 10}, std::pair{1, 7}, std::pair{3, 5},
                                      std::pair{257, 6}, std::pair{10, 1}}) {
    const QImage picture = FewColours(width, height);
    const std::string bytes = EncodeBitmapFile(picture);
    EXPECT_EQ(BitsPerPixel(bytes), 8) << width << "x" << height;
    const QImage loaded = RoundTrip(bytes, "few");
    ASSERT_EQ(loaded.size(), picture.size()) << width << "x" << height;
    EXPECT_EQ(loaded, picture.convertToFormat(QImage::Format_RGB32)) << width << "x" << height;
  }
}

TEST(BitmapFile, ExactlyTwoHundredFiftySixColoursStayExactAndOneMoreIsQuantised) {
  QImage picture(257, 4, QImage::Format_RGB32);
  for (int x = 0; x < 257; ++x) {
    for (int y = 0; y < 4; ++y) picture.setPixel(x, y, qRgb(x % 256, 0, 128));
  }
  // 256 colours: x = 256 repeats x = 0.
  EXPECT_TRUE(EncodeRle8Bitmap(picture).has_value());
  picture.setPixel(256, 3, qRgb(1, 2, 3));
  EXPECT_FALSE(EncodeRle8Bitmap(picture).has_value());
  const std::string bytes = EncodeBitmapFile(picture);
  EXPECT_EQ(BitsPerPixel(bytes), 8);
  EXPECT_LE(MeanChannelError(RoundTrip(bytes, "257"), picture), 0.5);
}

TEST(BitmapFile, AntiAliasedArtIsQuantisedWithoutVisibleChangeAndKeepsItsFillsExact) {
  QImage picture(320, 120, QImage::Format_RGB32);
  picture.fill(qRgb(255, 0, 255));
  {
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 320, 0);
    gradient.setColorAt(0, QColor(30, 34, 40));
    gradient.setColorAt(1, QColor(60, 70, 90));
    painter.setBrush(gradient);
    painter.setPen(QPen(QColor(0, 255, 0), 3));
    painter.drawRoundedRect(QRectF(10.5, 10.5, 300, 100), 14, 14);
    painter.setPen(QColor(240, 240, 240));
    painter.drawEllipse(QPointF(160, 60), 40, 30);
  }
  const std::string bytes = EncodeBitmapFile(picture);
  ASSERT_EQ(BitsPerPixel(bytes), 8);
  const QImage loaded = RoundTrip(bytes, "art");
  EXPECT_LE(MeanChannelError(loaded, picture), 0.5);
  // The key colour, the most frequent, is never moved.
  EXPECT_EQ(loaded.pixel(0, 0), qRgb(255, 0, 255));
  EXPECT_EQ(loaded.pixel(319, 119), qRgb(255, 0, 255));
}

TEST(BitmapFile, NoiseThatCannotBeQuantisedUnseenStaysTwentyFourBit) {
  QImage picture(64, 64, QImage::Format_RGB32);
  std::mt19937 random(7);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) picture.setPixel(x, y, random() | 0xFF000000u);
  }
  const std::string bytes = EncodeBitmapFile(picture);
  EXPECT_EQ(BitsPerPixel(bytes), 24);
  EXPECT_EQ(RoundTrip(bytes, "noise"), picture);
}

}  // namespace
}  // namespace skingen
