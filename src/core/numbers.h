#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace core {

// The framework's conversion error: a text that should hold a number does not.
// Its message is shown to the user as it stands, e.g. "'abc' is not a valid integer value".
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The one rule by which a stored or typed decimal text becomes a number:
// the leading decimal number of the text (blanks skipped; empty or non-numeric gives 0),
// narrowed to float, rounded half up to three decimals, narrowed to float again.
// Never throws; a number beyond the float range gives the largest float of its sign.
float ParseSettingNumber(std::string_view text);

// A plain real text as the skin holds it: the leading decimal number (as above) narrowed to
// float, without rounding. Never throws; beyond the float range gives the largest float.
float ParseRealNumber(std::string_view text);

// The framework's strict integer conversion: an optional sign and decimal digits,
// surrounding blanks allowed, within the 32-bit range. Anything else, the empty text
// included, throws ConversionError.
std::int32_t StrictToInt(std::string_view text);

// Fixed-point text with the given number of decimals, no thousands separator, "." as the
// decimal point whatever the locale: FixedText(450, 2) is "450.00".
std::string FixedText(double value, int decimals);

// Degrees Fahrenheit from degrees Celsius (x 9 x 0.2 + 32), in single precision as every
// display shows them, and back.
float ToFahrenheit(float celsius);
float ToCelsius(float fahrenheit);

}  // namespace core
