#pragma once

#include <cstdint>

namespace ui {

// An opaque RGB colour.
struct Color {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  // From a desktop colour value 0x00BBGGRR (so 65280 is pure green, 0xC0DCC0 a pale green).
  static constexpr Color FromBgr(std::uint32_t bgr) {
    return Color{static_cast<std::uint8_t>(bgr & 0xFF),
                 static_cast<std::uint8_t>((bgr >> 8) & 0xFF),
                 static_cast<std::uint8_t>((bgr >> 16) & 0xFF)};
  }

  friend constexpr bool operator==(const Color&, const Color&) = default;
};

namespace colors {
// The colour key of every skinned window and bitmap: magenta is see-through.
inline constexpr Color kMagenta{255, 0, 255};
inline constexpr Color kPureRed{255, 0, 0};
inline constexpr Color kPureGreen{0, 255, 0};
inline constexpr Color kGrey{128, 128, 128};
inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kWhite{255, 255, 255};
// The desktop's system colours as this program draws them.
inline constexpr Color kButtonFace{240, 240, 240};
inline constexpr Color kButtonHighlight{255, 255, 255};
inline constexpr Color kWindowText{0, 0, 0};
inline constexpr Color kWindowBackground{255, 255, 255};
}  // namespace colors

}  // namespace ui
