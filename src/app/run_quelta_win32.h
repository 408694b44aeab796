#pragma once

#include <filesystem>

#include "app/quelta_options.h"

namespace app {

// The program on Windows: the settings, the bus (the HID class library or simulated, traced
// when asked), the system's message loop, message boxes and windows (the Win32 backend) and
// the main window. A window of class "Quelta" already open is brought back instead (message
// 2024) and this copy exits 0. Returns the exit code.
int RunQueltaWin32(const QueltaOptions& options, const std::filesystem::path& programFolder);

}  // namespace app
