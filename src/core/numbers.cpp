#include "core/numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace core {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Length of the longest prefix of `text` that forms a decimal number
// (digits, optional fraction, optional exponent); 0 when there is none.
std::size_t DecimalPrefixLength(std::string_view text) {
  std::size_t i = 0;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  // An exponent counts only when at least one digit follows it.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return i;
}

// Rough power of ten of a decimal number text (position of its first significant digit
// relative to the decimal point, plus its exponent): positive for huge, negative for tiny.
long DecimalExponent(std::string_view number) {
  const std::size_t exponentAt = number.find_first_of("eE");
  const std::string_view mantissa = number.substr(0, exponentAt);
  long exponent = 0;
  if (exponentAt != std::string_view::npos) {
    std::string_view e = number.substr(exponentAt + 1);
    const bool negative = !e.empty() && e.front() == '-';
    if (!e.empty() && (e.front() == '+' || e.front() == '-')) e.remove_prefix(1);
    for (char c : e) exponent = std::min(exponent * 10 + (c - '0'), 100000L);
    if (negative) exponent = -exponent;
  }
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_of("123456789");
  const long position =
      first < point ? static_cast<long>(point - first) : -static_cast<long>(first - point - 1);
  return position + exponent;
}

// The C library's decimal conversion of the leading number, without its locale
// dependence and without the hexadecimal, "inf" and "nan" forms.
double LeadingDecimal(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const std::size_t length = DecimalPrefixLength(text);
  if (length == 0) return 0.0;
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + length, value);
  if (error == std::errc::result_out_of_range) {
    // Too large gives the largest magnitude, too small gives 0, as the C library does.
    value = DecimalExponent(text.substr(0, length)) > 0 ? std::numeric_limits<double>::max() : 0.0;
  }
  return negative ? -value : value;
}

}  // namespace

float ParseRealNumber(std::string_view text) {
  constexpr float kFloatMax = std::numeric_limits<float>::max();
  const double leading = LeadingDecimal(text);
  // Narrowing a value beyond the float range would be undefined: it clamps instead.
  return leading > kFloatMax ? kFloatMax
                             : (leading < -kFloatMax ? -kFloatMax : static_cast<float>(leading));
}

float ParseSettingNumber(std::string_view text) {
  const float narrowed = ParseRealNumber(text);

  const double thousandth = 1.0 / 1000.0;
  // The magnitude is rounded and the sign put back, so a negative value rounds like its
  // positive mirror: adding the half before truncating toward zero would take a thousandth
  // off every whole negative number (-11 would become -10.999).
  const double magnitude = std::fabs(static_cast<double>(narrowed)) / thousandth + 0.5;
  // Beyond the 64-bit range a float has no fraction left to round.
  if (!(magnitude < 9.0e18)) return narrowed;
  const auto truncated = static_cast<std::int64_t>(magnitude);
  const double rounded = static_cast<double>(truncated) * thousandth;
  return static_cast<float>(narrowed < 0.0f ? -rounded : rounded);
}

std::int32_t StrictToInt(std::string_view text) {
  const std::string_view trimmed = TrimBlanks(text);
  auto fail = [&]() -> ConversionError {
    return ConversionError("'" + std::string(text) + "' is not a valid integer value");
  };
  std::string_view digits = trimmed;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty()) throw fail();
  std::int64_t value = 0;
  for (char c : digits) {
    if (!IsDigit(c)) throw fail();
    value = value * 10 + (c - '0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) throw fail();
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    throw fail();
  }
  return static_cast<std::int32_t>(value);
}

std::string FixedText(double value, int decimals) {
  if (!std::isfinite(value)) value = 0.0;
  std::array<char, 400> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, decimals < 0 ? 0 : decimals);
  std::string text(buffer.data(), result.ptr);
  // A value that rounds to zero is shown without a sign.
  if (text.front() == '-' && text.find_first_of("123456789") == std::string::npos) text.erase(0, 1);
  return text;
}

float ToFahrenheit(float celsius) {
  return celsius * 9.0f * 0.2f + 32.0f;
}

float ToCelsius(float fahrenheit) {
  return (fahrenheit - 32.0f) / (9.0f * 0.2f);
}

}  // namespace core
