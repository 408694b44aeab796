#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/hid/hid_bus.h"
#include "platform/hid/hid_handle.h"

namespace device {

// The three readings the needle panel shows, from the main window's copy.
struct GaugeReadings {
  float WattTotal = 0.0f;
  float TempPSU = 0.0f;
  float FanPSU = 0.0f;
};

// Whether the alarm groups the panel looks at are muted: power, fan speed and temperature. The
// alarm page owns these flags; whoever drives the panel hands in theirs.
struct GaugeMuted {
  bool Watt = false;
  bool FanSpeed = false;
  bool Temperature = false;
};

// One needle's alarm rule as the alarm settings hold it: the threshold and its switch.
struct GaugeRule {
  float Value = 0.0f;
  bool Enable = false;
};

// The thresholds the needles alarm on. Power has no switch of its own: its group's muted flag
// silences it. The caller maps them from the alarm settings, which live above this layer.
struct GaugeThresholds {
  float Watt = 0.0f;
  GaugeRule TempPSU;  // alarm above
  GaugeRule PSUFan;   // alarm below
};

// One needle: the reading it was given, where it points (0 to 270) and whether it alarms.
struct GaugeNeedle {
  float reading = 0.0f;
  std::int32_t position = 0;
  bool alarm = false;

  // Bit 7 and bit 6: the alarm; bit 5: always set; bit 0: the position lies above 255.
  std::uint8_t FlagsByte() const;
  // The position itself up to 255; above it, position - 255 (270 goes out as 15).
  std::uint8_t PositionByte() const;
};

// The needles in the order power, PSU temperature, PSU fan.
struct GaugeState {
  std::array<GaugeNeedle, 3> needles;
};

inline constexpr std::size_t kGaugeReportLength = 9;
using GaugeReport = std::array<std::uint8_t, kGaugeReportLength>;

// Clamps `reading` to low..high (a reading that is not a number counts as low), takes off
// `minus` and scales by 270 / span in single precision; halves round upward.
std::int32_t NeedlePosition(float reading, float low, float high, float minus, float span);

// The three needles from the readings, the alarm thresholds and switches, and the muted
// groups: power alarms above its threshold, the PSU temperature above its threshold and the
// PSU fan below its threshold, each only while switched on and its group is not muted.
GaugeState ComputeGaugeState(const GaugeReadings& readings, const GaugeThresholds& thresholds,
                             const GaugeMuted& muted);

// The output report: report id 0, 0x00, 0x83, then flags and position of each needle.
GaugeReport MakeGaugeReport(const GaugeState& state);

// Drives the optional needle panel once a second from the UI thread: tests whether it is
// plugged in, opens it, sends it the needles, and closes it when it is gone. The panel is
// only written to and is not guarded by the access mutex.
class GaugePanel {
 public:
  explicit GaugePanel(platform::HidBus& bus) : bus_(bus) {}

  // One tick. Present and open: the needles are computed and sent; a write that does not go
  // through closes the handle, so a panel plugged out and back in between two ticks is opened
  // afresh on the next one. Present and closed: opened (nothing sent on this tick). Absent and
  // open: closed.
  void GaugeTick(const GaugeReadings& readings, const GaugeThresholds& thresholds,
                 const GaugeMuted& muted);

  bool GaugePresent() const { return present_; }
  bool Open() const { return handle_ != nullptr; }
  // The needles last computed while the panel is open; empty while it is closed.
  const std::optional<GaugeState>& State() const { return state_; }

 private:
  void Close();

  platform::HidBus& bus_;
  std::unique_ptr<platform::HidHandle> handle_;
  std::optional<GaugeState> state_;
  bool present_ = false;
};

}  // namespace device
