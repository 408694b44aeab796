#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform::http {

// Where a server listens: a numeric IPv4 or IPv6 address and a port.
struct ListenAddress {
  std::string host = "127.0.0.1";
  std::uint16_t port = 0;
};

// Reads "HOST:PORT" ("127.0.0.1:9469", "[::1]:9469", "0.0.0.0:80"); HOST is a numeric address,
// PORT 0..65535. Returns nothing for anything else: no names are looked up.
std::optional<ListenAddress> ParseListenAddress(std::string_view text);

}  // namespace platform::http
