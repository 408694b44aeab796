#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A whole text in UTF-16LE turned into UTF-8, or why it is not UTF-16LE.
struct Utf16Decoding {
  std::optional<std::string> text;  // nullopt when refused
  std::string error;                // what was wrong and at which byte, when refused
};

// Appends code point `c` to `out` in UTF-8 (the caller keeps `c` a valid code point).
void AppendUtf8(std::string& out, char32_t c);

// Decodes `bytes` (without the byte order mark) as UTF-16LE. Strict, unlike a value's hex(1)
// bytes: a whole file that does not decode is refused rather than patched, so an odd number of
// bytes and a surrogate without its partner are errors that name the byte offset. A NUL
// character is refused too: no .reg text holds one.
Utf16Decoding DecodeUtf16LeText(std::string_view bytes);

}  // namespace platform
