#include "pages/fan_curve.h"

#include <cmath>

#include "core/numbers.h"

namespace pages::fan_curve {
namespace {

constexpr float kVoltsSpan = kMaxVolts - kMinVolts;        // 8
constexpr float kCelsiusSpan = kMaxCelsius - kMinCelsius;  // 49
constexpr double kThousandths = 1000.0;

int Trunc(float value) {
  if (!std::isfinite(value)) return 0;
  const float t = std::trunc(value);
  if (t >= 2147483647.0f) return INT32_MAX;
  if (t <= -2147483648.0f) return INT32_MIN;
  return static_cast<int>(t);
}

}  // namespace

CurveValues ValuesAtPointer(int x, int y) {
  return {kMinVolts + static_cast<float>(kHeight - y) * kVoltsSpan / static_cast<float>(kHeight),
          kMinCelsius + static_cast<float>(x) * kCelsiusSpan / static_cast<float>(kWidth)};
}

ui::Point KneeOf(float volts, float celsius) {
  const int o = Trunc((volts - kMinVolts) * static_cast<float>(kDrawnHeight) / kVoltsSpan);
  const int x = Trunc((celsius - kMinCelsius) * static_cast<float>(kDrawnWidth) / kCelsiusSpan);
  return {x == 0 ? 1 : x, o == 0 ? kHeight - 1 : kHeight - o};
}

int StartVoltsMarkerOffset(float volts) {
  if (volts < kMinVolts) return 0;
  if (volts > kMaxVolts) return kDrawnHeight;
  return Trunc((volts - kMinVolts) * static_cast<float>(kDrawnHeight) / kVoltsSpan);
}

int RisingTempMarkerOffset(float celsius) {
  if (celsius < kMinCelsius) return 0;
  if (celsius > kMaxCelsius) return kDrawnWidth;
  return Trunc((celsius - kMinCelsius) * static_cast<float>(kDrawnWidth) / kCelsiusSpan);
}

CurveValues Clamped(CurveValues values) {
  values.volts = std::fmin(std::fmax(values.volts, kMinVolts), kMaxVolts);
  values.celsius = std::fmin(std::fmax(values.celsius, kMinCelsius), kMaxCelsius);
  return values;
}

float RoundedToThousandths(float value) {
  if (!std::isfinite(value)) return value;
  return static_cast<float>(std::floor(static_cast<double>(value) * kThousandths + 0.5) /
                            kThousandths);
}

float InPageUnit(float celsius, std::int32_t unit) {
  return unit == kFahrenheit ? core::ToFahrenheit(celsius) : celsius;
}

float CelsiusFromPageUnit(float value, std::int32_t unit) {
  return unit == kFahrenheit ? RoundedToThousandths(core::ToCelsius(value)) : value;
}

std::string WholeText(float value) {
  return core::FixedText(std::isfinite(value) ? std::trunc(value) : 0.0f, 0);
}

bool PassesDigitTest(std::string_view text) {
  if (text.empty()) return false;
  bool point = false;
  for (const char c : text) {
    if (c == '.') {
      if (point) return false;
      point = true;
    } else if (c < '0' || c > '9') {
      return false;
    }
  }
  const char last = text.back();
  return last >= '0' && last <= '9';
}

}  // namespace pages::fan_curve
