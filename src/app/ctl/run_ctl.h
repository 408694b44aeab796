#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/ctl/ctl_host.h"

namespace app::ctl {

// quelta-ctl as a whole: parses `args` (without the program name), runs the command and
// returns the exit code. Nothing escapes as an exception.
int RunCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CtlHost& host);

// The usage text, built from the command table.
std::string CtlUsage();

}  // namespace app::ctl
