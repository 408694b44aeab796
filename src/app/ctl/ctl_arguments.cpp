#include "app/ctl/ctl_arguments.h"

#include <charconv>
#include <cmath>

#include "app/ctl/usage_error.h"

namespace app::ctl {
namespace {

bool IsDecimalText(std::string_view text) {
  // from_chars also takes "inf", "nan" and hexadecimal-looking forms; a number here is
  // digits with at most one point and an optional exponent.
  for (char c : text) {
    const bool allowed =
        (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
    if (!allowed) return false;
  }
  return !text.empty();
}

// from_chars takes no leading '+'; a '+' directly before a digit or point is allowed.
std::string_view WithoutPlus(std::string_view text) {
  if (text.size() > 1 && text.front() == '+' &&
      ((text[1] >= '0' && text[1] <= '9') || text[1] == '.'))
    text.remove_prefix(1);
  return text;
}

}  // namespace

float ExactFloat(std::string_view text, std::string_view what) {
  const std::string_view digits = WithoutPlus(text);
  float value = 0.0f;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (!IsDecimalText(text) || error != std::errc() || end != digits.data() + digits.size() ||
      !std::isfinite(value)) {
    throw UsageError(std::string(what) + " must be a decimal number (got '" + std::string(text) +
                     "')");
  }
  return value;
}

std::int32_t WholeNumber(std::string_view text, std::string_view what) {
  const std::string_view digits = WithoutPlus(text);
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
    throw UsageError(std::string(what) + " must be a whole number (got '" + std::string(text) +
                     "')");
  }
  return value;
}

void ExpectArguments(std::span<const std::string> arguments, std::size_t expected,
                     std::string_view usage) {
  if (arguments.size() != expected) throw UsageError("usage: quelta-ctl " + std::string(usage));
}

}  // namespace app::ctl
