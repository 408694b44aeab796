#include "platform/ui/bmp_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace ui {
namespace {

// A BMP file: 14-byte file header, 40-byte info header, palette, then `pixels` as stored.
std::vector<unsigned char> File(std::int32_t width, std::int32_t height, std::uint16_t bits,
                                std::uint32_t compression,
                                const std::vector<std::uint32_t>& palette,
                                const std::vector<unsigned char>& pixels) {
  std::vector<unsigned char> b(54 + palette.size() * 4, 0);
  const auto put = [&b](std::size_t at, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) b[at + i] = static_cast<unsigned char>(value >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put(10, static_cast<std::uint32_t>(b.size()), 4);
  put(14, 40, 4);
  put(18, static_cast<std::uint32_t>(width), 4);
  put(22, static_cast<std::uint32_t>(height), 4);
  put(26, 1, 2);
  put(28, bits, 2);
  put(30, compression, 4);
  put(34, static_cast<std::uint32_t>(pixels.size()), 4);
  put(46, static_cast<std::uint32_t>(palette.size()), 4);
  for (std::size_t i = 0; i < palette.size(); ++i) put(54 + i * 4, palette[i], 4);
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

std::vector<std::uint32_t> Pixels(const std::vector<unsigned char>& file) {
  std::string error;
  const std::optional<Frame> frame = DecodeBmp(file, error);
  EXPECT_TRUE(frame) << error;
  return frame ? frame->pixels : std::vector<std::uint32_t>{};
}

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

TEST(DecodeBmp, ReadsEachPaletteDepthWithRowsFromTheBottomOrTheTop) {
  // 24 bits, 2 x 2 from the bottom: rows of 6 bytes padded to 8. Blue green red in a pixel.
  EXPECT_EQ(Pixels(File(2, 2, 24, 0, {},
                        {0xFF, 0, 0, 0, 0xFF, 0, 0, 0,           // bottom row: blue, green
                         0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0})),  // top row: red, white
            (std::vector<std::uint32_t>{kRed, kWhite, kBlue, kGreen}));
  // The same from the top (negative height).
  EXPECT_EQ(Pixels(File(2, -2, 24, 0, {},
                        {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0})),
            (std::vector<std::uint32_t>{kBlue, kGreen, kRed, kWhite}));
  // 1 bit: nine pixels cross a byte, the first pixel in the highest bit.
  EXPECT_EQ(Pixels(File(9, 1, 1, 0, {0x000000, kWhite}, {0b10100000, 0b10000000, 0, 0})),
            (std::vector<std::uint32_t>{kWhite, 0, kWhite, 0, 0, 0, 0, 0, kWhite}));
  // 4 bits: the high nibble first.
  EXPECT_EQ(Pixels(File(3, 1, 4, 0, {kRed, kGreen, kBlue}, {0x21, 0x00, 0, 0})),
            (std::vector<std::uint32_t>{kBlue, kGreen, kRed}));
  // 8 bits through the palette, a palette entry's fourth byte left out.
  EXPECT_EQ(Pixels(File(2, 1, 8, 0, {0xAA123456, kBlue}, {1, 0, 0, 0})),
            (std::vector<std::uint32_t>{kBlue, 0x123456}));
}

TEST(DecodeBmp, BringsSixteenAndThirtyTwoBitChannelsToAByte) {
  // Five bits a channel: 31 is 255, 16 is 16 * 255 / 31 = 131.6, so 132; 1 is 8.2, so 8.
  EXPECT_EQ(Pixels(File(3, 1, 16, 0, {}, {0xFF, 0x7F, 0x10, 0x00, 0x20, 0x04, 0, 0})),
            (std::vector<std::uint32_t>{kWhite, 0x000084, 0x080800}));
  // 32 bits: the fourth byte is not a colour.
  EXPECT_EQ(Pixels(File(1, 1, 32, 0, {}, {0x30, 0x20, 0x10, 0x99})),
            (std::vector<std::uint32_t>{0x102030}));
}

TEST(DecodeBmp, ReadsRunLengthPicturesWithStretchesJumpsAndSkippedPixels) {
  const std::vector<std::uint32_t> palette{kWhite, kRed, kGreen, kBlue};
  // 4 x 3 from the bottom: a run of 3 red; end of line; an absolute stretch of 3 (padded);
  // end of line; a jump of (1, 0) to the top row's second pixel; a run of 2 blue; end of
  // picture. What nothing covers is the palette's first colour.
  const std::vector<unsigned char> rle8{3, 1, 0, 0, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 0, 2, 3, 0, 1};
  EXPECT_EQ(Pixels(File(4, 3, 8, 1, palette, rle8)),
            (std::vector<std::uint32_t>{kWhite, kBlue, kBlue, kWhite,  // top
                                        kGreen, kBlue, kRed, kWhite,   // middle
                                        kRed, kRed, kRed, kWhite}));   // bottom
  // Four bits: a run alternates its two nibbles; a stretch of 3 takes two bytes.
  const std::vector<unsigned char> rle4{3, 0x12, 0, 0, 0, 3, 0x31, 0x20, 0, 1};
  EXPECT_EQ(Pixels(File(3, 2, 4, 2, palette, rle4)),
            (std::vector<std::uint32_t>{kBlue, kRed, kGreen, kRed, kGreen, kRed}));
}

TEST(DecodeBmp, AFileCutAnywhereIsRefusedWithAReasonAndNeverReadPast) {
  const std::vector<unsigned char> whole =
      File(4, 3, 8, 1, {kWhite, kRed, kGreen, kBlue},
           {3, 1, 0, 0, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 0, 2, 3, 0, 1});
  for (std::size_t size = 0; size < whole.size(); ++size) {
    // Heap copies of each length, so that a read past one shows under AddressSanitizer.
    const std::vector<unsigned char> cut(whole.begin(), whole.begin() + static_cast<long>(size));
    std::string error;
    EXPECT_FALSE(DecodeBmp(cut, error)) << size << " bytes";
    EXPECT_FALSE(error.empty()) << size << " bytes";
  }
  const std::vector<unsigned char> rows = File(2, 2, 24, 0, {}, std::vector<unsigned char>(16, 7));
  std::string error;
  EXPECT_TRUE(DecodeBmp(rows, error));
  EXPECT_FALSE(DecodeBmp(std::span(rows).first(rows.size() - 1), error));
  EXPECT_EQ(error, "the pixels run past the end of the file");
}

}  // namespace
}  // namespace ui
