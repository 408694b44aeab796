#include "platform/ui/bmp_header.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace ui {
namespace {

// The start of a BMP file: file header and an info header of `infoSize` bytes.
struct Head {
  std::uint32_t infoSize = 40;
  std::int32_t width = 3;
  std::int32_t height = 2;
  std::uint16_t planes = 1;
  std::uint16_t bits = 24;
  std::uint32_t compression = 0;

  std::vector<unsigned char> Bytes() const {
    // Room for every field written below, even behind a shorter (OS/2) info header.
    std::vector<unsigned char> b(std::max<std::size_t>(14 + infoSize, 34), 0);
    const auto put = [&b](std::size_t at, std::uint32_t value, int count) {
      for (int i = 0; i < count; ++i) b[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(10, 14 + infoSize, 4);
    put(14, infoSize, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, planes, 2);
    put(28, bits, 2);
    put(30, compression, 4);
    return b;
  }
};

std::optional<Size> SizeOf(const Head& head) {
  const std::vector<unsigned char> bytes = head.Bytes();
  return BmpSize(bytes);
}

// What Qt's own reader says the size of the same bytes is (invalid when it refuses them).
QSize QtSizeOf(const std::vector<unsigned char>& bytes) {
  QByteArray data(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  return QImageReader(&buffer, "bmp").size();
}

TEST(BmpSize, TakesEveryCodingQtTakesAtEachHeaderLength) {
  struct Coding {
    std::uint16_t bits;
    std::uint32_t compression;
  };
  const std::array<Coding, 10> codings{
      {{1, 0}, {4, 0}, {8, 0}, {16, 0}, {24, 0}, {32, 0}, {8, 1}, {4, 2}, {16, 3}, {32, 3}}};
  for (const std::uint32_t infoSize : {40u, 108u, 124u}) {
    for (const Coding& c : codings) {
      const Head head{infoSize, 630, 597, 1, c.bits, c.compression};
      EXPECT_EQ(SizeOf(head), (Size{630, 597}))
          << infoSize << " " << c.bits << " " << c.compression;
      EXPECT_EQ(QtSizeOf(head.Bytes()), QSize(630, 597));
    }
  }
  // Stored top row first: the height is negative and the picture as high as ever (Qt's reader
  // tells the negative height; its picture is 7 high).
  EXPECT_EQ(SizeOf(Head{40, 4, -7}), (Size{4, 7}));
  EXPECT_EQ(QtSizeOf(Head{40, 4, -7}.Bytes()), QSize(4, -7));
}

TEST(BmpSize, LeavesToQtWhatItDoesNotKnowAndWhatQtRefuses) {
  const std::vector<Head> refused{
      {12, 3, 2},            // an OS/2 core header: Qt's to read
      {64, 3, 2},            // an OS/2 2.x header: Qt's to read
      {56, 3, 2},            // an info header with alpha mask: Qt's to read
      {40, 3, 2, 2},         // two planes
      {40, 3, 2, 1, 2},      // two bits a pixel
      {40, 3, 2, 1, 24, 1},  // run lengths of 8 bits for 24-bit pixels
      {40, 3, 2, 1, 8, 2},   // run lengths of 4 bits for 8-bit pixels
      {40, 3, 2, 1, 24, 3},  // bit fields for 24-bit pixels
      {40, 3, 2, 1, 24, 4},  // a JPEG inside
      {40, 0, 2},            // no width
      {40, -3, 2},           // a negative width
      {40, 3, 0},            // no height
      {40, 3, INT32_MIN},    // a height with no positive counterpart
      {40, 16384, 16385},    // more pixels than Qt reads
  };
  for (const Head& head : refused) {
    EXPECT_EQ(SizeOf(head), std::nullopt)
        << head.infoSize << " " << head.width << "x" << head.height << " " << head.bits;
  }
  EXPECT_EQ(SizeOf(Head{40, 16384, 16384}), (Size{16384, 16384})) << "the most Qt reads";
  EXPECT_EQ(SizeOf(Head{40, 16384, -16384}), (Size{16384, 16384}));

  // Short starts: every cut of a good header, and a long header cut after 54 bytes.
  const std::vector<unsigned char> whole = Head{}.Bytes();
  for (std::size_t n = 0; n < whole.size(); ++n) {
    EXPECT_EQ(BmpSize(std::span(whole.data(), n)), std::nullopt) << n << " bytes";
  }
  const std::vector<unsigned char> v5 = Head{124}.Bytes();
  EXPECT_EQ(BmpSize(std::span(v5.data(), 54)), std::nullopt);
  EXPECT_EQ(BmpSize(std::span(v5.data(), 138)), (Size{3, 2}));
  std::vector<unsigned char> notBm = whole;
  notBm[1] = 'A';
  EXPECT_EQ(BmpSize(notBm), std::nullopt);
}

}  // namespace
}  // namespace ui
