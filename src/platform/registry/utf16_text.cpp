#include "platform/registry/utf16_text.h"

#include <cstdint>

namespace platform {
namespace {

constexpr char32_t kHighSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kLowSurrogateLast = 0xDFFF;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr int kSurrogateBits = 10;

char32_t UnitAt(std::string_view bytes, std::size_t offset) {
  return static_cast<char32_t>(static_cast<std::uint8_t>(bytes[offset]) |
                               (static_cast<std::uint8_t>(bytes[offset + 1]) << 8));
}

bool IsHighSurrogate(char32_t unit) {
  return unit >= kHighSurrogateFirst && unit < kLowSurrogateFirst;
}

bool IsLowSurrogate(char32_t unit) {
  return unit >= kLowSurrogateFirst && unit <= kLowSurrogateLast;
}

Utf16Decoding Refused(std::string why, std::size_t offset) {
  return Utf16Decoding{std::nullopt, std::move(why) + " at byte " + std::to_string(offset)};
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

Utf16Decoding DecodeUtf16LeText(std::string_view bytes) {
  if (bytes.size() % 2 != 0) {
    return Utf16Decoding{std::nullopt, "odd number of bytes (" + std::to_string(bytes.size()) +
                                           "): UTF-16 text comes in pairs of bytes"};
  }
  std::string out;
  out.reserve(bytes.size() / 2);
  for (std::size_t at = 0; at < bytes.size(); at += 2) {
    const char32_t unit = UnitAt(bytes, at);
    if (unit == 0) return Refused("a NUL character", at);
    if (IsLowSurrogate(unit)) return Refused("a low surrogate without a high one before it", at);
    if (!IsHighSurrogate(unit)) {
      AppendUtf8(out, unit);
      continue;
    }
    const char32_t low = at + 2 < bytes.size() ? UnitAt(bytes, at + 2) : 0;
    if (!IsLowSurrogate(low)) return Refused("a high surrogate without a low one after it", at);
    AppendUtf8(out, kFirstSupplementary + ((unit - kHighSurrogateFirst) << kSurrogateBits) +
                        (low - kLowSurrogateFirst));
    at += 2;
  }
  return Utf16Decoding{std::move(out), {}};
}

}  // namespace platform
