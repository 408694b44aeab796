// The program's own messages from quelta-ctl's sender, through the local socket, to the window.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <future>
#include <sstream>

#include "app/ctl/commands.h"
#include "app/ctl/exit_code.h"
#include "form_main_fixture.h"
#include "mainwindow/message_server.h"
#include "mainwindow/window_messages.h"

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

  int argc_ = 1;
  char name_[8] = "test";
  char* argv_[1] = {name_};
  QCoreApplication qt_{argc_, argv_};
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

TEST_F(MessageSocketTest, SendingWithoutAWindowSaysNoneAnswers) {
  std::ostringstream err;
  EXPECT_EQ(app::ctl::SendWindowMessage(socket_, kRestoreMessage, err), app::ctl::kExitNotFound);
  EXPECT_NE(err.str().find(socket_.string()), std::string::npos);
}

}  // namespace
}  // namespace mainwindow::testing
