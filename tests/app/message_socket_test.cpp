// The program's own messages from quelta-ctl's sender, through the local socket, to the window.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <array>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "app/ctl/commands.h"
#include "app/ctl/exit_code.h"
#include "mainwindow/message_server.h"
#include "mainwindow/message_socket_claim.h"
#include "mainwindow/window_messages.h"
#include "support/core_application.h"
#include "support/form_main_fixture.h"

namespace mainwindow::testing {
namespace {

class MessageSocketTest : public ::testing::Test {
 protected:
  // Sends from another thread, as quelta-ctl would, while this thread serves the socket.
  int Send(std::uint32_t message) {
    std::ostringstream err;
    auto sent = std::async(std::launch::async,
                           [&] { return app::ctl::SendWindowMessage(socket_, message, err); });
    while (sent.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
      QCoreApplication::processEvents();
    }
    return sent.get();
  }

  // Serves the socket until the window got `count` messages or time runs out.
  bool AwaitMessages(std::size_t count) {
    QElapsedTimer clock;
    clock.start();
    while (received_.size() < count && clock.elapsed() < 5000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      loop_.RunPending();
    }
    return received_.size() >= count;
  }

  // A raw client connection, or -1 (without waiting when `wait` is false and the server's
  // queue is full).
  int Connect(bool wait = true) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | (wait ? 0 : SOCK_NONBLOCK), 0);
    if (fd < 0) return -1;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", socket_.c_str());
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
      ::close(fd);
      return -1;
    }
    return fd;
  }
  // Serves the socket for a while.
  void Serve(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      loop_.RunPending();
    }
  }

  testing_support::CoreApplication qt_;
  ScratchFolder folder_;
  std::filesystem::path socket_ = folder_.Path() / "Quelta";
  ui::HeadlessEventLoop loop_;
  ui::ScriptedDialogs dialogs_;
  ui::HeadlessBackend backend_;
  ui::Application app_{loop_, dialogs_, backend_};
  ui::Window window_{app_, ui::Size{10, 10}};
  std::vector<std::uint32_t> received_;
};

TEST_F(MessageSocketTest, EachSentMessageReachesTheWindowInOrder) {
  window_.OnMessage = [this](ui::Window&, const ui::Message& m) { received_.push_back(m.id); };
  MessageServer server(window_.Handle());
  ASSERT_EQ(server.Listen(socket_), MessageServer::ListenResult::Listening);
  EXPECT_EQ(Send(kRestoreMessage), app::ctl::kExitDone);
  EXPECT_EQ(Send(kWorkerRestartMessage), app::ctl::kExitDone);
  ASSERT_TRUE(AwaitMessages(2));
  EXPECT_EQ(received_, (std::vector<std::uint32_t>{kRestoreMessage, kWorkerRestartMessage}));
}

TEST_F(MessageSocketTest, MessagesTheInterceptorTakesNeverReachTheWindow) {
  window_.OnMessage = [this](ui::Window&, const ui::Message& m) { received_.push_back(m.id); };
  MessageServer server(window_.Handle());
  std::vector<std::uint32_t> taken;
  server.SetInterceptor([&](std::uint32_t message) {
    if (message != kSimulatedUnplugMessage) return false;
    taken.push_back(message);
    return true;
  });
  ASSERT_EQ(server.Listen(socket_), MessageServer::ListenResult::Listening);
  EXPECT_EQ(Send(kSimulatedUnplugMessage), app::ctl::kExitDone);
  EXPECT_EQ(Send(kRestoreMessage), app::ctl::kExitDone);
  ASSERT_TRUE(AwaitMessages(1));
  EXPECT_EQ(received_, std::vector<std::uint32_t>{kRestoreMessage});
  EXPECT_EQ(taken, std::vector<std::uint32_t>{kSimulatedUnplugMessage});
}

TEST_F(MessageSocketTest, ASecondServerFindsTheFirstRunningAndAStaleSocketIsReplaced) {
  {
    MessageServer first(window_.Handle());
    ASSERT_EQ(first.Listen(socket_), MessageServer::ListenResult::Listening);
    MessageServer second(window_.Handle());
    EXPECT_EQ(second.Listen(socket_), MessageServer::ListenResult::AlreadyRunning);
  }
  // A socket file nobody answers on, as a program that died leaves it.
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", socket_.c_str());
  ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
  ::close(fd);
  MessageServer again(window_.Handle());
  EXPECT_EQ(again.Listen(socket_), MessageServer::ListenResult::Listening);
}

TEST_F(MessageSocketTest, AnOlderWindowsExitLeavesTheSocketOfTheWindowThatTookTheNameOver) {
  window_.OnMessage = [this](ui::Window&, const ui::Message& m) { received_.push_back(m.id); };
  auto older = std::make_unique<MessageServer>(window_.Handle());
  ASSERT_EQ(older->Listen(socket_), MessageServer::ListenResult::Listening);
  // Someone removes the older window's socket; a newer window binds the name afresh.
  ASSERT_TRUE(std::filesystem::remove(socket_));
  auto newer = std::make_unique<MessageServer>(window_.Handle());
  ASSERT_EQ(newer->Listen(socket_), MessageServer::ListenResult::Listening);

  older.reset();
  ASSERT_TRUE(std::filesystem::exists(socket_)) << "the older window removed the newer's socket";
  EXPECT_EQ(Send(kRestoreMessage), app::ctl::kExitDone);
  ASSERT_TRUE(AwaitMessages(1));
  MessageServer third(window_.Handle());
  EXPECT_EQ(third.Listen(socket_), MessageServer::ListenResult::AlreadyRunning);
  // Its own socket the newer window does remove.
  newer.reset();
  EXPECT_FALSE(std::filesystem::exists(socket_));
}

TEST_F(MessageSocketTest, AnythingButAStaleSocketInTheSocketsPlaceIsNamedAndLeftAsItIs) {
  const std::string kept = " is %, not a socket this program left; it was left as it is";
  const auto expected = [&](const std::string& kind) {
    std::string text = kept;
    return socket_.string() + text.replace(text.find('%'), 1, kind);
  };
  const auto refused = [&] {
    MessageServer server(window_.Handle());
    EXPECT_EQ(server.Listen(socket_), MessageServer::ListenResult::Failed);
    return server.Error();
  };

  std::ofstream(socket_) << "the user's notes";
  EXPECT_EQ(refused(), expected("a regular file"));
  EXPECT_EQ(testing_support::ReadFile(socket_), "the user's notes");
  std::filesystem::remove(socket_);

  std::filesystem::create_directory(socket_);
  std::ofstream(socket_ / "inside") << "kept";
  EXPECT_EQ(refused(), expected("a folder"));
  EXPECT_TRUE(std::filesystem::exists(socket_ / "inside"));
  std::filesystem::remove_all(socket_);

  const auto target = folder_.Path() / "target";
  std::ofstream(target) << "linked";
  std::filesystem::create_symlink(target, socket_);
  EXPECT_EQ(refused(), expected("a symbolic link"));
  EXPECT_TRUE(std::filesystem::is_symlink(socket_));
  std::filesystem::remove(socket_);

  ASSERT_EQ(::mkfifo(socket_.c_str(), 0600), 0);
  EXPECT_EQ(refused(), expected("a FIFO"));
  EXPECT_TRUE(std::filesystem::is_fifo(socket_));
  std::filesystem::remove(socket_);

  // With the name free again, the window listens there.
  MessageServer server(window_.Handle());
  EXPECT_EQ(server.Listen(socket_), MessageServer::ListenResult::Listening);
}

// Two starts at the same moment, many times over: each time exactly one binds and the other
// finds it answering, whichever comes first.
TEST(MessageSocketClaim, OfTwoStartsAtOnceExactlyOneBindsEveryTime) {
  testing_support::TempFolder folder;
  const std::filesystem::path socket = folder.Path() / "Quelta";
  constexpr int kRounds = 300;
  int bothBound = 0;
  for (int round = 0; round < kRounds; ++round) {
    std::atomic<int> ready{0};
    std::array<SocketClaim, 2> claims;
    const auto start = [&](SocketClaim& claim) {
      ready.fetch_add(1);
      while (ready.load() < 2) std::this_thread::yield();
      claim = ClaimMessageSocket(socket, 4);
    };
    std::thread first(start, std::ref(claims[0]));
    std::thread second(start, std::ref(claims[1]));
    first.join();
    second.join();
    int bound = 0, running = 0;
    for (SocketClaim& claim : claims) {
      if (claim.outcome == SocketClaim::Outcome::Bound) ++bound;
      if (claim.outcome == SocketClaim::Outcome::AlreadyRunning) ++running;
      EXPECT_EQ(claim.error, "") << "round " << round;
    }
    if (bound == 2) ++bothBound;
    ASSERT_EQ(bound, 1) << "round " << round;
    ASSERT_EQ(running, 1) << "round " << round;
    for (SocketClaim& claim : claims) {
      if (claim.fd < 0) continue;
      ReleaseMessageSocket(socket, claim.file);
      ::close(claim.fd);
    }
    ASSERT_FALSE(std::filesystem::exists(socket)) << "round " << round;
  }
  EXPECT_EQ(bothBound, 0);
}

TEST_F(MessageSocketTest, AFloodOfIdleConnectionsNeverStopsTheServer) {
  window_.OnMessage = [this](ui::Window&, const ui::Message& m) { received_.push_back(m.id); };
  MessageServer server(window_.Handle());
  ASSERT_EQ(server.Listen(socket_), MessageServer::ListenResult::Listening);
  // Fewer descriptors than the flood needs, so accepting runs out of them too.
  rlimit old{};
  ::getrlimit(RLIMIT_NOFILE, &old);
  rlimit low = old;
  low.rlim_cur = 256;
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
  std::vector<int> idle;
  for (int i = 0; i < 1100; ++i) {
    const int fd = Connect(false);
    if (fd >= 0) idle.push_back(fd);
    if (i % 8 == 0) Serve(1);
  }
  Serve(100);
  EXPECT_LE(server.Connections(), 16u);
  for (int fd : idle) ::close(fd);
  ::setrlimit(RLIMIT_NOFILE, &old);
  Serve(50);
  EXPECT_TRUE(std::filesystem::exists(socket_));
  EXPECT_EQ(Send(kRestoreMessage), app::ctl::kExitDone);
  ASSERT_TRUE(AwaitMessages(1));
  EXPECT_EQ(received_, std::vector<std::uint32_t>{kRestoreMessage});
}

TEST_F(MessageSocketTest, AHundredRestartsWithinOneSecondAllArriveInOrder) {
  window_.OnMessage = [this](ui::Window&, const ui::Message& m) { received_.push_back(m.id); };
  MessageServer server(window_.Handle());
  ASSERT_EQ(server.Listen(socket_), MessageServer::ListenResult::Listening);
  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < 100; ++i) ASSERT_EQ(Send(kWorkerRestartMessage), app::ctl::kExitDone);
  ASSERT_TRUE(AwaitMessages(100));
  EXPECT_LT(clock.elapsed(), 1000);
  EXPECT_EQ(received_, std::vector<std::uint32_t>(100, kWorkerRestartMessage));
  EXPECT_LE(server.Connections(), 16u);
}

TEST_F(MessageSocketTest, AConnectionSilentForTwoSecondsIsDroppedAndAnEmptyServerWatchesNothing) {
  MessageServer server(window_.Handle());
  ASSERT_EQ(server.Listen(socket_), MessageServer::ListenResult::Listening);
  EXPECT_FALSE(server.WatchesForSilence()) << "no connection, no timer";
  const int fd = Connect();
  ASSERT_GE(fd, 0);
  Serve(1000);
  EXPECT_EQ(server.Connections(), 1u);
  EXPECT_TRUE(server.WatchesForSilence());
  Serve(1500);
  EXPECT_EQ(server.Connections(), 0u);
  EXPECT_FALSE(server.WatchesForSilence());
  char byte = 0;
  EXPECT_EQ(::read(fd, &byte, 1), 0);  // the server closed its end
  ::close(fd);
}

TEST_F(MessageSocketTest, TheTailOfAnOverlongLineIsNeverAMessage) {
  window_.OnMessage = [this](ui::Window&, const ui::Message& m) { received_.push_back(m.id); };
  MessageServer server(window_.Handle());
  std::vector<std::uint32_t> taken;
  server.SetInterceptor([&](std::uint32_t message) {
    taken.push_back(message);
    return false;
  });
  ASSERT_EQ(server.Listen(socket_), MessageServer::ListenResult::Listening);
  const int fd = Connect();
  ASSERT_GE(fd, 0);
  const std::string lines = std::string(31, 'A') + "32769\n2024\n";
  ASSERT_EQ(::write(fd, lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
  ASSERT_TRUE(AwaitMessages(1));
  Serve(50);
  EXPECT_EQ(taken, std::vector<std::uint32_t>{kRestoreMessage});
  ::close(fd);
}

TEST_F(MessageSocketTest, AnotherUsersProcessIsNeitherHeardNorTakenForTheWindow) {
  if (::getuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  window_.OnMessage = [this](ui::Window&, const ui::Message& m) { received_.push_back(m.id); };
  MessageServer server(window_.Handle());
  ASSERT_EQ(server.Listen(socket_), MessageServer::ListenResult::Listening);
  ASSERT_EQ(::chmod(folder_.Path().c_str(), 0755), 0);
  ASSERT_EQ(::chmod(socket_.c_str(), 0666), 0);
  // "nobody" connects and sends a restore: it must never arrive.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setuid(65534) != 0) ::_exit(2);
    std::ostringstream err;
    const int fd = Connect();
    if (fd < 0) ::_exit(3);
    const char line[] = "2024\n";
    // The server may already have hung up on it: that is the point, not a failure.
    ::send(fd, line, 5, MSG_NOSIGNAL);
    ::_exit(0);
  }
  int status = 0;
  while (::waitpid(child, &status, WNOHANG) == 0) Serve(5);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  Serve(200);
  EXPECT_TRUE(received_.empty());

  // A socket another user listens on is not taken for a running window, nor sent to.
  const std::filesystem::path foreign = folder_.Path() / "foreign";
  ASSERT_EQ(::chmod(folder_.Path().c_str(), 0777), 0);
  const pid_t squatter = ::fork();
  ASSERT_GE(squatter, 0);
  if (squatter == 0) {
    if (::setuid(65534) != 0) ::_exit(2);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", foreign.c_str());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) ::_exit(3);
    ::chmod(foreign.c_str(), 0666);
    ::listen(fd, 16);
    ::pause();
    ::_exit(0);
  }
  // The squatter binds, then listens: wait until it answers.
  SocketAnswer answer = SocketAnswer::Nobody;
  for (int i = 0; i < 2500 && answer == SocketAnswer::Nobody; ++i) {
    Serve(2);
    answer = ProbeMessageSocket(foreign);
  }
  EXPECT_EQ(answer, SocketAnswer::Foreign);
  std::ostringstream err;
  EXPECT_EQ(app::ctl::SendWindowMessage(foreign, kRestoreMessage, err), app::ctl::kExitNotFound);
  EXPECT_NE(err.str().find("belongs to another user"), std::string::npos) << err.str();
  MessageServer second(window_.Handle());
  EXPECT_EQ(second.Listen(foreign), MessageServer::ListenResult::Failed);
  ::kill(squatter, SIGKILL);
  ::waitpid(squatter, &status, 0);
}

TEST_F(MessageSocketTest, SendingWithoutAWindowSaysNoneAnswers) {
  std::ostringstream err;
  EXPECT_EQ(app::ctl::SendWindowMessage(socket_, kRestoreMessage, err), app::ctl::kExitNotFound);
  EXPECT_NE(err.str().find(socket_.string()), std::string::npos);
}

}  // namespace
}  // namespace mainwindow::testing
