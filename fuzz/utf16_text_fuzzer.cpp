// The UTF-16LE decoder of registry editor exports. Properties: it accepts exactly the texts made
// of whole, well-paired units without NUL, and what it accepts encodes back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/registry/utf16_text.h"

namespace {

// Whether `bytes` is UTF-16LE the decoder must take, judged unit by unit.
bool WellFormed(std::string_view bytes) {
  if (bytes.size() % 2 != 0) return false;
  bool wantLow = false;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const unsigned unit = static_cast<std::uint8_t>(bytes[i]) |
                          (static_cast<unsigned>(static_cast<std::uint8_t>(bytes[i + 1])) << 8);
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (unit == 0 || wantLow != low) return false;
    wantLow = high;
  }
  return !wantLow;
}

// UTF-8 (as the decoder writes it) back to UTF-16LE.
std::string Encode(std::string_view utf8) {
  std::string out;
  const auto unit = [&out](std::uint32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  };
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<std::uint8_t>(utf8[i]);
    const std::size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    std::uint32_t c = length == 1   ? b
                      : length == 2 ? (b & 0x1Fu)
                      : length == 3 ? (b & 0x0Fu)
                                    : (b & 0x07u);
    for (std::size_t k = 1; k < length; ++k) {
      c = (c << 6) | (static_cast<std::uint8_t>(utf8[i + k]) & 0x3Fu);
    }
    i += length;
    if (c >= 0x10000) {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      unit(c);
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const platform::Utf16Decoding decoded = platform::DecodeUtf16LeText(bytes);
  FUZZ_CHECK(decoded.text.has_value() == WellFormed(bytes));
  FUZZ_CHECK(decoded.text.has_value() == decoded.error.empty());
  if (decoded.text) FUZZ_CHECK(Encode(*decoded.text) == bytes);
  return 0;
}
