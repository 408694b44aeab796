#include "platform/hid/udev_change_monitor.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>

#include "platform/hid/hidapi_bus.h"

namespace platform {
namespace {

using namespace std::chrono_literals;

// Notices handed to a monitor over a socket pair, one action a message.
class NoticePair {
 public:
  NoticePair() {
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds_.data()) != 0) fds_ = {-1, -1};
  }
  ~NoticePair() {
    for (const int fd : fds_) {
      if (fd >= 0) ::close(fd);
    }
  }
  NoticePair(const NoticePair&) = delete;
  NoticePair& operator=(const NoticePair&) = delete;

  bool Open() const { return fds_[0] >= 0; }
  UdevChangeMonitor::NoticeSource Source() const {
    return {fds_[0], [fd = fds_[0]]() -> std::optional<std::string> {
              std::array<char, 64> buffer{};
              const ssize_t got = ::read(fd, buffer.data(), buffer.size());
              if (got <= 0) return std::nullopt;  // 0: the sending end is closed
              return std::string(buffer.data(), static_cast<std::size_t>(got));
            }};
  }
  // Closes the sending end: the monitor's end hangs up.
  void HangUp() {
    ::close(fds_[1]);
    fds_[1] = -1;
  }
  void Send(const std::string& action) const {
    ASSERT_EQ(::write(fds_[1], action.data(), action.size()), static_cast<ssize_t>(action.size()));
  }

 private:
  std::array<int, 2> fds_{-1, -1};
};

// Counts the calls of a listener and lets the test wait for a count, within a deadline.
class CallCount {
 public:
  std::function<void()> Listener() {
    return [this] {
      const std::lock_guard lock(mutex_);
      ++calls_;
      changed_.notify_all();
    };
  }
  // Whether `count` calls had come within 5 s.
  bool WaitFor(int count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 5s, [&] { return calls_ >= count; });
  }
  int Calls() {
    const std::lock_guard lock(mutex_);
    return calls_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int calls_ = 0;
};

TEST(UdevChangeMonitor, OnlyAddAndRemoveChangeWhichDevicesArePresent) {
  EXPECT_TRUE(UdevChangeMonitor::ChangesPresence("add"));
  EXPECT_TRUE(UdevChangeMonitor::ChangesPresence("remove"));
  for (const char* action :
       {"change", "bind", "unbind", "move", "online", "offline", "", "Add", "added", "remov"}) {
    EXPECT_FALSE(UdevChangeMonitor::ChangesPresence(action)) << action;
  }
}

// Each notice is read in order: the listener hears the arrivals and removals among them and
// nothing of the rest; the last arrival, once heard, shows every notice before it was read.
TEST(UdevChangeMonitor, TheListenerHearsEachArrivalAndRemovalAndNothingElse) {
  NoticePair notices;
  ASSERT_TRUE(notices.Open());
  CallCount heard;
  {
    UdevChangeMonitor monitor(notices.Source());
    ASSERT_TRUE(monitor.Running());
    monitor.SetListener(heard.Listener());
    for (const char* action : {"change", "add", "bind", "unbind", "move", "remove", "", "add"})
      notices.Send(action);
    ASSERT_TRUE(heard.WaitFor(3)) << "the third arrival or removal was not heard";
  }
  EXPECT_EQ(heard.Calls(), 3);
}

// A new listener takes over from the next notice on; an empty one hears nothing and the
// notices still go on being read (the listener set after it hears the next one).
TEST(UdevChangeMonitor, AReplacedListenerHearsNoMore) {
  NoticePair notices;
  ASSERT_TRUE(notices.Open());
  CallCount first;
  CallCount second;
  CallCount third;
  {
    UdevChangeMonitor monitor(notices.Source());
    monitor.SetListener(first.Listener());
    notices.Send("add");
    ASSERT_TRUE(first.WaitFor(1)) << "the first arrival was not heard";
    monitor.SetListener(second.Listener());
    notices.Send("remove");
    ASSERT_TRUE(second.WaitFor(1)) << "the removal was not heard by the new listener";
    monitor.SetListener(nullptr);
    notices.Send("add");
    monitor.SetListener(third.Listener());
    notices.Send("remove");
    // The arrival sent with no listener may have been read before or after `third` was set.
    ASSERT_TRUE(third.WaitFor(1)) << "the last removal was not heard";
  }
  EXPECT_EQ(first.Calls(), 1);
  EXPECT_EQ(second.Calls(), 1);
  EXPECT_GE(third.Calls(), 1);
  EXPECT_LE(third.Calls(), 2);
}

// The watch waits for notices without end; ending the monitor wakes and joins it at once,
// whether it watches a silent source, one whose other end has gone (which also must not keep
// the watch spinning on the end of the file), or udev itself.
TEST(UdevChangeMonitor, TheWatchEndsPromptlyWhenTheMonitorEnds) {
  const auto ended = [](const std::function<void()>& make) {
    const auto started = std::chrono::steady_clock::now();
    make();
    return std::chrono::steady_clock::now() - started;
  };
  NoticePair silent;
  ASSERT_TRUE(silent.Open());
  EXPECT_LT(ended([&] {
              UdevChangeMonitor monitor(silent.Source());
              EXPECT_TRUE(monitor.Running());
            }),
            2s)
      << "a monitor of a silent source did not end";

  NoticePair gone;
  ASSERT_TRUE(gone.Open());
  CallCount heard;
  EXPECT_LT(ended([&] {
              UdevChangeMonitor monitor(gone.Source());
              monitor.SetListener(heard.Listener());
              gone.Send("add");
              gone.Send("remove");
              gone.HangUp();
              // What was sent before the hang-up is still read.
              ASSERT_TRUE(heard.WaitFor(2)) << "the notices sent before the hang-up were not heard";
            }),
            7s)
      << "a monitor whose source hung up did not end";
  EXPECT_EQ(heard.Calls(), 2);

  // Whether or not udev can be watched here; the bus makes its monitor with its first listener.
  EXPECT_LT(ended([] {
              UdevChangeMonitor monitor;
              monitor.SetListener([] {});
              monitor.SetListener(nullptr);
            }),
            2s)
      << "the udev monitor did not end";
  EXPECT_LT(ended([] {
              HidapiBus bus;
              bus.SetChangeListener([] {});
              bus.SetChangeListener(nullptr);
            }),
            2s)
      << "the bus's udev monitor did not end";
}

}  // namespace
}  // namespace platform
