#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "platform/ui/geometry.h"

namespace ui {

// Enough of a BMP file's start for BmpSize: the file header and the longest info header taken.
inline constexpr std::size_t kBmpHeadBytes = 14 + 124;

// The picture size that the first bytes of a BMP file give, read without decoding anything.
// Only the layouts whose every field checked here is also checked by Qt's BMP reader are taken
// (info headers of 40, 108 and 124 bytes; 1, 4, 8, 16, 24 or 32 bits; uncompressed, RLE8 for 8
// bits, RLE4 for 4, bit fields for 16 and 32), so a size given here is one Qt's reader gives as
// well. Anything else, or fewer bytes than the headers take, gives nullopt: ask Qt's reader then.
std::optional<Size> BmpSize(std::span<const unsigned char> head);

}  // namespace ui
