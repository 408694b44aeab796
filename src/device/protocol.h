#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace device {

// The PSU controller's request/reply reports: the host writes a 6-byte output report naming
// a command, then reads one 9-byte input report with the answer. Byte 0 is the report id.
inline constexpr std::size_t kOutputReportSize = 6;
inline constexpr std::size_t kInputReportSize = 9;
// The read buffer is larger than any reply; a reply is good only at exactly 9 bytes.
inline constexpr std::size_t kReadBufferSize = 64;
// At most this many waiting input reports are thrown away before a request; a HID device
// keeps fewer unread reports than this per handle, so the bound only stops a device that
// never falls silent from holding the exchange forever.
inline constexpr int kMaxDiscardedReports = 64;
inline constexpr std::uint8_t kReportId = 0x00;
inline constexpr std::chrono::milliseconds kReportPause{2};

using OutputReport = std::array<std::uint8_t, kOutputReportSize>;
using InputReport = std::array<std::uint8_t, kInputReportSize>;

// Data byte dN of a reply sits at index N of the input report.
inline constexpr std::size_t kD1 = 1, kD2 = 2, kD3 = 3, kD4 = 4, kD5 = 5, kD6 = 6, kD7 = 7, kD8 = 8;

enum class Command : std::uint8_t {
  ReadReference = 0x00,
  ReadCurrents = 0x02,
  ReadFans = 0x03,
  ReadSensorTemps = 0x04,
  ReadPsuTemp = 0x05,
  Step5V = 0x06,
  Step12V = 0x07,
  Step33V = 0x08,
  SetPsuFanCurve = 0x09,
  SetSystemFanCurve = 0x0A,
  SetLed = 0x0B,
  ReadPowerRating = 0x11,
  ReadCurrentOffsets = 0x12,
  ReadCurrentGains = 0x13,
  ReadVoltagesA = 0x21,
  ReadVoltagesB = 0x22,
};

// Arguments of the query commands.
inline constexpr std::uint8_t kQueryArgument = 0x01;
inline constexpr std::array<std::uint8_t, 4> kPowerRatingArguments{0xA8, 0x17, 0x00, 0x00};
// Step byte of the trim commands.
inline constexpr std::uint8_t kStepDown = 0x01;
inline constexpr std::uint8_t kStepUp = 0x10;
// Fan curves: the PSU fan always follows the PSU sensor; byte 5 is always 0x01.
inline constexpr std::uint8_t kPsuFanSensorCode = 0xA0;
inline constexpr std::uint8_t kFanCurveLastArgument = 0x01;
// LED: argument 1.
inline constexpr std::uint8_t kLedOnArgument = 0x00;
inline constexpr std::uint8_t kLedOffArgument = 0x01;

// A trim moves one rail at most this many steps per call.
inline constexpr int kMaxTrimSteps = 200;

// Rating codes (d1 of the power-rating reply).
inline constexpr std::uint8_t kRating450Code = 0x45;
inline constexpr std::uint8_t kRating550Code = 0x55;
inline constexpr std::uint8_t kRating680Code = 0x68;
inline constexpr std::uint8_t kRating800Code = 0x80;

inline constexpr OutputReport MakeReport(Command command, std::uint8_t a1, std::uint8_t a2,
                                         std::uint8_t a3, std::uint8_t a4) {
  return {kReportId, static_cast<std::uint8_t>(command), a1, a2, a3, a4};
}

inline constexpr OutputReport MakeQuery(Command command) {
  return MakeReport(command, kQueryArgument, kQueryArgument, kQueryArgument, kQueryArgument);
}

}  // namespace device
