#pragma once

#include <QImage>
#include <optional>
#include <string>

namespace skingen {

// The bytes of a Windows bitmap file for a picture.
//
// Pictures of at most 256 colours are stored with 8 bits per pixel and run-length compression
// (RLE8): the same pixels, a fraction of the size. Pictures with more colours (anti-aliased
// text and icons on flat fills) are brought to 256 when that leaves the mean difference per
// channel under half a step, and stored the same way; the rest as 24-bit bitmaps.
std::string EncodeBitmapFile(const QImage& image);

// The RLE8 file of a picture, or nothing when it has more than 256 colours.
std::optional<std::string> EncodeRle8Bitmap(const QImage& image);

}  // namespace skingen
