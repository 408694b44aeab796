#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/ui/color.h"
#include "platform/ui/frame.h"

namespace ui {

// A frame as the bytes of a PNG file (8-bit RGBA, no interlace), written without any toolkit:
// pixels of the key colour, when one is given, are see-through (alpha 0), every other pixel
// opaque, as the Linux window's screenshots are. The pixel data is stored, not compressed
// (deflate's stored blocks): a screenshot is written once and read by tools that do not mind.
std::vector<std::uint8_t> EncodePng(const Frame& frame, std::optional<Color> key);

// Writes EncodePng's bytes to `file`; false when it could not be written whole.
bool WritePng(const std::filesystem::path& file, const Frame& frame, std::optional<Color> key);

}  // namespace ui
