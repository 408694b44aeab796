#include "platform/ui/bmp_header.h"

#include <cstdint>
#include <cstdlib>

namespace ui {
namespace {

// Where the fields live: the file header is 14 bytes, the info header follows it.
constexpr std::size_t kInfoSizeAt = 14;
constexpr std::size_t kWidthAt = 18;
constexpr std::size_t kHeightAt = 22;
constexpr std::size_t kPlanesAt = 26;
constexpr std::size_t kBitsAt = 28;
constexpr std::size_t kCompressionAt = 30;

constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;

// Qt's reader refuses pictures of more pixels than this.
constexpr std::uint64_t kMostPixels = 16384ull * 16384ull;

std::uint32_t Little(std::span<const unsigned char> bytes, std::size_t at, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = count; i-- > 0;) value = (value << 8) | bytes[at + i];
  return value;
}

bool KnownCoding(std::uint32_t bits, std::uint32_t compression) {
  switch (compression) {
    case kUncompressed:
      return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kRle8:
      return bits == 8;
    case kRle4:
      return bits == 4;
    case kBitFields:
      return bits == 16 || bits == 32;
    default:
      return false;
  }
}

}  // namespace

std::optional<Size> BmpSize(std::span<const unsigned char> head) {
  if (head.size() < kCompressionAt + 4 || head[0] != 'B' || head[1] != 'M') return std::nullopt;
  const std::uint32_t infoSize = Little(head, kInfoSizeAt, 4);
  if (infoSize != 40 && infoSize != 108 && infoSize != 124) return std::nullopt;
  if (head.size() < kInfoSizeAt + infoSize) return std::nullopt;
  if (Little(head, kPlanesAt, 2) != 1) return std::nullopt;
  if (!KnownCoding(Little(head, kBitsAt, 2), Little(head, kCompressionAt, 4))) return std::nullopt;
  const auto width = static_cast<std::int32_t>(Little(head, kWidthAt, 4));
  const auto height = static_cast<std::int32_t>(Little(head, kHeightAt, 4));
  // A negative height is a picture stored top row first.
  const std::uint64_t rows = static_cast<std::uint64_t>(std::llabs(height));
  if (width <= 0 || height == 0 || rows > 0x7FFFFFFFull) return std::nullopt;
  if (static_cast<std::uint64_t>(width) * rows > kMostPixels) return std::nullopt;
  return Size{width, static_cast<int>(rows)};
}

}  // namespace ui
