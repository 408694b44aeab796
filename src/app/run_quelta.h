#pragma once

#include <QCoreApplication>
#include <functional>
#include <memory>

#include "app/quelta_options.h"

namespace app {

// Makes the program's QApplication.
using ApplicationMaker = std::function<std::unique_ptr<QCoreApplication>()>;

// The program: the settings file, the bus (hidapi or simulated, traced when asked), the Qt
// loop, dialogs and backend, the message socket and the main window. Returns the exit code.
// The application is made once this copy is to run (one that hands over to a running copy
// never starts Qt), while the settings file is read.
int RunQuelta(const QueltaOptions& options, const ApplicationMaker& makeApplication);

}  // namespace app
