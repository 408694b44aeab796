#include "platform/http/http_request_parser.h"

#include <gtest/gtest.h>

#include "platform/http/listen_address.h"

namespace platform::http {
namespace {

using Status = HttpParseResult::Status;

// A GET whose header section is exactly `size` bytes long, blank line included.
std::string RequestOfSize(std::size_t size) {
  const std::string start = "GET /metrics HTTP/1.1\r\nX-Pad: ";
  const std::string end = "\r\n\r\n";
  return start + std::string(size - start.size() - end.size(), 'a') + end;
}

TEST(HttpRequestParser, TakesARequestWithItsFieldsAndLeavesWhatFollows) {
  const std::string first =
      "GET /metrics?x=1 HTTP/1.1\r\nHost: 127.0.0.1:9469\r\nAccept: */*\r\n\r\n";
  const HttpParseResult r = ParseHttpRequest(first + "GET / HTTP/1.1\r\n\r\n");
  ASSERT_EQ(r.status, Status::Complete) << r.error;
  EXPECT_EQ(r.request.method, "GET");
  EXPECT_EQ(r.request.target, "/metrics?x=1");
  EXPECT_EQ(r.request.path, "/metrics");
  EXPECT_TRUE(r.request.keepAlive);
  EXPECT_FALSE(r.request.hasBody);
  EXPECT_EQ(r.consumed, first.size());
  // Bare line feeds, and blank lines before the request.
  const HttpParseResult lf = ParseHttpRequest("\r\n\nGET /a HTTP/1.0\nHost: x\n\n");
  ASSERT_EQ(lf.status, Status::Complete) << lf.error;
  EXPECT_EQ(lf.request.path, "/a");
  EXPECT_EQ(lf.consumed, 28u);
}

// Incomplete at every cut short of the blank line, complete on it.
TEST(HttpRequestParser, WaitsForTheBlankLineAtEveryCut) {
  const std::string whole = "GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n";
  for (std::size_t n = 0; n < whole.size(); ++n) {
    EXPECT_EQ(ParseHttpRequest(whole.substr(0, n)).status, Status::Incomplete) << n;
  }
  EXPECT_EQ(ParseHttpRequest(whole).status, Status::Complete);
}

// 8192 bytes of header section are taken; one more is too large, whether or not its end has
// arrived; and so is a stream of blank lines that never ends.
TEST(HttpRequestParser, HeaderSectionLimitFromBothSides) {
  EXPECT_EQ(ParseHttpRequest(RequestOfSize(kMaxHeaderBytes)).status, Status::Complete);
  EXPECT_EQ(ParseHttpRequest(RequestOfSize(kMaxHeaderBytes + 1)).status, Status::TooLarge);
  const std::string unended = RequestOfSize(kMaxHeaderBytes + 100).substr(0, kMaxHeaderBytes + 1);
  EXPECT_EQ(ParseHttpRequest(unended.substr(0, kMaxHeaderBytes)).status, Status::Incomplete);
  EXPECT_EQ(ParseHttpRequest(unended).status, Status::TooLarge);
  EXPECT_EQ(ParseHttpRequest(std::string(1 << 20, 'a')).status, Status::TooLarge);
  EXPECT_EQ(ParseHttpRequest(std::string(kMaxHeaderBytes + 1, '\n')).status, Status::TooLarge);
}

TEST(HttpRequestParser, RefusesWhatIsNotARequest) {
  for (const char* bad : {
           "GET /metrics\r\n\r\n",                     // no version
           "GET  /metrics HTTP/1.1\r\n\r\n",           // two spaces
           "GET /metrics HTTP/1.1 x\r\n\r\n",          // a fourth word
           "GET /metrics HTTP/2.0\r\n\r\n",            // a version not spoken
           "G(T /metrics HTTP/1.1\r\n\r\n",            // a method that is no token
           "GET /me\x01trics HTTP/1.1\r\n\r\n",        // a control character in the target
           "GET /metrics HTTP/1.1\r\nHost x\r\n\r\n",  // a field without a colon
           "GET /metrics HTTP/1.1\r\nHo st: x\r\n\r\n",
           "GET /metrics HTTP/1.1\r\nA: b\r\n c\r\n\r\n",  // a folded line
           "GET /metrics HTTP/1.1\r\nA: b\rc\r\n\r\n",     // a bare CR
           "GET /metrics HTTP/1.1\r\nContent-Length: 1x\r\n\r\n",
           "GET /metrics HTTP/1.1\r\nContent-Length: \r\n\r\n",
       }) {
    const HttpParseResult r = ParseHttpRequest(bad);
    EXPECT_EQ(r.status, Status::Malformed) << bad;
    EXPECT_FALSE(r.error.empty()) << bad;
  }
  EXPECT_EQ(ParseHttpRequest(std::string("GET /\0 HTTP/1.1\r\n\r\n", 20)).status,
            Status::Malformed);
}

// Keep-alive is HTTP/1.1's default and HTTP/1.0's on request; "close" in any list ends it, and
// so does a body, which nothing here reads.
TEST(HttpRequestParser, KeepsTheConnectionOnlyWhenBothSidesMayGoOn) {
  struct Case {
    const char* fields;
    const char* version;
    bool keepAlive;
    bool hasBody;
  };
  for (const Case& c : {
           Case{"", "HTTP/1.1", true, false},
           Case{"Connection: close\r\n", "HTTP/1.1", false, false},
           Case{"connection: Upgrade, CLOSE\r\n", "HTTP/1.1", false, false},
           Case{"", "HTTP/1.0", false, false},
           Case{"Connection: keep-alive\r\n", "HTTP/1.0", true, false},
           Case{"Content-Length: 0\r\n", "HTTP/1.1", true, false},
           Case{"Content-Length: 00\r\n", "HTTP/1.1", true, false},
           Case{"Content-Length: 5\r\n", "HTTP/1.1", false, true},
           Case{"Transfer-Encoding: chunked\r\n", "HTTP/1.1", false, true},
       }) {
    const std::string text = std::string("GET / ") + c.version + "\r\n" + c.fields + "\r\n";
    const HttpParseResult r = ParseHttpRequest(text);
    ASSERT_EQ(r.status, Status::Complete) << text;
    EXPECT_EQ(r.request.keepAlive, c.keepAlive) << text;
    EXPECT_EQ(r.request.hasBody, c.hasBody) << text;
  }
}

TEST(ListenAddress, TakesNumericAddressesAndPortsOnly) {
  const auto v4 = ParseListenAddress("127.0.0.1:9469");
  ASSERT_TRUE(v4);
  EXPECT_EQ(v4->host, "127.0.0.1");
  EXPECT_EQ(v4->port, 9469);
  const auto v6 = ParseListenAddress("[::1]:65535");
  ASSERT_TRUE(v6);
  EXPECT_EQ(v6->host, "::1");
  EXPECT_EQ(v6->port, 65535);
  EXPECT_EQ(ParseListenAddress("0.0.0.0:0")->port, 0);
  for (const char* bad :
       {"127.0.0.1", "127.0.0.1:", "127.0.0.1:65536", "127.0.0.1:-1", "localhost:9469", "::1:9469",
        "[::1]", "127.0.0.1:94 69", "127.0.0.1:099999", ":9469", "256.0.0.1:80"}) {
    EXPECT_FALSE(ParseListenAddress(bad)) << bad;
  }
}

}  // namespace
}  // namespace platform::http
