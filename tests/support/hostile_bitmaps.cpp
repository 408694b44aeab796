#include "support/hostile_bitmaps.h"

#include <cstdint>

namespace testing_support {
namespace {

constexpr int kWidth = 8;
constexpr int kHeight = 4;
constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;
constexpr std::size_t kPixelOffsetAt = 10;
constexpr std::size_t kWidthAt = 18;
constexpr std::size_t kHeightAt = 22;
constexpr std::size_t kImageSizeAt = 34;
constexpr std::size_t kColoursUsedAt = 46;
constexpr std::uint32_t kRle8 = 1;

void Put(std::string& bytes, std::size_t at, std::uint32_t value, int count = 4) {
  for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// File and info header for a picture of `bits` a pixel with `colours` palette entries and
// `pixels` bytes of pixel data.
std::string Headers(int bits, std::uint32_t compression, std::uint32_t colours,
                    std::size_t pixels) {
  std::string bytes(kFileHeader + kInfoHeader, '\0');
  const std::size_t offset = kFileHeader + kInfoHeader + 4 * colours;
  bytes[0] = 'B';
  bytes[1] = 'M';
  Put(bytes, 2, static_cast<std::uint32_t>(offset + pixels));
  Put(bytes, kPixelOffsetAt, static_cast<std::uint32_t>(offset));
  Put(bytes, 14, kInfoHeader);
  Put(bytes, kWidthAt, kWidth);
  Put(bytes, kHeightAt, kHeight);
  Put(bytes, 26, 1, 2);
  Put(bytes, 28, static_cast<std::uint32_t>(bits), 2);
  Put(bytes, 30, compression);
  Put(bytes, kImageSizeAt, static_cast<std::uint32_t>(pixels));
  Put(bytes, kColoursUsedAt, colours);
  return bytes;
}

std::string Palette() {
  // Black, magenta, green, white.
  return std::string("\x00\x00\x00\x00\xFF\x00\xFF\x00\x00\xFF\x00\x00\xFF\xFF\xFF\x00", 16);
}

// 8 bits a pixel, four colours, uncompressed.
std::string PaletteBitmap() {
  std::string pixels;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) pixels += static_cast<char>((x + y) % 4);
  }
  return Headers(8, 0, 4, pixels.size()) + Palette() + pixels;
}

// 8 bits a pixel, four colours, run-length coded: each row one run of 8, then end of line;
// end of picture after the last.
std::string RunLengthBitmap() {
  std::string stream;
  for (int y = 0; y < kHeight; ++y) stream += std::string{'\x08', static_cast<char>(y), 0, 0};
  stream += std::string{0, 1};
  return Headers(8, kRle8, 4, stream.size()) + Palette() + stream;
}

std::string Cut(std::string bytes, std::size_t keep) {
  bytes.resize(keep);
  return bytes;
}

std::string With(std::string bytes, std::size_t at, std::uint32_t value) {
  Put(bytes, at, value);
  return bytes;
}

}  // namespace

std::string SoundBitmap() {
  std::string pixels;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x)
      pixels += std::string{static_cast<char>(30 * x), 0, static_cast<char>(60 * y)};
  }
  return Headers(24, 0, 0, pixels.size()) + pixels;
}

std::vector<HostileBitmap> HostileBitmaps() {
  const std::string plain = SoundBitmap();      // 54 + 96 bytes
  const std::string palette = PaletteBitmap();  // 54 + 16 + 32 bytes
  const std::string runs = RunLengthBitmap();   // 54 + 16 + 18 bytes
  const std::size_t runsAt = kFileHeader + kInfoHeader + 16;
  return {
      {"headers alone", Cut(plain, 54)},
      {"one pixel row short", Cut(plain, plain.size() - 3 * kWidth)},
      {"one byte short", Cut(plain, plain.size() - 1)},
      {"cut in the palette", Cut(palette, 60)},
      {"palette picture one row short", Cut(palette, palette.size() - kWidth)},
      {"pixel offset beyond the file", With(plain, kPixelOffsetAt, 1000)},
      {"pixel offset at the top of its range", With(plain, kPixelOffsetAt, 0xFFFFFFFFu)},
      {"palette count beyond the file", With(palette, kColoursUsedAt, 200)},
      {"palette count at the top of its range", With(palette, kColoursUsedAt, 0xFFFFFFFFu)},
      {"run-length stream cut mid-run", Cut(runs, runsAt + 5)},
      {"run-length image size far beyond the file", With(runs, kImageSizeAt, 0x7FFFFFF0u)},
      {"16384 x 16384", With(With(plain, kWidthAt, 16384), kHeightAt, 16384)},
      {"268435456 x 1", With(With(plain, kWidthAt, 268435456u), kHeightAt, 1)},
      {"width beyond the file, stored top row first",
       With(With(plain, kWidthAt, 4096), kHeightAt, static_cast<std::uint32_t>(-4))},
  };
}

}  // namespace testing_support
