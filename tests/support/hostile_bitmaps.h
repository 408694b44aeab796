#pragma once

#include <string>
#include <vector>

namespace testing_support {

// A small BMP file made wrong in one way, as a hostile user would hand it in.
struct HostileBitmap {
  std::string name;   // what is wrong with it
  std::string bytes;  // the whole file
};

// Damaged BMP files, each refused by the picture decode that the window and the skin check
// share: cut short in the pixels, the palette or the run-length stream; a pixel offset,
// palette or stated image size beyond the file; more pixels than any decode takes.
std::vector<HostileBitmap> HostileBitmaps();

// The sound picture every hostile one is made from: 8 x 4 pixels, 24 bits, uncompressed.
std::string SoundBitmap();

}  // namespace testing_support
