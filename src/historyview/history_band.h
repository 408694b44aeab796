#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>
#include <span>

namespace historyview {

// One pixel column of a reading's band: the rows from its greatest value (top) down to its
// least (bottom), both drawn.
struct BandSpan {
  int x = 0;
  int top = 0;
  int bottom = 0;
};

// Blends `colour` (not premultiplied, with its alpha) over the rows of each span of `image`
// (ARGB32 premultiplied), and across a hole of up to `joinColumns` columns between two spans
// along the straight edges from one to the other, as a polygon through the spans would be
// filled. Spans are in order of x; rows and columns outside the image are left out.
//
// The chart fills its bands this way rather than as polygons: the raster engine hands every
// large fill to a pool of threads and waits for them, which on a busy machine made the bands
// most of the time it took to open a month.
void FillBand(QImage& image, std::span<const BandSpan> spans, int joinColumns, QRgb colour);

// Blends `colour` over every pixel of `rect` (an alarm's shade), or over those of its
// diagonals "/" 8 pixels apart (a connection loss's hatching), as far as it lies in `image`.
void FillRect(QImage& image, const QRect& rect, QRgb colour);
void HatchRect(QImage& image, const QRect& rect, QRgb colour);

}  // namespace historyview
