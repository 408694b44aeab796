#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mainwindow {

// The program's own messages to its main window (window class "Quelta").
inline constexpr std::uint32_t kRestoreMessage = 0x07E8;
inline constexpr std::uint32_t kWorkerRestartMessage = 0x0401;
inline constexpr std::uint32_t kFanCurveApplyMessage = 0x07E9;
// A device appeared or vanished (the HID bus's change notification, posted to the window).
inline constexpr std::uint32_t kDeviceChangeMessage = 0x0219;
// The simulated PSU's cable, pulled and put back (for trying removal and return without a
// real device). Only `quelta --simulate` acts on them; they never reach the window.
inline constexpr std::uint32_t kSimulatedUnplugMessage = 0x8001;
inline constexpr std::uint32_t kSimulatedPlugMessage = 0x8002;

// The name of the main window's class, which also names its message socket.
inline constexpr std::string_view kWindowClassName = "Quelta";

// Where the running window listens for its messages: $XDG_RUNTIME_DIR/Quelta when that is an
// absolute path, else /tmp/Quelta-<uid>, so every user has a socket of their own.
std::filesystem::path MessageSocketPath(const char* xdgRuntimeDir, unsigned uid);
// The same for this process's user and environment.
std::filesystem::path MessageSocketPath();

// One message as it travels on the socket: the decimal number on one line.
std::string EncodeMessage(std::uint32_t message);
// The number of one line (a trailing CR or LF is allowed); empty for anything else.
std::optional<std::uint32_t> DecodeMessage(std::string_view line);

}  // namespace mainwindow
