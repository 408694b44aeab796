#include "platform/hid/instance_id_text.h"

#include <array>
#include <cstdio>

namespace platform {
namespace {

constexpr char kHidPrefix[] = "HID\\";
constexpr char kUsbPrefix[] = "USB\\";
constexpr std::size_t kHexIdDigits = 4;

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char Upper(char c) {
  return (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string IdPart(std::string_view vendor, std::string_view product) {
  std::string text = "VID_";
  for (char c : vendor) text += Upper(c);
  text += "&PID_";
  for (char c : product) text += Upper(c);
  return text;
}

bool IsHex(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!IsHexDigit(c)) return false;
  return true;
}

}  // namespace

std::string HidInstanceId(std::uint16_t vendorId, std::uint16_t productId,
                          std::string_view suffix) {
  std::array<char, 24> ids{};
  std::snprintf(ids.data(), ids.size(), "VID_%04X&PID_%04X", vendorId, productId);
  return std::string(kHidPrefix) + ids.data() + "\\" + std::string(suffix);
}

std::optional<std::string> UsbInstanceId(std::string_view idVendor, std::string_view idProduct,
                                         std::string_view suffix) {
  if (idVendor.size() != kHexIdDigits || idProduct.size() != kHexIdDigits) return std::nullopt;
  if (!IsHex(idVendor) || !IsHex(idProduct)) return std::nullopt;
  return std::string(kUsbPrefix) + IdPart(idVendor, idProduct) + "\\" + std::string(suffix);
}

std::optional<std::string> HidInstanceIdFromHidId(std::string_view hidId, std::string_view suffix) {
  // "0003:00001044:00004001": the last four digits of each eight-digit field are the id.
  const std::size_t first = hidId.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t second = hidId.find(':', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const std::string_view bus = hidId.substr(0, first);
  const std::string_view vendor = hidId.substr(first + 1, second - first - 1);
  const std::string_view product = hidId.substr(second + 1);
  if (!IsHex(bus) || !IsHex(vendor) || !IsHex(product)) return std::nullopt;
  if (vendor.size() < kHexIdDigits || product.size() < kHexIdDigits) return std::nullopt;
  // Leading digits beyond the last four must be zeros for a 16-bit id.
  for (std::string_view field : {vendor, product})
    for (char c : field.substr(0, field.size() - kHexIdDigits))
      if (c != '0') return std::nullopt;
  return std::string(kHidPrefix) +
         IdPart(vendor.substr(vendor.size() - kHexIdDigits),
                product.substr(product.size() - kHexIdDigits)) +
         "\\" + std::string(suffix);
}

}  // namespace platform
