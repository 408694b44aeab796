#include "device/gauge_panel.h"

#include <cmath>

#include "device/device_discovery.h"
#include "device/device_identity.h"

namespace device {
namespace {

// A needle sweeps 270 steps; one byte carries 255 of them, the flags carry the rest.
constexpr float kNeedleSweep = 270.0f;
constexpr std::int32_t kByteTop = 255;

constexpr std::uint8_t kAlarmBits = 0xC0;
constexpr std::uint8_t kAlwaysBit = 0x20;
constexpr std::uint8_t kAboveByteBit = 0x01;

constexpr std::uint8_t kReportId = 0x00;
constexpr std::uint8_t kReportCommand = 0x83;

// Clamp range, what is taken off and the span of each needle.
struct NeedleScale {
  float low, high, minus, span;
};
constexpr NeedleScale kPowerScale{0.0f, 800.0f, 0.0f, 800.0f};
constexpr NeedleScale kTemperatureScale{28.0f, 80.0f, 25.0f, 55.0f};
constexpr NeedleScale kFanScale{1000.0f, 3000.0f, 800.0f, 2200.0f};

GaugeNeedle Needle(float reading, const NeedleScale& scale, bool alarm) {
  return GaugeNeedle{
      reading, NeedlePosition(reading, scale.low, scale.high, scale.minus, scale.span), alarm};
}

}  // namespace

std::uint8_t GaugeNeedle::FlagsByte() const {
  std::uint8_t flags = kAlwaysBit;
  if (alarm) flags |= kAlarmBits;
  if (position > kByteTop) flags |= kAboveByteBit;
  return flags;
}

std::uint8_t GaugeNeedle::PositionByte() const {
  return static_cast<std::uint8_t>(position > kByteTop ? position - kByteTop : position);
}

std::int32_t NeedlePosition(float reading, float low, float high, float minus, float span) {
  float r = reading;
  if (!(r >= low)) r = low;  // also a reading that is not a number
  if (r > high) r = high;
  const float p = (r - minus) * kNeedleSweep / span;
  return static_cast<std::int32_t>(std::floor(static_cast<double>(p) + 0.5));
}

GaugeState ComputeGaugeState(const GaugeReadings& readings, const GaugeThresholds& thresholds,
                             const GaugeMuted& muted) {
  const bool powerAlarm = !muted.Watt && readings.WattTotal > thresholds.Watt;
  const bool temperatureAlarm = !muted.Temperature && thresholds.TempPSU.Enable &&
                                readings.TempPSU > thresholds.TempPSU.Value;
  const bool fanAlarm =
      !muted.FanSpeed && thresholds.PSUFan.Enable && readings.FanPSU < thresholds.PSUFan.Value;
  return GaugeState{{Needle(readings.WattTotal, kPowerScale, powerAlarm),
                     Needle(readings.TempPSU, kTemperatureScale, temperatureAlarm),
                     Needle(readings.FanPSU, kFanScale, fanAlarm)}};
}

GaugeReport MakeGaugeReport(const GaugeState& state) {
  GaugeReport report{kReportId, 0x00, kReportCommand};
  std::size_t at = 3;
  for (const GaugeNeedle& needle : state.needles) {
    report[at++] = needle.FlagsByte();
    report[at++] = needle.PositionByte();
  }
  return report;
}

void GaugePanel::GaugeTick(const GaugeReadings& readings, const GaugeThresholds& thresholds,
                           const GaugeMuted& muted) {
  present_ = IsDevicePresent(bus_, kGaugeDevice.instanceText);
  if (present_ && handle_) {
    state_ = ComputeGaugeState(readings, thresholds, muted);
    const GaugeReport report = MakeGaugeReport(*state_);
    // A handle that no longer takes reports belongs to a panel that went away, perhaps
    // only for a moment: it is let go and the next tick opens the panel again.
    if (handle_->Write(report) != report.size()) Close();
  } else if (present_) {
    handle_ = OpenGaugeDevice(bus_);
    if (handle_) state_.emplace();
  } else if (handle_) {
    Close();
  }
}

void GaugePanel::Close() {
  handle_.reset();
  state_.reset();
}

}  // namespace device
