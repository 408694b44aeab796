#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <functional>

#include "texts.h"

// Colours, fonts and drawing helpers shared by every picture of the default skin.
namespace skingen {

namespace palette {
inline const QColor kMagenta(255, 0, 255);  // the see-through colour of every window
inline const QColor kPageTop(0x1a, 0x1f, 0x27);
inline const QColor kPageBottom(0x0e, 0x11, 0x15);
inline const QColor kOutline(0x08, 0x0a, 0x0d);
inline const QColor kCard(0x1f, 0x25, 0x2d);
inline const QColor kCardBorder(0x33, 0x3d, 0x4a);
inline const QColor kCardHighlight(0x2b, 0x33, 0x3e);
inline const QColor kBar(0x16, 0x1a, 0x20);
inline const QColor kTitle(0x84, 0x98, 0xad);
inline const QColor kLabel(0xb4, 0xc0, 0xcc);
inline const QColor kMuted(0x5f, 0x6d, 0x7c);
inline const QColor kText(0xe4, 0xeb, 0xf2);
inline const QColor kAccent(0x36, 0xc9, 0xf2);
inline const QColor kAccentDim(0x1b, 0x5d, 0x73);
inline const QColor kLcd(0x07, 0x0b, 0x0a);
inline const QColor kDigitLit(0x63, 0xf2, 0xc0);
inline const QColor kDigitGhost(0x10, 0x26, 0x20);
inline const QColor kRedLit(0xff, 0x4b, 0x3e);
inline const QColor kRedGhost(0x2e, 0x10, 0x0e);
inline const QColor kAmber(0xff, 0xb8, 0x3d);
inline const QColor kGreen(0x32, 0xd0, 0x6a);
inline const QColor kRed(0xff, 0x4b, 0x3e);
inline const QColor kTrack(0x0b, 0x0e, 0x12);
}  // namespace palette

// A picture of the given size filled with one colour.
QImage NewImage(int width, int height, const QColor& fill);

// A painter with antialiasing and hinted text, as every picture is drawn.
void PreparePainter(QPainter& painter);

// The font of a language (a Noto family holding its script) at a pixel size.
QFont UiFont(const Language& language, int pixelSize, bool bold = false);
// The plain Latin face, for numbers and units.
QFont LatinFont(int pixelSize, bool bold = false);

// Draws text in `rect`, shrinking the font down to 7 pixels (and eliding after that) until it
// fits the width.
void FitText(QPainter& painter, const QRect& rect, int flags, const QString& text, QFont font,
             const QColor& colour);
// Text that may wrap onto several lines within `rect`, shrinking until it fits.
void FitParagraph(QPainter& painter, const QRect& rect, const QString& text, QFont font,
                  const QColor& colour);

// A title as the language writes titles (upper case for Latin and Cyrillic scripts).
QString Title(const Language& language, Text text);

// The page's vertical gradient over the whole picture.
void PageBackground(QPainter& painter, const QRect& rect);
// A rounded card the controls sit on; its inside is palette::kCard, flat.
void Card(QPainter& painter, const QRect& rect);
// A card title at its top-left corner, with a small accent mark.
void CardTitle(QPainter& painter, const QRect& card, const QString& title, const Language& lang);
// A recessed LCD window.
void LcdWindow(QPainter& painter, const QRect& rect);
// A recessed slot around a bar track or a text field.
void Slot(QPainter& painter, const QRect& rect);
// The band along the top of every page: brand on the left, page title on the right.
// The title ends at `titleRight` (default: 16 pixels before the right edge).
void HeaderBand(QPainter& painter, int width, const QString& title, const Language& lang,
                int titleRight = -1);

// Turns the picture's outer corners see-through (magenta), with a dark rim on the curve.
void RoundCorners(QImage& image, int radius, bool top, bool bottom);

// Turns every pixel outside `shape` magenta; pixels the shape's edge only partly covers keep
// their colour, which was drawn over the colour the picture will sit on.
void KeyOutside(QImage& image, const QPainterPath& shape);

}  // namespace skingen
