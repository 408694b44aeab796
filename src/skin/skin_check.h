#pragma once

#include <filesystem>
#include <optional>
#include <ostream>

#include "platform/registry/registry.h"

namespace skin {

// quelta-ctl skin-check: reads every record of every page of the main window and of both
// detail windows as the windows do, resolves every bitmap path against `programFolder`, opens
// every picture, and checks what would make a display fail at run time (an empty range, more
// digit cells than a 32-bit value holds). `powerRating` (450, 550, 680 or 800) and `language`
// (osLang 1 to 8) narrow the check; by default every rating and language is checked.
// Prints "skin OK" to `out` and returns 0, or prints the first problem (with its key or file)
// to `err` and returns 1; returns 2 for a rating or language outside those ranges. Display keys
// that do not exist are not problems (such a display shows nothing); each is noted on `err`.
int RunSkinCheck(platform::RegistryStore& store, const std::filesystem::path& programFolder,
                 std::optional<int> powerRating, std::optional<int> language, std::ostream& out,
                 std::ostream& err);

}  // namespace skin
