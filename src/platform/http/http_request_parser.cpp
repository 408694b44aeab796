#include "platform/http/http_request_parser.h"

#include <algorithm>
#include <cctype>

namespace platform::http {
namespace {

using Status = HttpParseResult::Status;

// The token characters of field names and methods.
bool IsTokenChar(char c) {
  if (std::isalnum(static_cast<unsigned char>(c)) != 0) return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool IsToken(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsTokenChar);
}

// A visible ASCII character: what a request target is made of.
bool IsTargetChar(char c) {
  return c > ' ' && c < 0x7f;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// Whether a comma-separated field value names `option` ("Connection: keep-alive, Upgrade").
bool ListHas(std::string_view value, std::string_view option) {
  while (!value.empty()) {
    const std::size_t comma = value.find(',');
    if (EqualsNoCase(Trim(value.substr(0, comma)), option)) return true;
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  return false;
}

HttpParseResult Malformed(std::string error) {
  HttpParseResult result;
  result.status = Status::Malformed;
  result.error = std::move(error);
  return result;
}

// The end of the header section (just past its blank line), or npos.
std::size_t HeaderEnd(std::string_view bytes) {
  std::size_t from = 0;
  while (true) {
    const std::size_t lf = bytes.find('\n', from);
    if (lf == std::string_view::npos) return std::string_view::npos;
    const std::size_t next = lf + 1;
    if (next < bytes.size() && bytes[next] == '\n') return next + 1;
    if (next + 1 < bytes.size() && bytes[next] == '\r' && bytes[next + 1] == '\n') return next + 2;
    from = next;
  }
}

// What the header lines have said so far about keeping the connection.
struct ConnectionWords {
  bool http10 = false;
  bool closeAsked = false;
  bool keepAliveAsked = false;
};

// "METHOD TARGET VERSION" into `request`; the reason when the line is not one, else empty.
std::string TakeRequestLine(std::string_view line, HttpRequest& request, ConnectionWords& words) {
  const std::size_t sp1 = line.find(' ');
  const std::size_t sp2 = sp1 == std::string_view::npos ? sp1 : line.find(' ', sp1 + 1);
  if (sp2 == std::string_view::npos || line.find(' ', sp2 + 1) != std::string_view::npos) {
    return "the request line is not METHOD TARGET VERSION";
  }
  const std::string_view method = line.substr(0, sp1);
  const std::string_view target = line.substr(sp1 + 1, sp2 - sp1 - 1);
  const std::string_view version = line.substr(sp2 + 1);
  if (!IsToken(method)) return "the method is not a token";
  if (target.empty() || !std::all_of(target.begin(), target.end(), IsTargetChar)) {
    return "the request target is empty or holds a control character";
  }
  if (version == "HTTP/1.0") {
    words.http10 = true;
  } else if (version != "HTTP/1.1") {
    return "the version is neither HTTP/1.0 nor HTTP/1.1";
  }
  request.method = method;
  request.target = target;
  request.path = target.substr(0, target.find('?'));
  return {};
}

// One "Name: value" line; the reason when it is not one, else empty.
std::string TakeHeaderLine(std::string_view line, HttpRequest& request, ConnectionWords& words) {
  if (line.front() == ' ' || line.front() == '\t') return "a folded header line";
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return "a header line without a colon";
  const std::string_view name = line.substr(0, colon);
  if (!IsToken(name)) return "a header name that is not a token";
  const std::string_view value = Trim(line.substr(colon + 1));
  if (EqualsNoCase(name, "Connection")) {
    words.closeAsked = words.closeAsked || ListHas(value, "close");
    words.keepAliveAsked = words.keepAliveAsked || ListHas(value, "keep-alive");
  } else if (EqualsNoCase(name, "Content-Length")) {
    if (value.empty() ||
        !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return "a Content-Length that is not a number";
    }
    if (value.find_first_not_of('0') != std::string_view::npos) request.hasBody = true;
  } else if (EqualsNoCase(name, "Transfer-Encoding")) {
    request.hasBody = true;
  }
  return {};
}

}  // namespace

HttpParseResult ParseHttpRequest(std::string_view bytes) {
  // Blank lines before a request are ignored, as the protocol asks of a server.
  std::size_t skipped = 0;
  while (skipped < bytes.size() && (bytes[skipped] == '\r' || bytes[skipped] == '\n')) ++skipped;
  if (skipped > kMaxHeaderBytes) {
    HttpParseResult result;
    result.status = Status::TooLarge;
    return result;
  }
  const std::string_view rest = bytes.substr(skipped);
  const std::size_t end = HeaderEnd(rest.substr(0, std::min(rest.size(), kMaxHeaderBytes + 1)));
  if (end == std::string_view::npos || skipped + end > kMaxHeaderBytes) {
    HttpParseResult result;
    result.status = rest.size() + skipped > kMaxHeaderBytes ? Status::TooLarge : Status::Incomplete;
    return result;
  }

  HttpParseResult result;
  HttpRequest& request = result.request;
  std::string_view head = rest.substr(0, end);
  bool firstLine = true;
  ConnectionWords words;
  while (!head.empty()) {
    const std::size_t lf = head.find('\n');
    std::string_view line = head.substr(0, lf);
    head.remove_prefix(lf + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find('\r') != std::string_view::npos || line.find('\0') != std::string_view::npos) {
      return Malformed("a bare CR or NUL in a line");
    }
    if (!firstLine && line.empty()) break;
    std::string problem =
        firstLine ? TakeRequestLine(line, request, words) : TakeHeaderLine(line, request, words);
    if (!problem.empty()) return Malformed(std::move(problem));
    firstLine = false;
  }
  request.keepAlive =
      !words.closeAsked && !request.hasBody && (!words.http10 || words.keepAliveAsked);
  result.status = Status::Complete;
  result.consumed = skipped + end;
  return result;
}

}  // namespace platform::http
