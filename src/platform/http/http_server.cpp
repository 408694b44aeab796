#include "platform/http/http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace platform::http {
namespace {

using Clock = std::chrono::steady_clock;

// A lingering close reads and drops what the client still sends for at most this long.
constexpr std::chrono::milliseconds kLingerLimit{1000};
constexpr std::size_t kReadChunk = 16 * 1024;

std::string Describe(const ListenAddress& address, const char* what) {
  const bool v6 = address.host.find(':') != std::string::npos;
  return (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port) +
         ": " + what;
}

std::string Serialize(const HttpResponse& response, bool keepAlive) {
  std::string out =
      "HTTP/1.1 " + std::to_string(response.status) + " " + ReasonPhrase(response.status) + "\r\n";
  out += "Content-Type: " + response.contentType + "\r\n";
  out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
  for (const auto& [name, value] : response.headers) out += name + ": " + value + "\r\n";
  out += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
  out += response.body;
  return out;
}

HttpResponse Plain(int status, std::string body) {
  HttpResponse response;
  response.status = status;
  response.body = std::move(body);
  return response;
}

}  // namespace

const char* ReasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 400:
      return "Bad Request";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 431:
      return "Request Header Fields Too Large";
    case 500:
      return "Internal Server Error";
    case 503:
      return "Service Unavailable";
    default:
      return "Unknown";
  }
}

struct HttpServer::Connection {
  int fd = -1;
  std::string input;
  std::string output;
  std::size_t written = 0;
  Clock::time_point deadline;
  bool closeAfterWrite = false;  // answer, then close (no more requests taken)
  bool lingering = false;        // answered and half-closed: reading to drop
};

HttpServer::HttpServer(HttpServerOptions options, HttpHandler handler)
    : options_(std::move(options)), handler_(std::move(handler)) {}

HttpServer::~HttpServer() {
  Stop();
  if (listenFd_ >= 0) ::close(listenFd_);
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

std::string HttpServer::Start() {
  const ListenAddress& address = options_.listen;
  sockaddr_storage storage{};
  socklen_t length = 0;
  int family = AF_INET;
  if (address.host.find(':') != std::string::npos) {
    family = AF_INET6;
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage);
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(address.port);
    if (inet_pton(AF_INET6, address.host.c_str(), &v6->sin6_addr) != 1) {
      return Describe(address, "not a numeric address");
    }
    length = sizeof(sockaddr_in6);
  } else {
    auto* v4 = reinterpret_cast<sockaddr_in*>(&storage);
    v4->sin_family = AF_INET;
    v4->sin_port = htons(address.port);
    if (inet_pton(AF_INET, address.host.c_str(), &v4->sin_addr) != 1) {
      return Describe(address, "not a numeric address");
    }
    length = sizeof(sockaddr_in);
  }
  listenFd_ = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) return Describe(address, std::strerror(errno));
  const int on = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&storage), length) != 0 ||
      ::listen(listenFd_, SOMAXCONN) != 0) {
    return Describe(address, std::strerror(errno));
  }
  sockaddr_storage bound{};
  socklen_t boundLength = sizeof bound;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &boundLength);
  port_ = ntohs(family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                   : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
  wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wakeFd_ < 0) return Describe(address, std::strerror(errno));
  thread_ = std::thread([this] { Serve(); });
  return {};
}

void HttpServer::Stop() {
  if (!thread_.joinable()) return;
  const std::uint64_t one = 1;
  while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
  thread_.join();
  ::close(listenFd_);
  listenFd_ = -1;
}

void HttpServer::Serve() {
  std::vector<Connection> connections;
  std::vector<pollfd> fds;
  while (true) {
    fds.clear();
    fds.push_back({wakeFd_, POLLIN, 0});
    fds.push_back({listenFd_, POLLIN, 0});
    Clock::time_point next = Clock::time_point::max();
    for (const Connection& c : connections) {
      const bool writing = c.written < c.output.size();
      fds.push_back({c.fd, static_cast<short>(writing ? POLLOUT : POLLIN), 0});
      next = std::min(next, c.deadline);
    }
    int timeout = -1;
    if (next != Clock::time_point::max()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
      timeout = static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
    }
    if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) break;
    if (fds[0].revents != 0) break;

    const Clock::time_point now = Clock::now();
    std::vector<Connection> kept;
    kept.reserve(connections.size());
    for (std::size_t i = 0; i < connections.size(); ++i) {
      Connection& c = connections[i];
      const short events = fds[i + 2].revents;
      bool keep = true;
      if (events & (POLLERR | POLLNVAL)) {
        keep = false;
      } else if (events & POLLOUT) {
        keep = WriteTo(c);
      } else if (events & (POLLIN | POLLHUP)) {
        keep = ReadFrom(c);
      }
      if (keep && now >= c.deadline) keep = false;
      if (keep) {
        kept.push_back(std::move(c));
      } else {
        ::close(c.fd);
      }
    }
    connections = std::move(kept);
    if (fds[1].revents & POLLIN) Accept(connections);
  }
  for (const Connection& c : connections) ::close(c.fd);
}

void HttpServer::Accept(std::vector<Connection>& connections) {
  while (true) {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;  // nothing more waiting (or the client gave up first)
    if (connections.size() >= options_.maxConnections) {
      ::close(fd);
      continue;
    }
    Connection c;
    c.fd = fd;
    c.deadline = Clock::now() + options_.requestDeadline;
    connections.push_back(std::move(c));
  }
}

bool HttpServer::ReadFrom(Connection& c) {
  std::array<char, kReadChunk> buffer;
  const ssize_t got = ::recv(c.fd, buffer.data(), buffer.size(), 0);
  if (got == 0) return false;
  if (got < 0) return errno == EAGAIN || errno == EINTR;
  if (c.lingering) return true;  // dropped
  c.input.append(buffer.data(), static_cast<std::size_t>(got));
  return Answer(c);
}

bool HttpServer::Answer(Connection& c) {
  // Every complete request waiting is answered in order, into one write.
  while (!c.closeAfterWrite) {
    const HttpParseResult parsed = ParseHttpRequest(c.input);
    if (parsed.status == HttpParseResult::Status::Incomplete) break;
    HttpResponse response;
    bool keepAlive = false;
    if (parsed.status == HttpParseResult::Status::Malformed) {
      response = Plain(400, "bad request: " + parsed.error + "\n");
    } else if (parsed.status == HttpParseResult::Status::TooLarge) {
      response = Plain(431, "request header fields beyond 8192 bytes\n");
    } else {
      try {
        response = handler_(parsed.request);
      } catch (...) {
        response = Plain(500, "internal error\n");
      }
      keepAlive = parsed.request.keepAlive;
      c.input.erase(0, parsed.consumed);
    }
    c.output += Serialize(response, keepAlive);
    c.closeAfterWrite = !keepAlive;
  }
  if (c.closeAfterWrite) c.input.clear();
  if (c.written < c.output.size()) return WriteTo(c);
  return true;
}

bool HttpServer::WriteTo(Connection& c) {
  while (c.written < c.output.size()) {
    const ssize_t sent =
        ::send(c.fd, c.output.data() + c.written, c.output.size() - c.written, MSG_NOSIGNAL);
    if (sent < 0) return errno == EAGAIN || errno == EINTR;
    c.written += static_cast<std::size_t>(sent);
  }
  c.output.clear();
  c.written = 0;
  if (c.closeAfterWrite) {
    // Half-close and drop what still comes, so the answer is read before the connection goes.
    ::shutdown(c.fd, SHUT_WR);
    c.lingering = true;
    c.deadline = std::min(c.deadline, Clock::now() + kLingerLimit);
    return true;
  }
  c.deadline = Clock::now() + options_.requestDeadline;
  // Requests pipelined behind the one answered may already be here.
  if (!c.input.empty()) return Answer(c);
  return true;
}

}  // namespace platform::http
