#pragma once

#include <QColor>
#include <QImage>
#include <QString>

// The pictures of the displays: digit sets and their signs, gauge frames, fan frames, the
// alarm icons and the draggable markers.
namespace skingen {

// Ten seven-segment digits 0 to 9 side by side, each cellWidth x cellHeight.
QImage DigitStrip(int cellWidth, int cellHeight, const QColor& lit, const QColor& ghost);
// A blank digit cell (every segment unlit), a decimal point (3 x 3), a sign (8 x 11).
QImage BlankDigit(int cellWidth, int cellHeight, const QColor& ghost);
QImage DecimalPoint(const QColor& lit);
QImage SignPicture(bool negative, bool big, const QColor& lit, const QColor& ghost);

enum class GaugeStyle { Power, Peak, Small, Temperature };
// A strip of `frames` gauge pictures of cellWidth x cellHeight; frame k shows k of
// frames - 1 steps lit. Temperature gauges carry their unit's letter.
QImage GaugeStrip(GaugeStyle style, int cellWidth, int cellHeight, int frames, bool fahrenheit);

// One picture (n from 1 to 9) of the PSU temperature dial, 87 x 47.
QImage TempDial(bool celsius, int n);

// A strip of fan frames, 72 x 73 each, turning by one blade pitch over the strip.
QImage FanStrip(bool systemFan, int frames);

// The blinking alarm icons: power (25 x 25) and fan (21 x 21), on the card's colour.
QImage WattAlarmIcon();
QImage FanAlarmIcon();

// Draggable markers, on the card's colour: beside a vertical bar (top edge marks the value),
// and the fan curve's two (tips at row 8 of 12 x 17, at column 3 of 7 x 10).
QImage BarMarker(bool enabled);
QImage CurveMarkerVertical(bool enabled);
QImage CurveMarkerHorizontal(bool enabled);

}  // namespace skingen
