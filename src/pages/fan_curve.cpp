#include "pages/fan_curve.h"

#include <cmath>

#include "core/numbers.h"

namespace pages::fan_curve {
namespace {

constexpr float kVoltsSpan = kMaxVolts - kMinVolts;        // 8
constexpr float kCelsiusSpan = kMaxCelsius - kMinCelsius;  // 49
constexpr double kThousandths = 1000.0;

constexpr const char* kDigitMessage = "Please Enter Digitial Number!";
constexpr const char* kVoltsRange = "Please Enter Number Between (4.0 - 12.0)!";
constexpr const char* kCelsiusRange = "Please Enter Number Between (25 - 74)!";
constexpr const char* kFahrenheitRange = "Please Enter Number Between (77 - 165)!";
constexpr const char* kFailSuffix = "\n\nNew Value Setting FAIL!";
constexpr const char* kVoltsRangeOnOk = "Please Enter Voltage Number Between (4.0 - 12.0)!";

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

float InPageUnit(float celsius, core::TempUnit unit) {
  return unit == core::TempUnit::kFahrenheit ? core::ToFahrenheit(celsius) : celsius;
}

float CelsiusFromPageUnit(float value, core::TempUnit unit) {
  return unit == core::TempUnit::kFahrenheit ? RoundedToThousandths(core::ToCelsius(value)) : value;
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

float WholeCelsius(float shown, float current, core::TempUnit unit) {
  // Read back from whole Fahrenheit, the page's own value would lose a degree each time it is
  // taken (38 C shows as 100 F, which is 37.8 C).
  if (std::isfinite(current) && std::trunc(shown) == std::trunc(InPageUnit(current, unit))) {
    return current;
  }
  return std::trunc(CelsiusFromPageUnit(std::trunc(shown), unit));
}

const char* EditRefusal(std::string_view text, bool startVolts, core::TempUnit unit) {
  if (text.empty()) return nullptr;
  if (!PassesDigitTest(text)) return kDigitMessage;
  const float value = core::ParseSettingNumber(text);
  if (startVolts) return value < kMinVolts || value > kMaxVolts ? kVoltsRange : nullptr;
  if (unit == core::TempUnit::kFahrenheit) {
    return value < kMinFahrenheit || value > kMaxFahrenheit ? kFahrenheitRange : nullptr;
  }
  return value < kMinCelsius || value > kMaxCelsius ? kCelsiusRange : nullptr;
}

std::optional<std::string> OkRefusal(CurveValues values, core::TempUnit unit) {
  if (!(values.volts >= kMinVolts && values.volts <= kMaxVolts)) {
    return std::string(kVoltsRangeOnOk) + kFailSuffix;
  }
  const float celsius = RoundedToThousandths(values.celsius);
  if (!(celsius >= kMinCelsius && celsius <= kMaxCelsius)) {
    return std::string(unit == core::TempUnit::kFahrenheit ? kFahrenheitRange : kCelsiusRange) +
           kFailSuffix;
  }
  return std::nullopt;
}

}  // namespace pages::fan_curve
