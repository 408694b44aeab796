#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::http {

// The most a request line and its header fields may take together, with the blank line that
// ends them. A client that sends more is answered 431 and cut off.
inline constexpr std::size_t kMaxHeaderBytes = 8 * 1024;

struct HttpRequest {
  std::string method;     // as sent: methods are case-sensitive
  std::string target;     // as sent: "/metrics?x=1"
  std::string path;       // the target up to its query: "/metrics"
  bool keepAlive = true;  // the connection may carry another request after this one
  bool hasBody = false;   // Content-Length above 0 or any Transfer-Encoding
};

struct HttpParseResult {
  enum class Status {
    Incomplete,  // no blank line yet and still within kMaxHeaderBytes: read more
    Complete,    // `request` holds it and `consumed` its bytes
    Malformed,   // not a request: answer 400 and close; `error` says what
    TooLarge,    // request line and header fields beyond kMaxHeaderBytes: answer 431 and close
  };
  Status status = Status::Incomplete;
  HttpRequest request;
  std::size_t consumed = 0;
  std::string error;
};

// Reads the request at the front of `bytes` (HTTP/1.0 or 1.1; lines end in CRLF or a bare
// LF). Looks at most kMaxHeaderBytes into it, so a pipelined request after it is left for the
// next call. A request body is not read: its sender is answered and the connection closed,
// as nothing here takes one. Pure: no reads, no allocation beyond the result.
HttpParseResult ParseHttpRequest(std::string_view bytes);

}  // namespace platform::http
