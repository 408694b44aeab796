#pragma once

#include <cstdint>
#include <vector>

#include "platform/ui/color.h"

namespace ui {

// A window's picture as the system's device-independent bitmaps hold it: rows from the top,
// one 32-bit word a pixel, 0x00RRGGBB (bytes blue, green, red, unused in memory).
struct Frame {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width * height words

  static constexpr std::uint32_t Word(Color c) {
    return (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
  }
  static Frame Filled(int width, int height, Color c) {
    return Frame{width, height,
                 std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, Word(c))};
  }
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  std::uint32_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

}  // namespace ui
