#pragma once

#include <cstdint>

namespace core {

// The program's own messages to its main window (window class "Quelta"), in one place for the
// controls that post them and the window that handles them.
inline constexpr std::uint32_t kRestoreMessage = 0x07E8;
inline constexpr std::uint32_t kWorkerRestartMessage = 0x0401;
// A marker drag step or the fan-curve apply request: the window re-reads its fan-curve fields.
inline constexpr std::uint32_t kFanCurveApplyMessage = 0x07E9;
// A device appeared or vanished (the HID bus's change notification, posted to the window).
inline constexpr std::uint32_t kDeviceChangeMessage = 0x0219;
// The simulated PSU's cable, pulled and put back (for trying removal and return without a
// real device). Only `quelta --simulate` acts on them; they never reach the window.
inline constexpr std::uint32_t kSimulatedUnplugMessage = 0x8001;
inline constexpr std::uint32_t kSimulatedPlugMessage = 0x8002;
// Open the history window (or bring it forward).
inline constexpr std::uint32_t kHistoryWindowMessage = 0x8010;

}  // namespace core
