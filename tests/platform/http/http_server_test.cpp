#include "platform/http/http_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace platform::http {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A client socket to the server on 127.0.0.1.
class Client {
 public:
  explicit Client(std::uint16_t port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~Client() { ::close(fd_); }
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  bool Connected() const { return connected_; }
  // False once the server has stopped taking bytes.
  bool Send(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return false;
      sent += static_cast<std::size_t>(n);
    }
    return true;
  }
  // Reads until the server closes or `deadline` passes; `closed` says which.
  std::string ReadToEnd(std::chrono::milliseconds deadline, bool& closed) {
    std::string got;
    closed = false;
    const auto end = Clock::now() + deadline;
    while (Clock::now() < end) {
      pollfd p{fd_, POLLIN, 0};
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
      if (::poll(&p, 1, static_cast<int>(std::max<long>(left.count(), 0))) <= 0) break;
      char buffer[65536];
      const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
      if (n <= 0) {
        closed = true;
        break;
      }
      got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }
  // Reads until `count` answers have arrived whole (each ends with its one-line body).
  std::string ReadAnswers(int count, std::chrono::milliseconds deadline) {
    std::string got;
    const auto end = Clock::now() + deadline;
    while (Clock::now() < end) {
      int answers = 0;
      for (std::size_t at = got.find("\r\n\r\n"); at != std::string::npos;
           at = got.find("\r\n\r\n", at + 1)) {
        if (got.find('\n', at + 4) != std::string::npos) ++answers;
      }
      if (answers >= count) break;
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      char buffer[4096];
      const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }

 private:
  int fd_;
  bool connected_ = false;
};

// Answers every request with its method and path on one line.
HttpServer EchoServer(std::size_t maxConnections = 16,
                      std::chrono::milliseconds deadline = 5000ms) {
  return HttpServer({{"127.0.0.1", 0}, maxConnections, deadline}, [](const HttpRequest& r) {
    HttpResponse response;
    response.body = r.method + " " + r.path + "\n";
    return response;
  });
}

std::string Answer(int status, const std::string& reason, const std::string& body, bool keepAlive) {
  return "HTTP/1.1 " + std::to_string(status) + " " + reason +
         "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\nConnection: " + (keepAlive ? "keep-alive" : "close") +
         "\r\n\r\n" + body;
}

TEST(HttpServer, AnswersPipelinedRequestsInOrderThenRefusesTheJunkBehindThemAndCloses) {
  HttpServer server = EchoServer();
  ASSERT_EQ(server.Start(), "");
  Client client(server.Port());
  ASSERT_TRUE(client.Connected());
  ASSERT_TRUE(
      client.Send("GET /a HTTP/1.1\r\n\r\nGET /b?q HTTP/1.1\r\nHost: x\r\n\r\n"
                  "\x16\x03\x01 junk\r\n\r\nGET /c HTTP/1.1\r\n\r\n"));
  bool closed = false;
  const std::string got = client.ReadToEnd(3000ms, closed);
  EXPECT_TRUE(closed) << "the server did not close after the junk";
  EXPECT_EQ(got, Answer(200, "OK", "GET /a\n", true) + Answer(200, "OK", "GET /b\n", true) +
                     Answer(400, "Bad Request",
                            "bad request: the request line is not METHOD TARGET VERSION\n", false));
}

// Keep-alive carries one request after another, each answered when it comes; "close" is
// answered, then the connection ends.
TEST(HttpServer, KeepsAConnectionForTheNextRequestUntilTheClientAsksToClose) {
  HttpServer server = EchoServer();
  ASSERT_EQ(server.Start(), "");
  Client client(server.Port());
  for (const char* path : {"/one", "/two"}) {
    ASSERT_TRUE(client.Send(std::string("GET ") + path + " HTTP/1.1\r\n\r\n"));
    EXPECT_EQ(client.ReadAnswers(1, 3000ms),
              Answer(200, "OK", std::string("GET ") + path + "\n", true))
        << "no answer to " << path;
  }
  ASSERT_TRUE(client.Send("POST /three HTTP/1.1\r\nConnection: close\r\n\r\n"));
  bool closed = false;
  EXPECT_EQ(client.ReadToEnd(3000ms, closed), Answer(200, "OK", "POST /three\n", false));
  EXPECT_TRUE(closed) << "the server kept a connection the client asked to close";
}

// A megabyte of header fields: answered 431 once 8 KiB have come, the rest read and dropped
// so the answer is not lost to a reset, then closed.
TEST(HttpServer, AnswersAMegabyteOfHeadersWith431AndCloses) {
  HttpServer server = EchoServer();
  ASSERT_EQ(server.Start(), "");
  Client client(server.Port());
  std::string huge = "GET /metrics HTTP/1.1\r\n";
  while (huge.size() < (1u << 20)) huge += "X-Filler: " + std::string(200, 'f') + "\r\n";
  client.Send(huge);  // the server may stop taking bytes first: what matters is its answer
  bool closed = false;
  EXPECT_EQ(client.ReadToEnd(3000ms, closed),
            Answer(431, "Request Header Fields Too Large",
                   "request header fields beyond 8192 bytes\n", false));
  EXPECT_TRUE(closed);
}

// Slowloris: a client that sends a byte of its request each time 50 ms pass still loses the
// connection once its deadline (300 ms) has passed, however busy it keeps it.
TEST(HttpServer, CutsOffARequestThatTricklesPastItsDeadline) {
  HttpServer server = EchoServer(16, 300ms);
  ASSERT_EQ(server.Start(), "");
  Client client(server.Port());
  const auto start = Clock::now();
  ASSERT_TRUE(client.Send("GET /metrics HTTP/1.1\r\n"));
  bool closed = false;
  std::string got;
  while (!closed && Clock::now() - start < 3000ms) {
    got += client.ReadToEnd(50ms, closed);
    if (!closed && !client.Send("X")) break;
  }
  const auto took = Clock::now() - start;
  EXPECT_TRUE(closed || took < 3000ms) << "a trickling client kept its connection for 3 s";
  EXPECT_GE(took, 300ms) << "cut off before its deadline";
  EXPECT_EQ(got, "");
  // The slot is free again: a prompt client is answered.
  Client next(server.Port());
  ASSERT_TRUE(next.Send("GET /after HTTP/1.1\r\n\r\n"));
  EXPECT_EQ(next.ReadAnswers(1, 3000ms), Answer(200, "OK", "GET /after\n", true));
}

// Two connections are the bound here: a third is closed at once, the two it found are served.
TEST(HttpServer, ClosesAConnectionBeyondItsBoundAndServesThoseWithin) {
  HttpServer server = EchoServer(2);
  ASSERT_EQ(server.Start(), "");
  Client first(server.Port()), second(server.Port());
  // The first two are accepted before the third arrives: each has been answered once.
  for (Client* c : {&first, &second}) {
    ASSERT_TRUE(c->Send("GET /in HTTP/1.1\r\n\r\n"));
    ASSERT_EQ(c->ReadAnswers(1, 3000ms), Answer(200, "OK", "GET /in\n", true));
  }
  Client third(server.Port());
  bool closed = false;
  EXPECT_EQ(third.ReadToEnd(3000ms, closed), "");
  EXPECT_TRUE(closed) << "a connection beyond the bound was kept";
  ASSERT_TRUE(first.Send("GET /again HTTP/1.1\r\n\r\n"));
  EXPECT_EQ(first.ReadAnswers(1, 3000ms), Answer(200, "OK", "GET /again\n", true));
}

TEST(HttpServer, StopClosesEveryConnectionAndTheListeningSocket) {
  HttpServer server = EchoServer();
  ASSERT_EQ(server.Start(), "");
  const std::uint16_t port = server.Port();
  Client idle(port);
  ASSERT_TRUE(idle.Send("GET /half"));
  server.Stop();
  bool closed = false;
  idle.ReadToEnd(3000ms, closed);
  EXPECT_TRUE(closed);
  EXPECT_FALSE(Client(port).Connected()) << "still listening after Stop";
}

TEST(HttpServer, SaysWhyItCannotListen) {
  HttpServer first = EchoServer();
  ASSERT_EQ(first.Start(), "");
  HttpServer second({{"127.0.0.1", first.Port()}, 16, 5000ms},
                    [](const HttpRequest&) { return HttpResponse{}; });
  EXPECT_EQ(second.Start(),
            "127.0.0.1:" + std::to_string(first.Port()) + ": Address already in use");
}

}  // namespace
}  // namespace platform::http
