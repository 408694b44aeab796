// What a scrape of the service costs: writing the text of a poll (done once per poll), and a
// GET of /metrics over loopback from the moment a poll's text is put up to the last byte of
// the answer, on a new connection each time (the worst case) and on a kept one (Prometheus).
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "metrics/metrics_endpoint.h"
#include "metrics/open_metrics_text.h"

namespace {

metrics::MetricsPoll SamplePoll() {
  metrics::MetricsPoll poll;
  poll.success = true;
  device::ReadingSet& r = poll.readings;
  r.Vol12V1 = 12.05f, r.Vol12V2 = 11.98f, r.Vol12V3 = 12.01f, r.Vol12V4 = 11.97f;
  r.Vol5V = 5.02f, r.Vol33V = 3.31f, r.Vol5Vsb = 5.05f, r.VolNeg12V = -11.9f;
  r.Cur12V1 = 20.5f, r.Cur12V2 = 15.75f, r.Cur12V3 = 1.5f, r.Cur12V4 = 0.25f;
  r.Cur5V = 10.5f, r.Cur33V = 8.125f, r.WattTotal = 345.2f, r.FanPSU = 1500.0f;
  r.FanSystem = 1200.0f, r.TempPSU = 40.5f, r.TempT1 = 31.0f, r.TempT2 = 32.5f;
  r.TempT3 = 33.0f, r.TempT4 = 34.25f, r.PowerRating = 550;
  return poll;
}

int Connect(std::uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Sends a GET of /metrics and reads its answer whole (by its Content-Length).
bool Scrape(int fd, bool keepAlive) {
  const std::string request = std::string("GET /metrics HTTP/1.1\r\nHost: bench\r\n") +
                              (keepAlive ? "" : "Connection: close\r\n") + "\r\n";
  if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) < 0) return false;
  std::string got;
  char buffer[16384];
  while (true) {
    const std::size_t head = got.find("\r\n\r\n");
    if (head != std::string::npos) {
      const std::size_t length = got.find("Content-Length: ");
      const std::size_t body = std::stoul(got.substr(length + 16));
      if (got.size() >= head + 4 + body) return got.compare(0, 12, "HTTP/1.1 200") == 0;
    }
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    got.append(buffer, static_cast<std::size_t>(n));
  }
}

void BM_WriteTheTextOfAPoll(benchmark::State& state) {
  const metrics::MetricsPoll poll = SamplePoll();
  for (auto _ : state) benchmark::DoNotOptimize(metrics::OpenMetricsText(poll));
}
BENCHMARK(BM_WriteTheTextOfAPoll);

// From a poll's text put up to its answer read, `keep` choosing a kept connection.
void BM_ScrapeFromThePoll(benchmark::State& state) {
  const bool keep = state.range(0) != 0;
  metrics::MetricsBoard board;
  platform::http::HttpServer server({{"127.0.0.1", 0}, 16, std::chrono::milliseconds(5000)},
                                    [&board](const platform::http::HttpRequest& request) {
                                      return metrics::AnswerMetricsRequest(request, board);
                                    });
  if (!server.Start().empty()) {
    state.SkipWithError("could not listen");
    return;
  }
  const metrics::MetricsPoll poll = SamplePoll();
  int fd = keep ? Connect(server.Port()) : -1;
  for (auto _ : state) {
    board.Publish(metrics::OpenMetricsText(poll));
    if (!keep) fd = Connect(server.Port());
    if (fd < 0 || !Scrape(fd, keep)) {
      state.SkipWithError("no answer");
      break;
    }
    if (!keep) {
      ::close(fd);
      fd = -1;
    }
  }
  if (fd >= 0) ::close(fd);
}
BENCHMARK(BM_ScrapeFromThePoll)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
