#pragma once

#include <memory>

#include "platform/hid/win32/setup_hid_calls.h"

namespace platform {

// The system's own SetupAPI and HID class library calls.
std::unique_ptr<SetupHidCalls> MakeWin32SetupHidCalls();

}  // namespace platform
