#include "platform/hid/udev_change_monitor.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <string>
#include <utility>

namespace platform {
namespace {

constexpr const char* kWatchedSubsystems[] = {"usb", "hid", "hidraw"};

}  // namespace

UdevChangeMonitor::UdevChangeMonitor() {
  context_ = udev_new();
  if (context_ == nullptr) return;
  monitor_ = udev_monitor_new_from_netlink(context_, "udev");
  if (monitor_ == nullptr) return;
  for (const char* subsystem : kWatchedSubsystems)
    udev_monitor_filter_add_match_subsystem_devtype(monitor_, subsystem, nullptr);
  if (udev_monitor_enable_receiving(monitor_) < 0) return;
  Start({udev_monitor_get_fd(monitor_), [this]() -> std::optional<std::string> {
           udev_device* device = udev_monitor_receive_device(monitor_);
           if (device == nullptr) return std::nullopt;
           const char* action = udev_device_get_action(device);
           std::string what = action == nullptr ? "" : action;
           udev_device_unref(device);
           return what;
         }});
}

UdevChangeMonitor::UdevChangeMonitor(NoticeSource source) {
  Start(std::move(source));
}

void UdevChangeMonitor::Start(NoticeSource source) {
  stopFd_ = eventfd(0, EFD_CLOEXEC);
  if (stopFd_ < 0) return;
  thread_ = std::thread([this, source = std::move(source)] { Watch(source); });
}

UdevChangeMonitor::~UdevChangeMonitor() {
  if (thread_.joinable()) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(stopFd_, &one, sizeof one);
    thread_.join();
  }
  if (stopFd_ >= 0) close(stopFd_);
  if (monitor_ != nullptr) udev_monitor_unref(monitor_);
  if (context_ != nullptr) udev_unref(context_);
}

void UdevChangeMonitor::SetListener(std::function<void()> listener) {
  const std::lock_guard<std::mutex> lock(listenerMutex_);
  listener_ = std::move(listener);
}

bool UdevChangeMonitor::ChangesPresence(std::string_view action) {
  return action == "add" || action == "remove";
}

void UdevChangeMonitor::Watch(const NoticeSource& source) {
  std::array<pollfd, 2> fds{pollfd{source.fd, POLLIN, 0}, pollfd{stopFd_, POLLIN, 0}};
  for (;;) {
    if (poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;
    // A source that hung up or failed gives nothing more once what waits is read, and polling
    // it again would only spin.
    const bool hungUp = (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    if ((fds[0].revents & POLLIN) == 0) {
      if (hungUp) return;
      continue;
    }
    const std::optional<std::string> action = source.next();
    if (!action && hungUp) return;
    if (action && ChangesPresence(*action)) NotifyListener();
  }
}

void UdevChangeMonitor::NotifyListener() {
  std::function<void()> listener;
  {
    const std::lock_guard<std::mutex> lock(listenerMutex_);
    listener = listener_;
  }
  if (listener) listener();
}

}  // namespace platform
