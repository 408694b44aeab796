#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/window_message_codes.h"

namespace app::ctl {

class CtlEnvironment;

// The words `quelta-ctl send` takes and the window message each one posts, on every system.
struct SendWord {
  std::string_view name;
  std::uint32_t message;
};
inline constexpr SendWord kSendWords[] = {
    {"restore", core::kRestoreMessage},
    {"restart-worker", core::kWorkerRestartMessage},
    {"apply-fan-curve", core::kFanCurveApplyMessage},
    {"history", core::kHistoryWindowMessage},
    {"unplug", core::kSimulatedUnplugMessage},
    {"plug", core::kSimulatedPlugMessage},
};

// Hands `word`'s message to the running window the way this system reaches it (the message
// socket on Linux, a posted window message on Windows): an exit code, the reason on stderr.
int DeliverToWindow(CtlEnvironment& environment, const SendWord& word);

}  // namespace app::ctl
