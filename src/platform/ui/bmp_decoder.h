#pragma once

#include <optional>
#include <span>
#include <string>

#include "platform/ui/frame.h"

namespace ui {

// The pixels of a whole BMP file, read without any toolkit: the layouts BmpSize takes
// (palette pictures of 1, 4 and 8 bits, 8-bit and 4-bit run-length coding, 16, 24 and 32 bits,
// bit fields), rows stored from the bottom or from the top. Pixels a run-length picture skips
// are its palette's first colour. Nullopt for anything else or a file cut short, with `error`
// saying what was wrong; a damaged file never reads outside its bytes.
std::optional<Frame> DecodeBmp(std::span<const unsigned char> file, std::string& error);

}  // namespace ui
