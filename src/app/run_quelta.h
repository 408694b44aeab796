#pragma once

#include "app/quelta_options.h"

namespace app {

// The program: the settings file, the bus (hidapi or simulated, traced when asked), the Qt
// loop, dialogs and backend, the message socket and the main window. Returns the exit code.
// A QApplication must exist.
int RunQuelta(const QueltaOptions& options);

}  // namespace app
