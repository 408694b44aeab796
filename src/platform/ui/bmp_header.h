#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/ui/geometry.h"

namespace ui {

// The fields of a BMP file's start that this program reads, as stored: the file header and the
// part every info header of 40 bytes or more begins with.
struct BmpHead {
  std::uint32_t pixelOffset = 0;  // where the pixels start in the file
  std::uint32_t infoSize = 0;     // the info header's length, which tells its layout
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative for a picture stored top row first
  std::uint16_t planes = 0;
  std::uint16_t bits = 0;  // a pixel
  std::uint32_t compression = 0;
  std::uint32_t imageSize = 0;  // of the pixels as stored (run-length pictures give it)
};
inline constexpr std::uint32_t kBmpUncompressed = 0;
inline constexpr std::uint32_t kBmpRle8 = 1;
inline constexpr std::uint32_t kBmpRle4 = 2;
inline constexpr std::uint32_t kBmpBitFields = 3;

// The fields of the first 54 bytes of a BMP file; nullopt for fewer bytes or another signature.
std::optional<BmpHead> ReadBmpHead(std::span<const unsigned char> head);

// Enough of a BMP file's start for BmpSize: the file header and the longest info header taken.
inline constexpr std::size_t kBmpHeadBytes = 14 + 124;

// The picture size that the first bytes of a BMP file give, read without decoding anything.
// Only the layouts whose every field checked here is also checked by Qt's BMP reader are taken
// (info headers of 40, 108 and 124 bytes; 1, 4, 8, 16, 24 or 32 bits; uncompressed, RLE8 for 8
// bits, RLE4 for 4, bit fields for 16 and 32), so a size given here is one Qt's reader gives as
// well. Anything else, or fewer bytes than the headers take, gives nullopt: ask Qt's reader then.
std::optional<Size> BmpSize(std::span<const unsigned char> head);

}  // namespace ui
