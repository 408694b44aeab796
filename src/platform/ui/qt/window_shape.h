#pragma once

#include <QImage>
#include <QRegion>

namespace ui::qt {

// The pixels of `area` in `frame` that are not the key colour, as a region: the part of a
// borderless window that the desktop shows.
QRegion OpaqueRegion(const QImage& frame, QRgb key, const QRect& area);
// Whether any pixel of `area` (clipped to the frame) has the key colour.
bool HasKeyPixel(const QImage& frame, QRgb key, const QRect& area);

// The region with every rectangle grown by a whole factor (scene pixels to widget pixels).
QRegion ScaledRegion(const QRegion& region, int factor);

}  // namespace ui::qt
