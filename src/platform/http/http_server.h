#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/http/http_request_parser.h"
#include "platform/http/listen_address.h"

namespace platform::http {

struct HttpResponse {
  int status = 200;
  std::string contentType = "text/plain; charset=utf-8";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;  // more fields, e.g. Allow
};

// Answers one complete request. Runs on the server's thread, one request at a time.
using HttpHandler = std::function<HttpResponse(const HttpRequest&)>;

struct HttpServerOptions {
  ListenAddress listen;  // port 0 takes any free port (see Port())
  // Connections open at once; one more is accepted and closed at once, so a crowd of idle
  // clients cannot fill the listen queue and a client learns at once that it was refused.
  std::size_t maxConnections = 16;
  // A connection must complete each request within this time of its opening or of the end of
  // its previous answer, or it is closed: a client that trickles bytes (or sends none) holds
  // a slot no longer than this.
  std::chrono::milliseconds requestDeadline{5000};
};

// A small HTTP/1.1 server on POSIX sockets and poll(), on a thread of its own. Requests are
// read whole (up to kMaxHeaderBytes) before the handler sees them; a malformed request is
// answered 400 and one too large 431, each closing the connection after its answer (the
// rest of what the client sends is read and dropped until it stops or the deadline passes,
// so the answer is not lost to a reset). Pipelined requests are answered in order.
class HttpServer {
 public:
  HttpServer(HttpServerOptions options, HttpHandler handler);
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;
  // Stops and joins the thread; every connection is closed.
  ~HttpServer();

  // Binds, listens and starts the thread. Returns "" or why not ("127.0.0.1:9469: Address
  // already in use"). Call once.
  std::string Start();
  // The port listened on (the one the system chose for port 0); 0 before Start.
  std::uint16_t Port() const { return port_; }
  // Stops serving and joins the thread; the listening socket is closed. Any thread but the
  // server's own; more calls do nothing.
  void Stop();

 private:
  struct Connection;
  void Serve();
  void Accept(std::vector<Connection>& connections);
  // Reads what has arrived and answers every complete request; false once the connection
  // should go (closed by the peer, an error, or a lingering close that has ended).
  bool ReadFrom(Connection& connection);
  bool Answer(Connection& connection);
  bool WriteTo(Connection& connection);

  const HttpServerOptions options_;
  const HttpHandler handler_;
  int listenFd_ = -1;
  int wakeFd_ = -1;  // an eventfd that Stop writes to
  std::uint16_t port_ = 0;
  std::thread thread_;
};

// The text of a status code's reason phrase ("Not Found"); "Unknown" for codes not used here.
const char* ReasonPhrase(int status);

}  // namespace platform::http
