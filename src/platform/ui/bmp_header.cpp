#include "platform/ui/bmp_header.h"

#include <cstdint>
#include <cstdlib>

namespace ui {
namespace {

// Where the fields live: the file header is 14 bytes, the info header follows it.
constexpr std::size_t kPixelOffsetAt = 10;
constexpr std::size_t kInfoSizeAt = 14;
constexpr std::size_t kWidthAt = 18;
constexpr std::size_t kHeightAt = 22;
constexpr std::size_t kPlanesAt = 26;
constexpr std::size_t kBitsAt = 28;
constexpr std::size_t kCompressionAt = 30;
constexpr std::size_t kImageSizeAt = 34;
constexpr std::size_t kHeadBytes = 54;

// Qt's reader refuses pictures of more pixels than this.
constexpr std::uint64_t kMostPixels = 16384ull * 16384ull;

std::uint32_t Little(std::span<const unsigned char> bytes, std::size_t at, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = count; i-- > 0;) value = (value << 8) | bytes[at + i];
  return value;
}

bool KnownCoding(std::uint32_t bits, std::uint32_t compression) {
  switch (compression) {
    case kBmpUncompressed:
      return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kBmpRle8:
      return bits == 8;
    case kBmpRle4:
      return bits == 4;
    case kBmpBitFields:
      return bits == 16 || bits == 32;
    default:
      return false;
  }
}

}  // namespace

std::optional<BmpHead> ReadBmpHead(std::span<const unsigned char> head) {
  if (head.size() < kHeadBytes || head[0] != 'B' || head[1] != 'M') return std::nullopt;
  return BmpHead{Little(head, kPixelOffsetAt, 4),
                 Little(head, kInfoSizeAt, 4),
                 static_cast<std::int32_t>(Little(head, kWidthAt, 4)),
                 static_cast<std::int32_t>(Little(head, kHeightAt, 4)),
                 static_cast<std::uint16_t>(Little(head, kPlanesAt, 2)),
                 static_cast<std::uint16_t>(Little(head, kBitsAt, 2)),
                 Little(head, kCompressionAt, 4),
                 Little(head, kImageSizeAt, 4)};
}

std::optional<Size> BmpSize(std::span<const unsigned char> head) {
  const std::optional<BmpHead> fields = ReadBmpHead(head);
  if (!fields) return std::nullopt;
  if (fields->infoSize != 40 && fields->infoSize != 108 && fields->infoSize != 124) {
    return std::nullopt;
  }
  if (head.size() < kInfoSizeAt + fields->infoSize) return std::nullopt;
  if (fields->planes != 1 || !KnownCoding(fields->bits, fields->compression)) return std::nullopt;
  // A negative height is a picture stored top row first.
  const std::uint64_t rows = static_cast<std::uint64_t>(std::llabs(fields->height));
  if (fields->width <= 0 || fields->height == 0 || rows > 0x7FFFFFFFull) return std::nullopt;
  if (static_cast<std::uint64_t>(fields->width) * rows > kMostPixels) return std::nullopt;
  return Size{fields->width, static_cast<int>(rows)};
}

}  // namespace ui
