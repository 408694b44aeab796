#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace app::ctl {

// Argument checks shared by the commands; each throws UsageError naming the argument.

// A decimal number taken exactly as typed: the float nearest to the text, no rounding to
// decimals. Refuses anything that is not wholly a finite decimal number.
float ExactFloat(std::string_view text, std::string_view what);

// A whole decimal number (optional sign).
std::int32_t WholeNumber(std::string_view text, std::string_view what);

// Refuses a count of arguments other than `expected`.
void ExpectArguments(std::span<const std::string> arguments, std::size_t expected,
                     std::string_view usage);

}  // namespace app::ctl
