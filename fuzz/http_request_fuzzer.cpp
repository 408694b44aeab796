// The service's HTTP request parser, fed as the server feeds it: requests one after another
// from the front of what has arrived. Properties: a complete request is taken whole from
// within the header limit and is no longer complete one byte short; "incomplete" is said
// only within the limit and "too large" only beyond it; every step takes bytes, so a
// pipeline always ends.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/http/http_request_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using platform::http::HttpParseResult;
  using platform::http::kMaxHeaderBytes;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  while (true) {
    const HttpParseResult r = platform::http::ParseHttpRequest(bytes);
    switch (r.status) {
      case HttpParseResult::Status::Incomplete:
        FUZZ_CHECK(bytes.size() <= kMaxHeaderBytes);
        return 0;
      case HttpParseResult::Status::TooLarge:
        FUZZ_CHECK(bytes.size() > kMaxHeaderBytes);
        return 0;
      case HttpParseResult::Status::Malformed:
        FUZZ_CHECK(!r.error.empty());
        return 0;
      case HttpParseResult::Status::Complete:
        break;
    }
    FUZZ_CHECK(r.consumed > 0 && r.consumed <= bytes.size() && r.consumed <= kMaxHeaderBytes);
    FUZZ_CHECK(!r.request.method.empty() && !r.request.target.empty());
    FUZZ_CHECK(r.request.target.rfind(r.request.path, 0) == 0);
    FUZZ_CHECK(!(r.request.hasBody && r.request.keepAlive));
    const HttpParseResult again = platform::http::ParseHttpRequest(bytes.substr(0, r.consumed));
    FUZZ_CHECK(again.status == HttpParseResult::Status::Complete && again.consumed == r.consumed &&
               again.request.target == r.request.target);
    FUZZ_CHECK(platform::http::ParseHttpRequest(bytes.substr(0, r.consumed - 1)).status ==
               HttpParseResult::Status::Incomplete);
    bytes.remove_prefix(r.consumed);
  }
}
