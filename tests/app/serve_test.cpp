// quelta-ctl serve in this process on the simulated PSU, under the fault matrix's rows: the
// PSU unplugged and back, a silent PSU, a service started again on the record of the last,
// and a second service beside the first. Each service is stopped through the host's hook,
// as SIGTERM stops it.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/ctl/run_ctl.h"
#include "device/recording_sleeper.h"
#include "history/history_query.h"
#include "sim/simulated_bus.h"
#include "support/temp_folder.h"

namespace app::ctl {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kDeadline = 10s;

// Every reply fixed: every poll reads the same figures.
constexpr char kFixedReplies[] = R"({"monitor": {"noise": false, "replies": {
  "21": "C2 80 80 40 C1 C0 BA 00", "22": "BA 40 B9 C0 B9 80 94 00",
  "02": "1F 08 00 24 23 25 00 24", "03": "03 AA 06 D3 00 00 00 00",
  "04": "1E 00 21 00 25 00 1D 00", "05": "26 00 00 00 00 00 00 00"}}})";

// GET of `path` on 127.0.0.1:port with Connection: close; the whole answer, or "" when none
// came within a second.
std::string Get(std::uint16_t port, const std::string& path) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string got;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    const std::string request = "GET " + path + " HTTP/1.1\r\nConnection: close\r\n\r\n";
    ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    const auto end = Clock::now() + 1s;
    char buffer[8192];
    pollfd p{fd, POLLIN, 0};
    while (Clock::now() < end && ::poll(&p, 1, 100) >= 0) {
      if (p.revents == 0) continue;
      const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      got.append(buffer, static_cast<std::size_t>(n));
    }
  }
  ::close(fd);
  return got;
}

bool Has(const std::string& text, const std::string& line) {
  return text.find("\n" + line + "\n") != std::string::npos;
}

// One service on its own thread, with the host's stop hook; `bus` replaces the simulated
// one of --simulate when given.
class Service {
 public:
  Service(const std::filesystem::path& dir, const std::filesystem::path& lockDir,
          std::vector<std::string> arguments,
          std::function<std::unique_ptr<platform::HidBus>()> bus = {})
      : host_{lockDir,
              sleeper_,
              [] { return 0.0; },
              {},
              {},
              std::move(bus),
              [this](std::uint16_t port, std::function<void()> stop) {
                const std::lock_guard lock(mutex_);
                port_ = port;
                stop_ = std::move(stop);
                listening_.set_value();
              }} {
    // The error stream goes to a file of its own, so the test reads it while the service
    // writes to it without sharing a buffer.
    errFile_ = dir / ("err-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".txt");
    err_.open(errFile_);
    err_ << std::unitbuf;
    std::vector<std::string> args{"--registry", (dir / "registry.reg").string()};
    args.insert(args.end(), arguments.begin(), arguments.end());
    run_ = std::async(std::launch::async, [this, args] { return RunCtl(args, out_, err_, host_); });
  }
  ~Service() { Stop(); }

  // Whether the service came to listen (or ended first).
  bool Listening() {
    auto listening = listening_.get_future();
    while (listening.wait_for(10ms) != std::future_status::ready) {
      if (run_.wait_for(0ms) == std::future_status::ready) return false;
    }
    return true;
  }
  std::uint16_t Port() {
    const std::lock_guard lock(mutex_);
    return port_;
  }
  // Waits until the served text holds `line`, at most kDeadline; fails saying what it last saw.
  bool WaitFor(const std::string& line) {
    const auto end = Clock::now() + kDeadline;
    std::string last;
    while (Clock::now() < end) {
      last = Get(Port(), "/metrics");
      if (Has(last, line)) return true;
      std::this_thread::sleep_for(20ms);
    }
    ADD_FAILURE() << "'" << line << "' was not served within " << kDeadline.count()
                  << " s; last served:\n"
                  << last;
    return false;
  }
  // Stops it as SIGTERM does and returns its exit code.
  int Stop() {
    if (!run_.valid()) return code_;
    {
      const std::lock_guard lock(mutex_);
      if (stop_) stop_();
    }
    code_ = run_.get();
    return code_;
  }
  int Wait() {
    if (run_.valid()) code_ = run_.get();
    return code_;
  }
  std::string Err() const {
    std::ifstream file(errFile_);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }

 private:
  device::RecordingSleeper sleeper_;
  CtlHost host_;
  std::ostringstream out_;
  std::filesystem::path errFile_;
  std::ofstream err_;
  std::mutex mutex_;
  std::uint16_t port_ = 0;
  std::function<void()> stop_;
  std::promise<void> listening_;
  std::future<int> run_;
  int code_ = -1;
};

class ServeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("XDG_STATE_HOME", (dir_.Path() / "state").c_str(), 1);
    std::filesystem::create_directories(lockDir_);
    // The service judges every poll by the stored alarms, so it needs the whole settings tree.
    std::filesystem::copy_file(QUELTA_FACTORY_SETTINGS, dir_.Path() / "registry.reg");
  }
  std::string Scenario(const std::string& json) {
    const auto file = dir_.Path() / ("scenario" + std::to_string(++scenarios_) + ".json");
    std::ofstream(file) << json;
    return "--simulate=" + file.string();
  }
  std::vector<history::HistoryEvent> Events() {
    history::HistoryQuery query(dir_.Path() / "state" / "quelta" / "history.sqlite");
    EXPECT_TRUE(query.Open()) << query.LastError();
    return query.Events(history::HistoryTime{}, history::HistoryTime::max());
  }
  std::size_t Polls() {
    history::HistoryQuery query(dir_.Path() / "state" / "quelta" / "history.sqlite");
    EXPECT_TRUE(query.Open()) << query.LastError();
    return query.Rows(history::HistoryTime{}, history::HistoryTime::max()).size();
  }

  testing_support::TempFolder dir_;
  std::filesystem::path lockDir_ = dir_.Path() / "lock";
  int scenarios_ = 0;
};

TEST_F(ServeTest, ServesThePsuReadingsRecordsThePollsAndStopsWhenTold) {
  std::ostringstream statusOut, statusErr;
  device::RecordingSleeper sleeper;
  const CtlHost host{lockDir_, sleeper, [] { return 0.0; }, {}};
  const std::string scenario = Scenario(kFixedReplies);
  ASSERT_EQ(RunCtl({scenario, "--registry", (dir_.Path() / "registry.reg").string(), "metrics"},
                   statusOut, statusErr, host),
            0)
      << statusErr.str();
  const std::string once = statusOut.str();
  const std::size_t power = once.find("\nquelta_power_watts ");
  ASSERT_NE(power, std::string::npos) << once;
  const std::string powerLine = once.substr(power + 1, once.find('\n', power + 1) - power - 1);

  Service service(dir_.Path(), lockDir_,
                  {scenario, "serve", "--listen", "127.0.0.1:0", "--cycle-ms", "20"});
  ASSERT_TRUE(service.Listening()) << service.Err();
  ASSERT_TRUE(service.WaitFor("quelta_poll_success 1"));
  const std::string served = Get(service.Port(), "/metrics");
  // The service and `metrics` read the same PSU alike.
  EXPECT_TRUE(Has(served, powerLine)) << powerLine << "\n" << served;
  EXPECT_TRUE(Has(served, "quelta_power_rating_watts 550")) << served;
  EXPECT_NE(served.find("Content-Type: application/openmetrics-text; version=1.0.0"),
            std::string::npos);
  EXPECT_EQ(Get(service.Port(), "/").substr(0, 22), "HTTP/1.1 404 Not Found");
  EXPECT_EQ(service.Stop(), 0) << service.Err();
  EXPECT_NE(service.Err().find("quelta-ctl serve: stopped\n"), std::string::npos) << service.Err();
  EXPECT_GE(Polls(), 1u);
}

// Unplugged: the metrics say the poll failed and show no stale reading; plugged back, a new
// worker polls again, and the record holds the loss and the return.
TEST_F(ServeTest, FindsThePsuAgainWhenItIsPluggedBack) {
  sim::SimulatedBus* cable = nullptr;
  Service service(dir_.Path(), lockDir_, {"serve", "--listen", "127.0.0.1:0", "--cycle-ms", "20"},
                  [&cable] {
                    auto bus = std::make_unique<sim::SimulatedBus>();
                    cable = bus.get();
                    return bus;
                  });
  ASSERT_TRUE(service.Listening()) << service.Err();
  ASSERT_TRUE(service.WaitFor("quelta_poll_success 1"));
  for (int round = 0; round < 2; ++round) {
    cable->SetMonitorPresent(false);
    ASSERT_TRUE(service.WaitFor("quelta_poll_success 0")) << "round " << round;
    const std::string gone = Get(service.Port(), "/metrics");
    EXPECT_EQ(gone.find("quelta_power_watts"), std::string::npos) << gone;
    cable->SetMonitorPresent(true);
    ASSERT_TRUE(service.WaitFor("quelta_poll_success 1")) << "round " << round;
  }
  EXPECT_EQ(service.Stop(), 0);
  const std::string err = service.Err();
  EXPECT_NE(err.find("the PSU controller was removed"), std::string::npos) << err;
  std::vector<std::string> connection;
  for (const history::HistoryEvent& event : Events()) {
    if (event.row.empty()) connection.emplace_back(history::EventKindName(event.kind));
  }
  EXPECT_EQ(connection, (std::vector<std::string>{"connection_lost", "connection_back",
                                                  "connection_lost", "connection_back"}));
}

// A PSU that stops answering one group: every poll fails, the rating stays; one that gives no
// reference: no worker stands, the service waits and still stops at once.
TEST_F(ServeTest, SaysEveryPollFailsWhileThePsuIsSilent) {
  {
    Service service(dir_.Path(), lockDir_,
                    {Scenario(R"({"monitor": {"replies": {"04": "silent"}}})"), "serve", "--listen",
                     "127.0.0.1:0", "--cycle-ms", "20"});
    ASSERT_TRUE(service.Listening()) << service.Err();
    ASSERT_TRUE(service.WaitFor("quelta_power_rating_watts 550"));
    const std::string served = Get(service.Port(), "/metrics");
    EXPECT_TRUE(Has(served, "quelta_poll_success 0")) << served;
    EXPECT_EQ(served.find("quelta_rail_volts"), std::string::npos) << served;
    EXPECT_EQ(service.Stop(), 0);
  }
  Service service(dir_.Path(), lockDir_,
                  {Scenario(R"({"monitor": {"replies": {"00": "silent"}}})"), "serve", "--listen",
                   "127.0.0.1:0", "--cycle-ms", "20"});
  ASSERT_TRUE(service.Listening()) << service.Err();
  const auto end = Clock::now() + kDeadline;
  while (service.Err().find("did not answer the reference read") == std::string::npos &&
         Clock::now() < end) {
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_NE(service.Err().find("did not answer the reference read"), std::string::npos)
      << service.Err();
  EXPECT_TRUE(Has(Get(service.Port(), "/metrics"), "quelta_poll_success 0"));
  const auto stopping = Clock::now();
  EXPECT_EQ(service.Stop(), 0);
  EXPECT_LT(Clock::now() - stopping, 2s);
}

// A second service on the address of the first says so and ends; one elsewhere serves beside
// it, each polling under the access lock; a service started again goes on with the record.
TEST_F(ServeTest, ASecondServiceSharesThePsuOrSaysWhyItCannotListen) {
  const std::string trace1 = (dir_.Path() / "trace1.txt").string();
  const std::string trace2 = (dir_.Path() / "trace2.txt").string();
  Service first(
      dir_.Path(), lockDir_,
      {Scenario("{}"), "--trace", trace1, "serve", "--listen", "127.0.0.1:0", "--cycle-ms", "0"});
  ASSERT_TRUE(first.Listening()) << first.Err();
  const std::string taken = "127.0.0.1:" + std::to_string(first.Port());
  Service same(dir_.Path(), lockDir_, {"--simulate", "serve", "--listen", taken});
  EXPECT_EQ(same.Wait(), 8);
  EXPECT_EQ(same.Err(), "quelta-ctl: cannot listen on " + taken + ": Address already in use\n");

  Service second(
      dir_.Path(), lockDir_,
      {Scenario("{}"), "--trace", trace2, "serve", "--listen", "127.0.0.1:0", "--cycle-ms", "0"});
  ASSERT_TRUE(second.Listening()) << second.Err();
  ASSERT_TRUE(first.WaitFor("quelta_poll_success 1"));
  ASSERT_TRUE(second.WaitFor("quelta_poll_success 1"));
  EXPECT_EQ(first.Stop(), 0);
  EXPECT_EQ(second.Stop(), 0);
  for (const std::string& trace : {trace1, trace2}) {
    std::ifstream file(trace);
    bool held = false;
    int reports = 0;
    for (std::string line; std::getline(file, line);) {
      const std::string event = line.substr(line.find(' ') + 1);
      if (event == "LOCK") held = true;
      if (event == "UNLOCK") held = false;
      if (event.rfind("M ", 0) == 0) {
        ++reports;
        EXPECT_TRUE(held) << trace << ": a report outside the lock: " << line;
      }
    }
    EXPECT_GT(reports, 0) << trace;
  }
  // Both wrote to one record; a service started again adds to it.
  const std::size_t before = Polls();
  Service again(dir_.Path(), lockDir_,
                {Scenario("{}"), "serve", "--listen", "127.0.0.1:0", "--cycle-ms", "20"});
  ASSERT_TRUE(again.Listening()) << again.Err();
  ASSERT_TRUE(again.WaitFor("quelta_poll_success 1"));
  EXPECT_EQ(again.Stop(), 0);
  EXPECT_GT(Polls(), before);
}

}  // namespace
}  // namespace app::ctl
