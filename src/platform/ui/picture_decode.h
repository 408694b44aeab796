#pragma once

#ifdef QUELTA_UI_QT
#include <QImage>
#endif
#include <filesystem>
#include <string>

#include "platform/ui/frame.h"

namespace ui {

// A picture file decoded, or why it was refused. The window and `quelta-ctl skin-check` both
// decode through DecodePictureFile, so the window refuses exactly the pictures the check does.
struct PictureDecode {
#ifdef QUELTA_UI_QT
  QImage image;  // null when refused
#else
  Frame image;  // 0 x 0 when refused
#endif
  // What is wrong, written to follow the file's name ("is cut short: 600 bytes where its header
  // needs 1270"); empty when the picture decoded.
  std::string problem;
};

// Decodes the picture of `file` (or a Qt resource, ":/..."; without Qt, BMP files only,
// through DecodeBmp). A BMP shorter than its header
// says it is (pixel rows, or the run-length stream's stated size, past the end of the file) is
// refused before any pixel is read: Qt's reader would fill the missing part in silently. So is
// anything Qt's reader cannot decode (a palette or pixel offset beyond the file, a run-length
// stream that ends mid-run, a picture larger than it decodes).
PictureDecode DecodePictureFile(const std::filesystem::path& file);

}  // namespace ui
