#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/temp_unit.h"
#include "platform/ui/geometry.h"
#include "settings/fan_curve.h"

// The rules of the fan-speed sub-page that need no controls: the curve area's geometry, the
// two markers' offsets, the temperature unit conversion and the edits' text rules.
namespace pages::fan_curve {

// The curve drawing area (LabelCurve).
inline constexpr int kWidth = 158;
inline constexpr int kHeight = 90;
// The drawing maps the values over 85 and 157 pixels, the pointer over the full area.
inline constexpr int kDrawnHeight = 85;
inline constexpr int kDrawnWidth = 157;

inline constexpr float kMinVolts = 4.0f;
inline constexpr float kMaxVolts = 12.0f;
inline constexpr float kMinCelsius = 25.0f;
inline constexpr float kMaxCelsius = 74.0f;
// What the Fahrenheit edit accepts: 74 C is 165.2 F, so 165 is the highest whole degree that
// OK also accepts.
inline constexpr float kMinFahrenheit = 77.0f;
inline constexpr float kMaxFahrenheit = 165.0f;

// Start voltage and rising temperature (the sensor plays no part in the drawing).
using CurveValues = settings::FanCurve;

// The values under the pointer at (x, y) of the area.
CurveValues ValuesAtPointer(int x, int y);
// The knee drawn for the values (area pixels).
ui::Point KneeOf(float volts, float celsius);
// How far the start-voltage marker sits above its origin (0 .. 85) and the rising-temperature
// marker right of its origin (0 .. 157).
int StartVoltsMarkerOffset(float volts);
int RisingTempMarkerOffset(float celsius);
// Both values limited to the area's range, for drawing.
CurveValues Clamped(CurveValues values);

// A temperature rounded half up to 0.001, so that 77 F (24.999998 C) compares as 25 C.
float RoundedToThousandths(float value);

// The temperature as the page shows it: converted when the page shows Fahrenheit.
float InPageUnit(float celsius, core::TempUnit unit);
// A temperature read in the page's unit, in Celsius; from Fahrenheit rounded to 0.001, so that
// what is checked, sent and stored does not fall just short of a whole degree.
float CelsiusFromPageUnit(float value, core::TempUnit unit);

// A number written "with no decimals": truncated toward zero, so that the text shown, the text
// stored and the whole degrees sent agree (45.9 gives "45").
std::string WholeText(float value);

// A temperature shown in the page's unit, as whole degrees Celsius; the whole number the page
// shows for `current` (its value) stands for `current`.
float WholeCelsius(float shown, float current, core::TempUnit unit);

// The message refusing an edit's text (EditStartVol when `startVolts`, else EditRisingTemp in
// the page's unit); null when it may be taken. An empty text is left for OK to judge.
const char* EditRefusal(std::string_view text, bool startVolts, core::TempUnit unit);
// OK's message refusing the page's values, or none.
std::optional<std::string> OkRefusal(CurveValues values, core::TempUnit unit);

// Whether an edit's text may be taken as a number: digits with at most one decimal point,
// ending in a digit ("7.5", "45"; not "7.", "abc", "4,5", "-3").
bool PassesDigitTest(std::string_view text);

}  // namespace pages::fan_curve
