#include "platform/http/listen_address.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>

namespace platform::http {

std::optional<ListenAddress> ParseListenAddress(std::string_view text) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  std::string_view host = text.substr(0, colon);
  const std::string_view port = text.substr(colon + 1);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  } else if (host.find(':') != std::string_view::npos) {
    return std::nullopt;  // an IPv6 address needs its brackets
  }
  if (port.empty() || port.size() > 5 ||
      !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  unsigned number = 0;
  std::from_chars(port.data(), port.data() + port.size(), number);
  if (number > 65535) return std::nullopt;
  const std::string hostText(host);
  unsigned char buffer[16];
  if (inet_pton(AF_INET, hostText.c_str(), buffer) != 1 &&
      inet_pton(AF_INET6, hostText.c_str(), buffer) != 1) {
    return std::nullopt;
  }
  return ListenAddress{hostText, static_cast<std::uint16_t>(number)};
}

}  // namespace platform::http
