#pragma once

#include <string>

#include "app/ctl/status_snapshot.h"

namespace app::ctl {

// The plain-text status: a table a person reads at a glance. Values of groups that had no
// good reply show as "--", and a last line names those groups.
std::string StatusTable(const StatusSnapshot& snapshot);

// The status as one JSON object: every ReadingSet field by name (floats with 9 significant
// digits, so each parses back to the same 32-bit float), "Calibration" (six {"Offset",
// "Gain"} in channel order) and "groups" (which groups had good replies).
std::string StatusJson(const StatusSnapshot& snapshot);

// A float as the double whose shortest text is the float's 9-significant-digit text, so
// that a JSON number written from it parses back to the same 32-bit float.
double JsonFloat(float value);

}  // namespace app::ctl
